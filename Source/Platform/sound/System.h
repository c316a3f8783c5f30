#pragma once
#include "sound/Channel.h"
#include "sound/SoundTypes.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace Platform::Sound
{
    class ChannelGroup;
    class Dsp;
    class Sound;

    namespace impl
    {
        class DecodeQueue;
        class DeviceOutput;
        class Mixer;
    }

    // The software mixer: sounds decoded from files play on channels into one master group,
    // mixed at 48 kHz float stereo. Every call may come from any thread; the device's thread
    // mixes under the same lock. Sounds, effects, the master group and the handles of this
    // system must not be used after Close or Release.
    class System
    {
    public:
        // Makes a system for the version the caller was written against (HEADER_VERSION).
        static Result Create(System** aSystem, std::uint32_t aHeaderVersion);

        System(const System&) = delete;
        System& operator=(const System&) = delete;

        // Before Init; Device by default.
        Result SetOutput(OutputType anOutput);
        // aMaxChannels voices (1 to 4095); a play beyond them takes the oldest channel's voice.
        // With Device output a missing audio device is no failure: the system plays silently.
        Result Init(int aMaxChannels, InitFlags someFlags, void* someDriverData);
        // Stops the output and frees every sound, effect and channel; Init may follow.
        Result Close();
        // Closes and deletes the system.
        Result Release();
        // Once a frame. Without a device it advances the silent mix by the time that passed, so
        // one-shots still end.
        Result Update();

        Result GetMasterChannelGroup(ChannelGroup** aGroup);
        // Reads and checks the file's header now (FileNotFound, BadFile) and queues the decode of
        // its samples on the system's decoder threads, first made first ready. MODE_LOOP_NORMAL
        // makes a sound that loops seamlessly, anything else a one-shot. someExtraInfo must be
        // null.
        Result CreateSound(const char* aPath, Mode aMode, const void* someExtraInfo, Sound** aSound);
        // Starts aSound at volume 1 and its own pitch in aGroup (null: the master group); first
        // waits for the sound's decode, without holding up the mix.
        Result PlaySound(Sound* aSound, ChannelGroup* aGroup, bool aPaused, Channel* aChannel);
        Result CreateDspByType(DspType aType, Dsp** aDsp);

        // Channels playing or paused now.
        Result GetChannelsPlaying(int* aCount) const;
        // Effects made and not yet released.
        Result GetDspCount(int* aCount) const;
        // Memory output only: mixes the next aFrameCount frames into someFrames (interleaved
        // stereo floats). The same calls in the same order give the same samples.
        Result Render(float* someFrames, int aFrameCount);
        // Whether an audio device plays the mix.
        bool IsDeviceOpen() const;

    private:
        System();
        ~System();

        Result ReadCount(int* aCount, int (impl::Mixer::*aCounter)() const) const;

        OutputType myOutput = OutputType::Device;
        std::unique_ptr<impl::Mixer> myMixer;
        std::unique_ptr<impl::DecodeQueue> myDecoder;
        std::unique_ptr<impl::DeviceOutput> myDevice;
        std::unique_ptr<ChannelGroup> myMasterGroup;
        // Without a device the mix runs on the wall clock into this buffer, unheard.
        std::chrono::steady_clock::time_point myLastSilentMix;
        double mySilentFramesOwed = 0.0;
        std::vector<float> mySilentBuffer;
    };
}
