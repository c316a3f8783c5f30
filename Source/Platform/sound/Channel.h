#pragma once
#include "sound/SoundTypes.h"

#include <cstdint>

namespace Platform::Sound
{
    class Dsp;

    namespace impl
    {
        class Mixer;
        struct Voice;
    }

    // A handle to one playing sound. Once the sound is stopped or has played to its end the
    // handle is stale: every call reports InvalidHandle and changes nothing, even after its
    // voice plays another sound. A default-made handle is null and stale from the start.
    class Channel
    {
    public:
        Channel() = default;

        bool IsNull() const { return myMixer == nullptr; }
        bool operator==(const Channel& aOther) const = default;

        // Linear gain; any finite value (negative inverts the phase).
        Result SetVolume(float aVolume) const;
        Result GetVolume(float* aVolume) const;
        // Playback speed and frequency: 1 plays the file as it is, 2 an octave up and twice as fast.
        Result SetPitch(float aPitch) const;
        Result GetPitch(float* aPitch) const;
        // A paused channel holds its position.
        Result SetPaused(bool aPaused) const;
        Result GetPaused(bool* aPaused) const;
        Result Stop() const;
        // A stale handle reports false with InvalidHandle.
        Result IsPlaying(bool* anIsPlaying) const;
        // Index 0 places the effect nearest the output, after the channel's volume.
        Result AddDsp(int anIndex, Dsp* aDsp) const;
        Result RemoveDsp(Dsp* aDsp) const;
        Result GetNumDsps(int* aCount) const;

    private:
        friend class System;

        Channel(impl::Mixer* aMixer, std::uint32_t anIndex, std::uint32_t aGeneration)
            : myMixer(aMixer), myIndex(anIndex), myGeneration(aGeneration) {}

        // Runs aCall on the live voice with the mixer locked; InvalidHandle when there is none.
        template <typename Call>
        Result WithVoice(Call&& aCall) const;

        impl::Mixer* myMixer = nullptr;
        std::uint32_t myIndex = 0;
        std::uint32_t myGeneration = 0;
    };
}
