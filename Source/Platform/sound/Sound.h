#pragma once
#include "sound/SoundTypes.h"
#include "sound/impl/Mixer.h"

#include <cstdint>

namespace Platform::Sound
{
    namespace impl
    {
        class DecodeQueue;
    }

    // A file decoded into memory by System::CreateSound; any number of channels play it at once.
    // The decode runs in the background: what needs the samples waits for this sound's decode.
    class Sound
    {
    public:
        Sound(const Sound&) = delete;
        Sound& operator=(const Sound&) = delete;

        // Frames at the file's own rate; waits for the decode.
        Result GetLength(std::uint32_t* aFrameCount) const;
        // From the header; never waits.
        Result GetSampleRate(std::uint32_t* aRate) const;
        Result GetMode(Mode* aMode) const;
        // Cancels an unfinished decode, stops the channels that play it, then frees it.
        Result Release();

    private:
        friend class System;
        friend class impl::Mixer;

        Sound(impl::Mixer& aMixer, impl::DecodeQueue& aDecoder) : myMixer(&aMixer), myDecoder(&aDecoder) {}
        ~Sound() = default;

        impl::Mixer* myMixer;
        impl::DecodeQueue* myDecoder;
        impl::SampleData mySamples;
    };
}
