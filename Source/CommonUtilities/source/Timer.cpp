#include "Timer.h"

#include <chrono>

namespace CommonUtilities
{
    namespace
    {
        std::int64_t Now()
        {
            const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
            return std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count();
        }
    }

    Timer::Timer()
        : myLastTimePoint(Now())
        , myCurrentTimePoint(myLastTimePoint)
    {
    }

    void Timer::Update()
    {
        myLastTimePoint = myCurrentTimePoint;
        myCurrentTimePoint = Now();
        myDeltaTime = static_cast<double>(myCurrentTimePoint - myLastTimePoint) * 1e-9;
        myTotalTime += myDeltaTime;
    }

    float Timer::GetDeltaTime() const
    {
        return static_cast<float>(myDeltaTime);
    }

    double Timer::GetTotalTime() const
    {
        return myTotalTime;
    }
}
