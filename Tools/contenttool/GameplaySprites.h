#pragma once
#include "SpriteJob.h"

#include <vector>

namespace ContentTool
{
    // The checkpoint and mushroom flip-books (4 x 4), the six snowflakes and the icicle.
    std::vector<SpriteJob> GameplaySpriteJobs();
}
