#include "engine/StepTimer.h"

#include "Assert.h"

#include <atomic>
#include <chrono>

namespace Vra
{
    namespace
    {
        std::atomic<StepTimer::CounterSource> theCounterSource{ nullptr };
    }

    StepTimer::StepTimer() : StepTimer(ReadFrequency(), ReadCounter()) {}

    StepTimer::StepTimer(std::int64_t aFrequency, std::int64_t aCounter)
        : myFrequency(aFrequency), myLastCounter(aCounter), myMaxDelta(static_cast<std::uint64_t>(aFrequency / 10))
    {
        CU_ASSERT(aFrequency > 0);
    }

    float StepTimer::Step(std::int64_t aCounter)
    {
        // A counter that went backwards counts as no time at all.
        const std::int64_t difference = aCounter - myLastCounter;
        std::uint64_t delta = difference > 0 ? static_cast<std::uint64_t>(difference) : 0;
        myLastCounter = aCounter;
        if (delta > myMaxDelta)
        {
            delta = myMaxDelta;
        }
        myElapsedTicks = delta * TICKS_PER_SECOND / static_cast<std::uint64_t>(myFrequency);
        return static_cast<float>(myElapsedTicks) / static_cast<float>(TICKS_PER_SECOND);
    }

    float StepTimer::Step()
    {
        return Step(ReadCounter());
    }

    void StepTimer::SetCounterSource(CounterSource aSource)
    {
        theCounterSource.store(aSource);
    }

    std::int64_t StepTimer::ReadCounter()
    {
        if (const CounterSource source = theCounterSource.load())
        {
            return source();
        }
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }

    std::int64_t StepTimer::ReadFrequency()
    {
        return 1'000'000'000;
    }
}
