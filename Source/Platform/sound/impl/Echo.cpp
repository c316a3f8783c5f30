#include "sound/impl/Echo.h"

#include "sound/SoundTypes.h"

#include <algorithm>
#include <cmath>

namespace Platform::Sound::impl
{
    namespace
    {
        constexpr float MIN_DELAY_MS = 1.0f;
        constexpr float MAX_DELAY_MS = 5000.0f;
        constexpr float MIN_LEVEL_DB = -80.0f;
        constexpr float MAX_LEVEL_DB = 10.0f;

        bool InRange(float aValue, float aLow, float aHigh)
        {
            return aValue >= aLow && aValue <= aHigh; // also false for NaN
        }

        std::size_t DelayFrames(float aDelayMs)
        {
            const long frames = std::lround(static_cast<double>(aDelayMs) * OUTPUT_RATE / 1000.0);
            return frames < 1 ? 1 : static_cast<std::size_t>(frames);
        }
    }

    Echo::Echo()
        : myLine(DelayFrames(myDelayMs) * 2, 0.0f)
    {
    }

    float Echo::DecibelsToGain(float aDecibels)
    {
        return aDecibels <= MIN_LEVEL_DB ? 0.0f : std::pow(10.0f, aDecibels / 20.0f);
    }

    bool Echo::SetParameter(int anIndex, float aValue)
    {
        switch (anIndex)
        {
        case ECHO_DELAY:
            if (!InRange(aValue, MIN_DELAY_MS, MAX_DELAY_MS))
            {
                return false;
            }
            myDelayMs = aValue;
            if (DelayFrames(aValue) * 2 != myLine.size())
            {
                myLine.assign(DelayFrames(aValue) * 2, 0.0f);
                myPosition = 0;
            }
            return true;
        case ECHO_FEEDBACK:
            if (!InRange(aValue, 0.0f, 100.0f))
            {
                return false;
            }
            myFeedbackPercent = aValue;
            myFeedback = aValue / 100.0f;
            return true;
        case ECHO_DRYLEVEL:
        case ECHO_WETLEVEL:
            if (!InRange(aValue, MIN_LEVEL_DB, MAX_LEVEL_DB))
            {
                return false;
            }
            (anIndex == ECHO_DRYLEVEL ? myDryDecibels : myWetDecibels) = aValue;
            (anIndex == ECHO_DRYLEVEL ? myDryGain : myWetGain) = DecibelsToGain(aValue);
            return true;
        default:
            return false;
        }
    }

    bool Echo::GetParameter(int anIndex, float* aValue) const
    {
        const float values[] = {myDelayMs, myFeedbackPercent, myDryDecibels, myWetDecibels};
        if (aValue == nullptr || anIndex < 0 || anIndex > ECHO_WETLEVEL)
        {
            return false;
        }
        *aValue = values[anIndex];
        return true;
    }

    void Echo::Reset()
    {
        myLine.assign(myLine.size(), 0.0f);
        myPosition = 0;
    }

    void Echo::Process(float* someFrames, int aFrameCount)
    {
        const std::size_t lineFrames = myLine.size() / 2;
        // Locals, so the compiler knows no store below changes them and can vectorise.
        const float dry = myDryGain;
        const float wet = myWetGain;
        const float feedback = myFeedback;
        std::size_t done = 0;
        while (done < static_cast<std::size_t>(aFrameCount))
        {
            // Runs up to the end of the line, so the loop below needs no wrap test.
            const std::size_t count = std::min(static_cast<std::size_t>(aFrameCount) - done, lineFrames - myPosition);
            float* __restrict frames = someFrames + 2 * done;
            float* __restrict delayed = myLine.data() + 2 * myPosition;
            for (std::size_t i = 0; i < 2 * count; ++i)
            {
                const float in = frames[i];
                frames[i] = dry * in + wet * delayed[i];
                delayed[i] = in + feedback * delayed[i];
            }
            done += count;
            myPosition += count;
            if (myPosition == lineFrames)
            {
                myPosition = 0;
            }
        }
    }
}
