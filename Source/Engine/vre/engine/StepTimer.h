#pragma once
#include <cstdint>

namespace Vra
{
    // The engine's frame clock: a high-resolution counter whose steps are clamped to a tenth of a
    // second, so a stall (a breakpoint, a dragged window) never turns into one huge time step.
    class StepTimer
    {
    public:
        static constexpr std::uint64_t TICKS_PER_SECOND = 10'000'000;

        // Starts at the counter's current value.
        StepTimer();
        // Starts at aCounter of a counter running at aFrequency counts per second.
        StepTimer(std::int64_t aFrequency, std::int64_t aCounter);

        // Advances to aCounter and returns the step in seconds (at most 0.1).
        float Step(std::int64_t aCounter);
        // Advances to the counter's current value.
        float Step();

        std::uint64_t GetElapsedTicks() const { return myElapsedTicks; }
        std::int64_t GetFrequency() const { return myFrequency; }

        // The steady clock in nanoseconds, or the source set below.
        static std::int64_t ReadCounter();
        static std::int64_t ReadFrequency();

        // A counter in nanoseconds that ReadCounter returns instead of the clock, so a test that
        // runs frames with a fixed frame time can give the engine's clock the same steps; null
        // restores the clock.
        using CounterSource = std::int64_t (*)();
        static void SetCounterSource(CounterSource aSource);

    private:
        std::int64_t myFrequency;
        std::int64_t myLastCounter;
        std::uint64_t myMaxDelta;
        std::uint64_t myElapsedTicks = 0;
    };
}
