// Stands in for libFuzzer's driver where there is none: runs the target once on every file named
// or found in the folders named, so a corpus serves as regression tests in any build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize);

namespace
{
    std::vector<std::filesystem::path> CollectInputs(int aCount, char** someArguments)
    {
        std::vector<std::filesystem::path> inputs;
        for (int index = 1; index < aCount; ++index)
        {
            const std::filesystem::path argument = someArguments[index];
            if (std::filesystem::is_directory(argument))
            {
                for (const auto& entry : std::filesystem::recursive_directory_iterator(argument))
                {
                    if (entry.is_regular_file())
                    {
                        inputs.push_back(entry.path());
                    }
                }
            }
            else
            {
                inputs.push_back(argument);
            }
        }
        return inputs;
    }
}

int main(int aCount, char** someArguments)
{
    const std::vector<std::filesystem::path> inputs = CollectInputs(aCount, someArguments);
    if (inputs.empty())
    {
        std::fprintf(stderr, "no inputs to run\n");
        return 1;
    }
    for (const std::filesystem::path& input : inputs)
    {
        std::ifstream file(input, std::ios::binary);
        if (!file)
        {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return 1;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        // Printed first, so a crash names the input that caused it.
        std::fprintf(stderr, "running %s (%zu bytes)\n", input.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::fprintf(stderr, "%zu inputs ran clean\n", inputs.size());
    return 0;
}
