#include "fbx/Time.h"

#include <cmath>

namespace Vra::Fbx
{
    namespace
    {
        // Beyond this a custom rate is a damaged file, not a frame rate.
        constexpr double MAX_FRAME_RATE = 1.0e6;

        // Whole numbers outside 64 bits stop at its ends.
        int64_t Saturate(long double aValue)
        {
            if (!(aValue > -9.2e18L))
            {
                return aValue > 0 ? INT64_MAX : INT64_MIN;
            }
            return aValue < 9.2e18L ? static_cast<int64_t>(aValue) : INT64_MAX;
        }
    }

    double TimeMode::GetFrameRate() const
    {
        switch (myMode)
        {
        case Frames120: return 120.0;
        case Frames100: return 100.0;
        case Frames60: return 60.0;
        case Frames50: return 50.0;
        case Frames48: return 48.0;
        case Frames30:
        case Frames30Drop: return 30.0;
        case NtscDropFrame:
        case NtscFullFrame: return 30000.0 / 1001.0;
        case Pal: return 25.0;
        case Frames24: return 24.0;
        case Frames1000: return 1000.0;
        case FilmFullFrame: return 24000.0 / 1001.0;
        case Custom: return std::isfinite(myCustomFrameRate) && myCustomFrameRate > 0.0 && myCustomFrameRate <= MAX_FRAME_RATE
                               ? myCustomFrameRate
                               : 30.0;
        case Frames96: return 96.0;
        case Frames72: return 72.0;
        case Frames59dot94: return 60000.0 / 1001.0;
        case Default:
        default: return 30.0;
        }
    }

    double Time::GetSecondDouble() const
    {
        return static_cast<double>(myTicks) / static_cast<double>(TICKS_PER_SECOND);
    }

    void Time::SetSecondDouble(double aSeconds)
    {
        myTicks = Saturate(std::round(static_cast<long double>(aSeconds) * TICKS_PER_SECOND));
    }

    int64_t Time::GetFrameCount(const TimeMode& aMode) const
    {
        const long double frames =
            static_cast<long double>(myTicks) * aMode.GetFrameRate() / static_cast<long double>(TICKS_PER_SECOND);
        return Saturate(std::floor(frames + 1e-3L));
    }

    void Time::SetFrame(int64_t aFrame, const TimeMode& aMode)
    {
        const long double ticks =
            static_cast<long double>(aFrame) * static_cast<long double>(TICKS_PER_SECOND) / aMode.GetFrameRate();
        myTicks = Saturate(std::round(ticks));
    }
}
