#pragma once
#include <optional>
#include <string>

namespace Platform
{
    // Full path of the running executable, '/' separated; empty when the system cannot tell.
    std::string GetModulePath();

    // Makes GetModulePath answer aPath instead of asking the system (an empty path reads as a
    // failure); std::nullopt restores the real answer. Lets tests place the executable's folder.
    void SetModulePathOverride(std::optional<std::string> aPath);
}
