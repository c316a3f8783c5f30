#pragma once
#include "sound/SoundTypes.h"
#include "sound/impl/Mixer.h"

#include <cstdint>

namespace Platform::Sound
{
    // A file decoded into memory by System::CreateSound; any number of channels play it at once.
    class Sound
    {
    public:
        Sound(const Sound&) = delete;
        Sound& operator=(const Sound&) = delete;

        // Frames at the file's own rate.
        Result GetLength(std::uint32_t* aFrameCount) const;
        Result GetSampleRate(std::uint32_t* aRate) const;
        Result GetMode(Mode* aMode) const;
        // Stops the channels that play it, then frees it.
        Result Release();

    private:
        friend class System;
        friend class impl::Mixer;

        Sound(impl::Mixer& aMixer, impl::SampleData someSamples) : myMixer(&aMixer), mySamples(std::move(someSamples)) {}
        ~Sound() = default;

        impl::Mixer* myMixer;
        impl::SampleData mySamples;
    };
}
