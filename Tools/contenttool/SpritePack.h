#pragma once
#include "SpriteJob.h"

#include <filesystem>
#include <vector>

namespace ContentTool
{
    // Every sprite and texture of the pack: the screens', the gameplay's, the parallax pieces and
    // the sheets the effect table names.
    std::vector<SpriteJob> AllSpriteJobs(const std::filesystem::path& anEffectTable);

    // Paints every job and writes it under aDataFolder at its asset path; then writes aStamp, one
    // path a line, so the build knows the pack is complete.
    void WriteSpritePack(const std::filesystem::path& aDataFolder, const std::filesystem::path& anEffectTable, const std::filesystem::path& aStamp);
}
