#include "sound/impl/Mixer.h"

#include "sound/Dsp.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Platform::Sound::impl
{
    void FreeFrames::operator()(float* someFrames) const
    {
        std::free(someFrames);
    }

    namespace
    {
        constexpr double FIXED_ONE = 4294967296.0; // 1 << 32
        constexpr float FRACTION_SCALE = 1.0f / 4294967296.0f;

        // Renders up to aFrameCount frames of the voice, gain applied, adding into or writing over
        // the output. Returns the frames made; anEnded tells that a one-shot played its last frame.
        template <bool ADD>
        int RenderVoice(Voice& aVoice, float* someFrames, int aFrameCount, float aGain, bool& anEnded)
        {
            const SampleData& data = *aVoice.mySamples;
            const float* samples = data.myFrames.get();
            const std::uint64_t end = static_cast<std::uint64_t>(data.myFrameCount) << 32;
            const std::uint64_t step = aVoice.myStep;
            int done = 0;
            while (done < aFrameCount)
            {
                int count = aFrameCount - done;
                if (step > 0)
                {
                    // Frames before the position passes the last source frame; the guard frame
                    // covers the interpolation of the last one.
                    const std::uint64_t reachable = (end - aVoice.myPosition + step - 1) / step;
                    count = static_cast<int>(std::min<std::uint64_t>(reachable, static_cast<std::uint64_t>(count)));
                }
                float* out = someFrames + 2 * done;
                std::uint64_t position = aVoice.myPosition;
                for (int i = 0; i < count; ++i)
                {
                    const float* frame = samples + 2 * (position >> 32);
                    const float fraction = static_cast<float>(static_cast<std::uint32_t>(position)) * FRACTION_SCALE;
                    const float left = frame[0] + fraction * (frame[2] - frame[0]);
                    const float right = frame[1] + fraction * (frame[3] - frame[1]);
                    if constexpr (ADD)
                    {
                        out[2 * i] += aGain * left;
                        out[2 * i + 1] += aGain * right;
                    }
                    else
                    {
                        out[2 * i] = aGain * left;
                        out[2 * i + 1] = aGain * right;
                    }
                    position += step;
                }
                aVoice.myPosition = position;
                done += count;
                if (position >= end)
                {
                    if (!data.myIsLooping)
                    {
                        anEnded = true;
                        return done;
                    }
                    aVoice.myPosition = position % end;
                }
            }
            return done;
        }
    }

    Mixer::Mixer(int aVoiceCount)
        : myVoices(static_cast<std::size_t>(aVoiceCount)),
          myScratch(BLOCK_FRAMES * OUTPUT_CHANNELS, 0.0f)
    {
    }

    Mixer::~Mixer()
    {
        for (Sound* sound : mySounds)
        {
            delete sound;
        }
        for (Dsp* dsp : myDsps)
        {
            delete dsp;
        }
    }

    Mixer::VoiceId Mixer::StartVoice(const SampleData& someSamples, const Sound* aSound, bool aPaused)
    {
        auto free = std::find_if(myVoices.begin(), myVoices.end(), [](const Voice& aVoice) { return !aVoice.myIsActive; });
        if (free == myVoices.end())
        {
            free = std::min_element(myVoices.begin(), myVoices.end(),
                                    [](const Voice& aLeft, const Voice& aRight) { return aLeft.myStartSerial < aRight.myStartSerial; });
            StopVoice(*free);
        }
        Voice& voice = *free;
        voice.mySamples = &someSamples;
        voice.mySound = aSound;
        voice.myPosition = 0;
        voice.myVolume = 1.0f;
        voice.myIsPaused = aPaused;
        voice.myIsActive = true;
        voice.myStartSerial = myNextSerial++;
        SetPitch(voice, 1.0f);
        return {static_cast<std::uint32_t>(free - myVoices.begin()), voice.myGeneration};
    }

    Voice* Mixer::FindVoice(std::uint32_t anIndex, std::uint32_t aGeneration)
    {
        if (anIndex >= myVoices.size())
        {
            return nullptr;
        }
        Voice& voice = myVoices[anIndex];
        return voice.myIsActive && voice.myGeneration == aGeneration ? &voice : nullptr;
    }

    void Mixer::StopVoice(Voice& aVoice)
    {
        DetachAll(aVoice.myDsps);
        aVoice.mySamples = nullptr;
        aVoice.mySound = nullptr;
        aVoice.myIsActive = false;
        ++aVoice.myGeneration; // every handle to it is stale from now on
    }

    void Mixer::StopAllVoices()
    {
        for (Voice& voice : myVoices)
        {
            if (voice.myIsActive)
            {
                StopVoice(voice);
            }
        }
    }

    int Mixer::CountActiveVoices() const
    {
        return static_cast<int>(std::count_if(myVoices.begin(), myVoices.end(), [](const Voice& aVoice) { return aVoice.myIsActive; }));
    }

    void Mixer::SetPitch(Voice& aVoice, float aPitch)
    {
        aVoice.myPitch = aPitch;
        const double ratio = static_cast<double>(aPitch) * aVoice.mySamples->mySampleRate / OUTPUT_RATE;
        aVoice.myStep = static_cast<std::uint64_t>(std::llround(ratio * FIXED_ONE));
    }

    Result Mixer::Attach(Dsp& aDsp, DspChain& aChain, int anIndex, DspAttachment anAttachment)
    {
        if (aDsp.myAttachment.myTarget != DspAttachment::Target::None)
        {
            return Result::DspInUse;
        }
        const int index = std::clamp(anIndex, 0, static_cast<int>(aChain.size()));
        aChain.insert(aChain.begin() + index, &aDsp);
        aDsp.myAttachment = anAttachment;
        return Result::Ok;
    }

    void Mixer::Detach(Dsp& aDsp)
    {
        DspChain* chain = nullptr;
        switch (aDsp.myAttachment.myTarget)
        {
        case DspAttachment::Target::None:
            return;
        case DspAttachment::Target::Master:
            chain = &myMaster.myDsps;
            break;
        case DspAttachment::Target::Voice:
            chain = &myVoices[aDsp.myAttachment.myVoice].myDsps;
            break;
        }
        chain->erase(std::remove(chain->begin(), chain->end(), &aDsp), chain->end());
        aDsp.myAttachment = {};
    }

    void Mixer::DetachAll(DspChain& aChain)
    {
        for (Dsp* dsp : aChain)
        {
            dsp->myAttachment = {};
        }
        aChain.clear();
    }

    void Mixer::Delete(Sound* aSound)
    {
        for (Voice& voice : myVoices)
        {
            if (voice.myIsActive && voice.mySound == aSound)
            {
                StopVoice(voice);
            }
        }
        mySounds.erase(aSound);
        delete aSound;
    }

    void Mixer::Delete(Dsp* aDsp)
    {
        Detach(*aDsp);
        myDsps.erase(aDsp);
        delete aDsp;
    }

    void Mixer::RunChain(const DspChain& aChain, float* someFrames, int aFrameCount)
    {
        for (auto dsp = aChain.rbegin(); dsp != aChain.rend(); ++dsp)
        {
            (*dsp)->myEcho.Process(someFrames, aFrameCount);
        }
    }

    void Mixer::Mix(float* someFrames, int aFrameCount)
    {
        const std::lock_guard<std::mutex> lock(myMutex);
        for (int offset = 0; offset < aFrameCount; offset += BLOCK_FRAMES)
        {
            MixBlock(someFrames + OUTPUT_CHANNELS * offset, std::min(BLOCK_FRAMES, aFrameCount - offset));
        }
    }

    void Mixer::MixBlock(float* someFrames, int aFrameCount)
    {
        const int sampleCount = aFrameCount * OUTPUT_CHANNELS;
        std::fill(someFrames, someFrames + sampleCount, 0.0f);
        if (myMaster.myIsPaused)
        {
            return;
        }
        float* scratch = myScratch.data();
        for (Voice& voice : myVoices)
        {
            if (!voice.myIsActive || voice.myIsPaused)
            {
                continue;
            }
            bool ended = false;
            if (voice.myDsps.empty())
            {
                RenderVoice<true>(voice, someFrames, aFrameCount, voice.myVolume, ended);
            }
            else
            {
                const int made = RenderVoice<false>(voice, scratch, aFrameCount, voice.myVolume, ended);
                std::fill(scratch + made * OUTPUT_CHANNELS, scratch + sampleCount, 0.0f);
                RunChain(voice.myDsps, scratch, aFrameCount);
                for (int i = 0; i < sampleCount; ++i)
                {
                    someFrames[i] += scratch[i];
                }
            }
            if (ended)
            {
                StopVoice(voice);
            }
        }
        RunChain(myMaster.myDsps, someFrames, aFrameCount);
        if (myMaster.myVolume != 1.0f)
        {
            for (int i = 0; i < sampleCount; ++i)
            {
                someFrames[i] *= myMaster.myVolume;
            }
        }
    }
}
