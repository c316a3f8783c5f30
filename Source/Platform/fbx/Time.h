#pragma once
#include "fbx/TimeMode.h"

#include <compare>
#include <cstdint>

namespace Vra::Fbx
{
    // A point in time in the file's ticks (46186158000 a second).
    class Time
    {
    public:
        static constexpr int64_t TICKS_PER_SECOND = 46186158000LL;

        constexpr Time() = default;
        constexpr explicit Time(int64_t aTicks) : myTicks(aTicks) {}

        constexpr int64_t Get() const { return myTicks; }
        constexpr void Set(int64_t aTicks) { myTicks = aTicks; }

        double GetSecondDouble() const;
        void SetSecondDouble(double aSeconds);

        // Whole frames since time 0 in the mode (rounded down; a time within a thousandth of a
        // frame below a frame boundary counts as that frame).
        int64_t GetFrameCount(const TimeMode& aMode) const;
        void SetFrame(int64_t aFrame, const TimeMode& aMode);

        constexpr auto operator<=>(const Time&) const = default;

    private:
        int64_t myTicks = 0;
    };
}
