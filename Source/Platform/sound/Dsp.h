#pragma once
#include "sound/SoundTypes.h"
#include "sound/impl/Echo.h"
#include "sound/impl/Mixer.h"

namespace Platform::Sound
{
    // An effect made by System::CreateDspByType, added to a channel or a channel group.
    // It sits in one place at a time; when its channel ends it is detached but lives on until
    // Release, which also detaches it.
    class Dsp
    {
    public:
        Dsp(const Dsp&) = delete;
        Dsp& operator=(const Dsp&) = delete;

        // InvalidParam for an unknown index or a value outside its range (the value is kept).
        Result SetParameterFloat(int anIndex, float aValue);
        Result GetParameterFloat(int anIndex, float* aValue) const;
        // Clears what the effect holds (the echo's delay line).
        Result Reset();
        Result GetType(DspType* aType) const;
        // Whether it sits on a channel or a group now.
        Result GetActive(bool* anIsActive) const;
        Result Release();

    private:
        friend class System;
        friend class impl::Mixer;

        explicit Dsp(impl::Mixer& aMixer) : myMixer(&aMixer) {}
        ~Dsp() = default;

        impl::Mixer* myMixer;
        impl::Echo myEcho;
        impl::DspAttachment myAttachment;
    };
}
