#include "sound/Sound.h"

#include "sound/impl/DecodeQueue.h"

namespace Platform::Sound
{
    Result Sound::GetLength(std::uint32_t* aFrameCount) const
    {
        if (aFrameCount == nullptr)
        {
            return Result::InvalidParam;
        }
        myDecoder->Wait(this);
        *aFrameCount = mySamples.myFrameCount;
        return Result::Ok;
    }

    Result Sound::GetSampleRate(std::uint32_t* aRate) const
    {
        if (aRate == nullptr)
        {
            return Result::InvalidParam;
        }
        *aRate = mySamples.mySampleRate;
        return Result::Ok;
    }

    Result Sound::GetMode(Mode* aMode) const
    {
        if (aMode == nullptr)
        {
            return Result::InvalidParam;
        }
        *aMode = mySamples.myIsLooping ? MODE_LOOP_NORMAL : MODE_LOOP_OFF;
        return Result::Ok;
    }

    Result Sound::Release()
    {
        // Outside the mixer's lock, so the device keeps mixing while the decoder stops.
        myDecoder->Cancel(this);
        impl::Mixer& mixer = *myMixer;
        const std::lock_guard<std::mutex> lock(mixer.GetMutex());
        mixer.Delete(this);
        return Result::Ok;
    }
}
