#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace TestSupport
{
    // Every byte of a file; empty when it cannot be opened.
    inline std::string ReadFileBytes(const std::filesystem::path& aPath)
    {
        std::ifstream file(aPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
}
