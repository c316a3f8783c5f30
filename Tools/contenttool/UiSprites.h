#pragma once
#include "SpriteJob.h"

#include <vector>

namespace ContentTool
{
    // Splash logos, menu and pause backgrounds, the game logo, menu widgets, the prompt box's
    // caps, the black bar, the feather and the outro text.
    std::vector<SpriteJob> UiSpriteJobs();

    // Pictures the intro frames reuse.
    Image PaintMenuBackground(int aWidth, int aHeight);
    Image PaintGameLogo(int aWidth, int aHeight);
    Image PaintFeather(int aSize);
}
