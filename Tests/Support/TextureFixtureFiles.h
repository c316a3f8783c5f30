#pragma once
#include "FileBytes.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The texture test files that the build's texture tool writes beside the test executables.
namespace TextureFixtureFiles
{
    inline std::filesystem::path Path(const std::string& aName)
    {
        const std::filesystem::path local = std::filesystem::path("fixtures/textures") / aName;
        if (std::filesystem::exists(local))
        {
            return std::filesystem::absolute(local);
        }
        // Beside the test executable, wherever it is started from.
        return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "fixtures" / "textures" / aName;
    }

    inline std::vector<std::uint8_t> Read(const std::string& aName)
    {
        const std::string bytes = TestSupport::ReadFileBytes(Path(aName));
        return {bytes.begin(), bytes.end()};
    }

    // The byte every fixture DDS holds at offset i of surface s (face * mip count + mip).
    inline std::uint8_t PatternByte(std::size_t aSurface, std::size_t anIndex)
    {
        return static_cast<std::uint8_t>(aSurface * 29 + anIndex * 7 + 3);
    }
}
