#pragma once
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// What the fuzz targets share: their inputs as files, for the readers that open a path.
namespace FuzzSupport
{
    // One file in memory, rewritten for every input; its path opens like any other.
    class MemoryFile
    {
    public:
        MemoryFile() : myDescriptor(memfd_create("fuzz-input", 0)) {}
        ~MemoryFile() { close(myDescriptor); }
        MemoryFile(const MemoryFile&) = delete;
        MemoryFile& operator=(const MemoryFile&) = delete;

        const std::string& Write(const std::uint8_t* someBytes, std::size_t aSize)
        {
            if (ftruncate(myDescriptor, 0) != 0 || pwrite(myDescriptor, someBytes, aSize, 0) != static_cast<ssize_t>(aSize))
            {
                std::abort();
            }
            return myPath;
        }

    private:
        int myDescriptor;
        std::string myPath = "/proc/self/fd/" + std::to_string(myDescriptor);
    };

    // A folder of the fuzzing process's own, made once and never removed before it ends.
    inline const std::filesystem::path& Folder()
    {
        static const std::filesystem::path folder = [] {
            std::string pattern = (std::filesystem::temp_directory_path() / "vra-fuzz-XXXXXX").string();
            if (mkdtemp(pattern.data()) == nullptr)
            {
                std::abort();
            }
            return std::filesystem::path(pattern);
        }();
        return folder;
    }

    inline void WriteFile(const std::filesystem::path& aPath, const std::uint8_t* someBytes, std::size_t aSize)
    {
        std::filesystem::create_directories(aPath.parent_path());
        std::ofstream file(aPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(someBytes), static_cast<std::streamsize>(aSize));
    }
}
