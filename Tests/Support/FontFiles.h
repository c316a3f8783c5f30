#pragma once
#include "BinFolder.h"

#include <filesystem>
#include <string>

namespace TestSupport
{
    // The fonts the build copies beside the executables (fetched by scripts/setup).
    inline std::string FontFile(const std::string& aName)
    {
        return (BinFolder() / "data" / "Text" / aName).string();
    }
}
