#pragma once
#include <cstdint>

namespace Vra
{
    enum class AnimationState : std::uint8_t
    {
        New = 1,     // made, not started
        Playing = 2, // started, before the end (or the first wrap)
        Ended = 5,   // a player that does not loop reached the end
        Wrapped = 6, // a looping player passed its end at least once
    };
}
