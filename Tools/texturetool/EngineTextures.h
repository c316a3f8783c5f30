#pragma once
#include <filesystem>

namespace TextureTool
{
    // The textures the engine fetches by name, under <aEngineFolder>/Textures.
    void WriteEngineTextures(const std::filesystem::path& anEngineFolder);
}
