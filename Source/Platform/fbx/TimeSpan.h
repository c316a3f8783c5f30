#pragma once
#include "fbx/Time.h"

namespace Vra::Fbx
{
    // From a start to a stop time.
    class TimeSpan
    {
    public:
        constexpr TimeSpan() = default;
        constexpr TimeSpan(Time aStart, Time aStop) : myStart(aStart), myStop(aStop) {}

        constexpr Time GetStart() const { return myStart; }
        constexpr Time GetStop() const { return myStop; }
        // Wraps around rather than overflowing for spans wider than 64 bits of ticks.
        constexpr Time GetDuration() const
        {
            return Time(static_cast<int64_t>(static_cast<uint64_t>(myStop.Get()) - static_cast<uint64_t>(myStart.Get())));
        }
        constexpr void Set(Time aStart, Time aStop)
        {
            myStart = aStart;
            myStop = aStop;
        }

    private:
        Time myStart;
        Time myStop;
    };
}
