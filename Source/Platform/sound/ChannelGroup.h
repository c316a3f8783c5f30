#pragma once
#include "sound/SoundTypes.h"

namespace Platform::Sound
{
    class Dsp;

    namespace impl
    {
        class Mixer;
    }

    // The master group every channel plays into: its effects run over the sum of the channels,
    // then its volume applies. Owned by the system.
    class ChannelGroup
    {
    public:
        ~ChannelGroup() = default;
        ChannelGroup(const ChannelGroup&) = delete;
        ChannelGroup& operator=(const ChannelGroup&) = delete;

        Result SetVolume(float aVolume);
        Result GetVolume(float* aVolume) const;
        // A paused group is silent and its channels hold their positions.
        Result SetPaused(bool aPaused);
        Result GetPaused(bool* aPaused) const;
        // Stops every channel.
        Result Stop();
        // Index 0 places the effect nearest the output, before the group's volume.
        Result AddDsp(int anIndex, Dsp* aDsp);
        Result RemoveDsp(Dsp* aDsp);
        Result GetNumDsps(int* aCount) const;
        Result GetDsp(int anIndex, Dsp** aDsp) const;

    private:
        friend class System;

        explicit ChannelGroup(impl::Mixer& aMixer) : myMixer(&aMixer) {}

        impl::Mixer* myMixer;
    };
}
