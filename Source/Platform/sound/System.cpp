#include "sound/System.h"

#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/Sound.h"
#include "sound/impl/DecodeQueue.h"
#include "sound/impl/DeviceOutput.h"
#include "sound/impl/Mixer.h"
#include "sound/impl/SoundFileReader.h"

#include <algorithm>

namespace Platform::Sound
{
    namespace
    {
        constexpr int MAX_CHANNELS = 4095;
        // A stall longer than this is not caught up on when mixing silently.
        constexpr double MAX_SILENT_CATCH_UP_SECONDS = 0.25;
    }

    System::System() = default;

    System::~System()
    {
        Close();
    }

    Result System::Create(System** aSystem, std::uint32_t aHeaderVersion)
    {
        if (aSystem == nullptr)
        {
            return Result::InvalidParam;
        }
        *aSystem = nullptr;
        if (aHeaderVersion != HEADER_VERSION)
        {
            return Result::HeaderMismatch;
        }
        *aSystem = new System();
        return Result::Ok;
    }

    Result System::SetOutput(OutputType anOutput)
    {
        if (myMixer)
        {
            return Result::AlreadyInitialized;
        }
        myOutput = anOutput;
        return Result::Ok;
    }

    Result System::Init(int aMaxChannels, InitFlags, void*)
    {
        if (myMixer)
        {
            return Result::AlreadyInitialized;
        }
        if (aMaxChannels < 1 || aMaxChannels > MAX_CHANNELS)
        {
            return Result::InvalidParam;
        }
        myMixer = std::make_unique<impl::Mixer>(aMaxChannels);
        myDecoder = std::make_unique<impl::DecodeQueue>(impl::DecodeQueue::DefaultThreadCount());
        myMasterGroup.reset(new ChannelGroup(*myMixer));
        if (myOutput == OutputType::Device)
        {
            myDevice = std::make_unique<impl::DeviceOutput>();
            if (!myDevice->Open(*myMixer))
            {
                myDevice.reset();
                myLastSilentMix = std::chrono::steady_clock::now();
                mySilentFramesOwed = 0.0;
                mySilentBuffer.assign(impl::Mixer::BLOCK_FRAMES * OUTPUT_CHANNELS, 0.0f);
            }
        }
        return Result::Ok;
    }

    Result System::Close()
    {
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        // No decoder writes into a sound, and the device thread has left the mixer, before
        // anything they touch goes away.
        myDecoder.reset();
        myDevice.reset();
        myMasterGroup.reset();
        myMixer.reset();
        mySilentBuffer.clear();
        return Result::Ok;
    }

    Result System::Release()
    {
        delete this;
        return Result::Ok;
    }

    Result System::Update()
    {
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        if (myOutput == OutputType::Device && !myDevice)
        {
            const auto now = std::chrono::steady_clock::now();
            const double seconds = std::chrono::duration<double>(now - myLastSilentMix).count();
            myLastSilentMix = now;
            mySilentFramesOwed += std::min(seconds, MAX_SILENT_CATCH_UP_SECONDS) * OUTPUT_RATE;
            while (mySilentFramesOwed >= 1.0)
            {
                const int frames = static_cast<int>(std::min<double>(mySilentFramesOwed, impl::Mixer::BLOCK_FRAMES));
                myMixer->Mix(mySilentBuffer.data(), frames);
                mySilentFramesOwed -= frames;
            }
        }
        return Result::Ok;
    }

    Result System::GetMasterChannelGroup(ChannelGroup** aGroup)
    {
        if (aGroup == nullptr)
        {
            return Result::InvalidParam;
        }
        *aGroup = myMasterGroup.get();
        return myMixer ? Result::Ok : Result::NotInitialized;
    }

    Result System::CreateSound(const char* aPath, Mode aMode, const void* someExtraInfo, Sound** aSound)
    {
        if (aSound == nullptr)
        {
            return Result::InvalidParam;
        }
        *aSound = nullptr;
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        if (aPath == nullptr || someExtraInfo != nullptr)
        {
            return Result::InvalidParam;
        }
        std::unique_ptr<impl::SoundFile> file;
        const Result opened = impl::SoundFile::Open(aPath, file);
        if (opened != Result::Ok)
        {
            return opened;
        }
        Sound* sound = new Sound(*myMixer, *myDecoder);
        sound->mySamples.mySampleRate = file->GetSampleRate();
        sound->mySamples.myIsLooping = (aMode & MODE_LOOP_NORMAL) != 0;
        myDecoder->Submit(sound, std::move(file), sound->mySamples);
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myMixer->Adopt(sound);
        *aSound = sound;
        return Result::Ok;
    }

    Result System::PlaySound(Sound* aSound, ChannelGroup* aGroup, bool aPaused, Channel* aChannel)
    {
        if (aChannel != nullptr)
        {
            *aChannel = Channel();
        }
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        if (aSound == nullptr || (aGroup != nullptr && aGroup != myMasterGroup.get()))
        {
            return Result::InvalidParam;
        }
        // Before the lock: the device mixes on while the samples are finished. Names the sound
        // without reading it, so a foreign pointer is refused below as before.
        myDecoder->Wait(aSound);
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        if (!myMixer->Owns(aSound))
        {
            return Result::InvalidParam;
        }
        const impl::Mixer::VoiceId voice = myMixer->StartVoice(aSound->mySamples, aSound, aPaused);
        if (aChannel != nullptr)
        {
            *aChannel = Channel(myMixer.get(), voice.myIndex, voice.myGeneration);
        }
        return Result::Ok;
    }

    Result System::CreateDspByType(DspType aType, Dsp** aDsp)
    {
        if (aDsp == nullptr)
        {
            return Result::InvalidParam;
        }
        *aDsp = nullptr;
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        if (aType != DspType::Echo)
        {
            return Result::InvalidParam;
        }
        Dsp* dsp = new Dsp(*myMixer);
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        myMixer->Adopt(dsp);
        *aDsp = dsp;
        return Result::Ok;
    }

    Result System::GetChannelsPlaying(int* aCount) const
    {
        return ReadCount(aCount, &impl::Mixer::CountActiveVoices);
    }

    Result System::GetDspCount(int* aCount) const
    {
        return ReadCount(aCount, &impl::Mixer::CountDsps);
    }

    Result System::ReadCount(int* aCount, int (impl::Mixer::*aCounter)() const) const
    {
        if (aCount == nullptr)
        {
            return Result::InvalidParam;
        }
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        const std::lock_guard<std::mutex> lock(myMixer->GetMutex());
        *aCount = (myMixer.get()->*aCounter)();
        return Result::Ok;
    }

    Result System::Render(float* someFrames, int aFrameCount)
    {
        if (!myMixer)
        {
            return Result::NotInitialized;
        }
        if (myOutput != OutputType::Memory)
        {
            return Result::WrongOutput;
        }
        if (someFrames == nullptr || aFrameCount < 0)
        {
            return Result::InvalidParam;
        }
        myMixer->Mix(someFrames, aFrameCount);
        return Result::Ok;
    }

    bool System::IsDeviceOpen() const
    {
        return myDevice != nullptr && myDevice->IsOpen();
    }
}
