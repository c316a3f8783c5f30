#include "sound/Channel.h"

#include "sound/Dsp.h"
#include "sound/impl/Mixer.h"

#include <algorithm>
#include <cmath>

namespace Platform::Sound
{
    template <typename Call>
    Result Channel::WithVoice(Call&& aCall) const
    {
        if (myMixer == nullptr)
        {
            return Result::InvalidHandle;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        impl::Voice* voice = myMixer->FindVoice(myIndex, myGeneration);
        if (voice == nullptr)
        {
            return Result::InvalidHandle;
        }
        return aCall(*voice);
    }

    Result Channel::SetVolume(float aVolume) const
    {
        if (!std::isfinite(aVolume))
        {
            return Result::InvalidParam;
        }
        return WithVoice([aVolume](impl::Voice& aVoice) {
            aVoice.myVolume = aVolume;
            return Result::Ok;
        });
    }

    Result Channel::GetVolume(float* aVolume) const
    {
        if (aVolume == nullptr)
        {
            return Result::InvalidParam;
        }
        return WithVoice([aVolume](impl::Voice& aVoice) {
            *aVolume = aVoice.myVolume;
            return Result::Ok;
        });
    }

    Result Channel::SetPitch(float aPitch) const
    {
        if (!std::isfinite(aPitch) || aPitch < 0.0f)
        {
            return Result::InvalidParam;
        }
        return WithVoice([aPitch](impl::Voice& aVoice) {
            impl::Mixer::SetPitch(aVoice, aPitch);
            return Result::Ok;
        });
    }

    Result Channel::GetPitch(float* aPitch) const
    {
        if (aPitch == nullptr)
        {
            return Result::InvalidParam;
        }
        return WithVoice([aPitch](impl::Voice& aVoice) {
            *aPitch = aVoice.myPitch;
            return Result::Ok;
        });
    }

    Result Channel::SetPaused(bool aPaused) const
    {
        return WithVoice([aPaused](impl::Voice& aVoice) {
            aVoice.myIsPaused = aPaused;
            return Result::Ok;
        });
    }

    Result Channel::GetPaused(bool* aPaused) const
    {
        if (aPaused == nullptr)
        {
            return Result::InvalidParam;
        }
        return WithVoice([aPaused](impl::Voice& aVoice) {
            *aPaused = aVoice.myIsPaused;
            return Result::Ok;
        });
    }

    Result Channel::Stop() const
    {
        return WithVoice([this](impl::Voice& aVoice) {
            myMixer->StopVoice(aVoice);
            return Result::Ok;
        });
    }

    Result Channel::IsPlaying(bool* anIsPlaying) const
    {
        if (anIsPlaying == nullptr)
        {
            return Result::InvalidParam;
        }
        *anIsPlaying = false;
        return WithVoice([anIsPlaying](impl::Voice&) {
            *anIsPlaying = true;
            return Result::Ok;
        });
    }

    Result Channel::AddDsp(int anIndex, Dsp* aDsp) const
    {
        return WithVoice([this, anIndex, aDsp](impl::Voice& aVoice) {
            if (aDsp == nullptr || !myMixer->Owns(aDsp))
            {
                return Result::InvalidParam;
            }
            return myMixer->Attach(*aDsp, aVoice.myDsps, anIndex, {impl::DspAttachment::Target::Voice, myIndex});
        });
    }

    Result Channel::RemoveDsp(Dsp* aDsp) const
    {
        return WithVoice([this, aDsp](impl::Voice& aVoice) {
            if (aDsp == nullptr || std::find(aVoice.myDsps.begin(), aVoice.myDsps.end(), aDsp) == aVoice.myDsps.end())
            {
                return Result::InvalidParam;
            }
            myMixer->Detach(*aDsp);
            return Result::Ok;
        });
    }

    Result Channel::GetNumDsps(int* aCount) const
    {
        if (aCount == nullptr)
        {
            return Result::InvalidParam;
        }
        return WithVoice([aCount](impl::Voice& aVoice) {
            *aCount = static_cast<int>(aVoice.myDsps.size());
            return Result::Ok;
        });
    }
}
