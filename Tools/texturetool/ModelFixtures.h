#pragma once
#include <filesystem>

namespace TextureTool
{
    // The colour textures of the engine's model test files (Tests/Engine/model/data), one solid
    // colour each, named by the materials of those files, and manifest.txt naming them.
    void WriteModelFixtures(const std::filesystem::path& aFolder);
}
