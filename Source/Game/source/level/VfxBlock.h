#pragma once
#include "Math/Vector2.h"

#include <cstdint>
#include <string>

// A sprite-sheet effect that the level spawns once when it starts.
struct VfxBlock
{
    std::uint32_t myValid = 1;
    Vra::Vector2f myPosition;
    // A name of the effect table.
    std::string myName;
    bool myIsLooping = false;
};
