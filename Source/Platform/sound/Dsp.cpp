#include "sound/Dsp.h"

namespace Platform::Sound
{
    Result Dsp::SetParameterFloat(int anIndex, float aValue)
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        return myEcho.SetParameter(anIndex, aValue) ? Result::Ok : Result::InvalidParam;
    }

    Result Dsp::GetParameterFloat(int anIndex, float* aValue) const
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        return myEcho.GetParameter(anIndex, aValue) ? Result::Ok : Result::InvalidParam;
    }

    Result Dsp::Reset()
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myEcho.Reset();
        return Result::Ok;
    }

    Result Dsp::GetType(DspType* aType) const
    {
        if (aType == nullptr)
        {
            return Result::InvalidParam;
        }
        *aType = DspType::Echo;
        return Result::Ok;
    }

    Result Dsp::GetActive(bool* anIsActive) const
    {
        if (anIsActive == nullptr)
        {
            return Result::InvalidParam;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        *anIsActive = myAttachment.myTarget != impl::DspAttachment::Target::None;
        return Result::Ok;
    }

    Result Dsp::Release()
    {
        impl::Mixer& mixer = *myMixer;
        const std::lock_guard<std::mutex> lock(mixer.GetMutex());
        mixer.Delete(this);
        return Result::Ok;
    }
}
