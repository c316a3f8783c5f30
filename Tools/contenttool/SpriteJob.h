#pragma once
#include "Image.h"

#include <functional>
#include <string>
#include <vector>

namespace ContentTool
{
    // One texture of the pack: its asset path (as the game asks for it), whether it keeps a mip
    // chain, and the painter that draws it.
    struct SpriteJob
    {
        std::string myPath;
        bool myMips = false;
        std::function<Image()> myPaint;
    };
}
