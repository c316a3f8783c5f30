#pragma once
#include <cstdint>

namespace CommonUtilities
{
    // Frame time on the steady clock. Never clamped: a long stall shows as one long frame.
    class Timer
    {
    public:
        Timer();
        Timer(const Timer&) = delete;
        Timer& operator=(const Timer&) = delete;

        void Update();

        float GetDeltaTime() const;
        double GetTotalTime() const;

    private:
        std::int64_t myLastTimePoint;    // nanoseconds
        std::int64_t myCurrentTimePoint; // nanoseconds
        double myDeltaTime = 0.0;        // seconds
        double myTotalTime = 0.0;        // seconds
    };
}
