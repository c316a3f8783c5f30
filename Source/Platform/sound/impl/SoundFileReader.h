#pragma once
#include "sound/SoundTypes.h"
#include "sound/impl/Mixer.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace Platform::Sound::impl
{
    // A WAV, FLAC or Ogg Vorbis file whose header has been read and checked; its samples are
    // decoded later by one thread at a time, so opening costs little on the caller's thread.
    class SoundFile
    {
    public:
        // FileNotFound when aPath is no regular file; BadFile when libsndfile cannot open it or
        // it names no frames, no channels or no rate, or more than MAX_SOUND_FRAMES (among them
        // the largest count, which libsndfile gives for a length it cannot tell).
        static Result Open(const std::string& aPath, std::unique_ptr<SoundFile>& aFile);

        ~SoundFile();
        SoundFile(const SoundFile&) = delete;
        SoundFile& operator=(const SoundFile&) = delete;

        std::uint32_t GetSampleRate() const { return mySampleRate; }

        // Decodes into someSamples, whose rate and loop flag are set already, in blocks straight
        // into its stereo frames (mono is played on both sides, further channels are dropped),
        // then writes the guard frame. The frames take the room of what decodes, not of what the
        // header declares. When aCancel is set it stops at the next block and keeps what it has;
        // when memory runs out it keeps what fitted; a file that yields no frame gives one silent
        // frame.
        void Decode(SampleData& someSamples, const std::atomic<bool>& aCancel);

    private:
        SoundFile(void* aFile, std::int64_t aFrameCount, int aChannelCount, std::uint32_t aSampleRate);

        void* myFile; // SNDFILE*, kept out of this header
        std::int64_t myFrameCount;
        int myChannelCount;
        std::uint32_t mySampleRate;
    };
}
