#include "sound/ChannelGroup.h"

#include "sound/Dsp.h"
#include "sound/impl/Mixer.h"

#include <algorithm>
#include <cmath>

namespace Platform::Sound
{
    Result ChannelGroup::SetVolume(float aVolume)
    {
        if (!std::isfinite(aVolume))
        {
            return Result::InvalidParam;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myMixer->GetMaster().myVolume = aVolume;
        return Result::Ok;
    }

    Result ChannelGroup::GetVolume(float* aVolume) const
    {
        if (aVolume == nullptr)
        {
            return Result::InvalidParam;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        *aVolume = myMixer->GetMaster().myVolume;
        return Result::Ok;
    }

    Result ChannelGroup::SetPaused(bool aPaused)
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myMixer->GetMaster().myIsPaused = aPaused;
        return Result::Ok;
    }

    Result ChannelGroup::GetPaused(bool* aPaused) const
    {
        if (aPaused == nullptr)
        {
            return Result::InvalidParam;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        *aPaused = myMixer->GetMaster().myIsPaused;
        return Result::Ok;
    }

    Result ChannelGroup::Stop()
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myMixer->StopAllVoices();
        return Result::Ok;
    }

    Result ChannelGroup::AddDsp(int anIndex, Dsp* aDsp)
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        if (aDsp == nullptr || !myMixer->Owns(aDsp))
        {
            return Result::InvalidParam;
        }
        return myMixer->Attach(*aDsp, myMixer->GetMaster().myDsps, anIndex, {impl::DspAttachment::Target::Master, 0});
    }

    Result ChannelGroup::RemoveDsp(Dsp* aDsp)
    {
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        impl::DspChain& chain = myMixer->GetMaster().myDsps;
        if (aDsp == nullptr || std::find(chain.begin(), chain.end(), aDsp) == chain.end())
        {
            return Result::InvalidParam;
        }
        myMixer->Detach(*aDsp);
        return Result::Ok;
    }

    Result ChannelGroup::GetNumDsps(int* aCount) const
    {
        if (aCount == nullptr)
        {
            return Result::InvalidParam;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        *aCount = static_cast<int>(myMixer->GetMaster().myDsps.size());
        return Result::Ok;
    }

    Result ChannelGroup::GetDsp(int anIndex, Dsp** aDsp) const
    {
        if (aDsp == nullptr)
        {
            return Result::InvalidParam;
        }
        *aDsp = nullptr;
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        const impl::DspChain& chain = myMixer->GetMaster().myDsps;
        if (anIndex < 0 || anIndex >= static_cast<int>(chain.size()))
        {
            return Result::InvalidParam;
        }
        *aDsp = chain[static_cast<std::size_t>(anIndex)];
        return Result::Ok;
    }
}
