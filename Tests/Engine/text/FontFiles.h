#pragma once
#include <cstdlib>
#include <filesystem>
#include <string>

namespace TestSupport
{
    // The fonts the build copies beside the executables (fetched by scripts/setup).
    inline std::string FontFile(const std::string& aName)
    {
        const char* bin = std::getenv("VRA_BIN_DIR");
        const std::filesystem::path folder = bin != nullptr ? std::filesystem::path(bin) / "data" / "Text"
                                                           : std::filesystem::path("data") / "Text";
        return (folder / aName).string();
    }
}
