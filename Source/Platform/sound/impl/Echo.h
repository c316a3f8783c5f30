#pragma once
#include <cstddef>
#include <vector>

namespace Platform::Sound::impl
{
    // A stereo feedback delay: out = dry * in + wet * delayed, and what goes into the delay line is
    // in + feedback * delayed, so the n-th repeat arrives n delays late at wet * feedback^(n-1).
    class Echo
    {
    public:
        Echo();

        // False, and nothing changes, for an unknown index or a value outside its range.
        bool SetParameter(int anIndex, float aValue);
        bool GetParameter(int anIndex, float* aValue) const;
        // Empties the delay line.
        void Reset();
        // Interleaved stereo frames, in place.
        void Process(float* someFrames, int aFrameCount);

        std::size_t GetDelayFrames() const { return myLine.size() / 2; }

    private:
        static float DecibelsToGain(float aDecibels);

        float myDelayMs = 500.0f;
        float myFeedbackPercent = 50.0f;
        float myDryDecibels = 0.0f;
        float myWetDecibels = 0.0f;
        float myFeedback = 0.5f;
        float myDryGain = 1.0f;
        float myWetGain = 1.0f;
        std::vector<float> myLine;
        std::size_t myPosition = 0;
    };
}
