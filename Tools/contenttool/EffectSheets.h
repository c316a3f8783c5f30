#pragma once
#include "SpriteJob.h"
#include "SpriteSheet.h"

#include <filesystem>
#include <string>
#include <vector>

namespace ContentTool
{
    // A sprite-sheet effect's art: the cell size it is drawn at and its frame painter.
    struct EffectArt
    {
        std::string myTexture;
        int myCellWidth;
        int myCellHeight;
        FramePainter myFrame;
    };

    // Every effect sheet the pack can draw, by the texture path the effect table names.
    const std::vector<EffectArt>& EffectArts();

    // One sheet per distinct texture of the effect table (framesX x framesY cells each). Throws
    // when the table names a texture we have no art for, or one texture with two layouts.
    std::vector<SpriteJob> EffectSpriteJobs(const std::filesystem::path& anEffectTable);
}
