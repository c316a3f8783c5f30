#pragma once
#include "SpriteJob.h"

#include <string>
#include <vector>

namespace ContentTool
{
    // The pictures of the boxes the bird meets: the level maker lays them over every box of a
    // level as middle-layer scenery, in the level's style. A face tiles on every side, a top and a
    // trap along their width; a ledge is stretched over its whole box.
    struct TerrainPiece
    {
        std::string myPath;
        int myWidth;
        int myHeight;
        const char* myStyle; // "forest", "cave" or "final"
        const char* myPart;  // "Face", "Top", "Ledge" or "Trap"
        void (*myPaint)(Image&);
    };

    // Every piece, in the order the README lists them.
    const std::vector<TerrainPiece>& TerrainPieces();
    std::vector<SpriteJob> TerrainSpriteJobs();
}
