#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace CommonUtilities
{
    // A file's whole content, sized by the file system and read in one go rather than through a
    // stream. Nothing when the path cannot be opened, is a folder, or a read fails; a file that
    // shrinks while it is read yields the bytes that were there.
    std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::filesystem::path& aPath);
    std::optional<std::string> ReadFileText(const std::filesystem::path& aPath);
}
