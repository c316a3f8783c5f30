#pragma once
#include "SpriteJob.h"

#include <string>
#include <vector>

namespace ContentTool
{
    // A flat scenery piece for the level's parallax layers.
    struct ParallaxPiece
    {
        std::string myPath;
        int myWidth;
        int myHeight;
        const char* myMood;  // "forest", "cave" or "final"
        const char* myLayer; // the tag it is drawn for: "BG", "LG" or "FG"
        void (*myPaint)(Image&);
    };

    // Every piece, in the order the README lists them.
    const std::vector<ParallaxPiece>& ParallaxPieces();
    std::vector<SpriteJob> ParallaxSpriteJobs();
}
