#include "sound/impl/SoundFileReader.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <vector>

namespace Platform::Sound::impl
{
    namespace
    {
        // Frames decoded per read: small enough that a cancel is seen within a fraction of a
        // millisecond, large enough that the per-call cost of the decoder does not show.
        constexpr std::int64_t DECODE_BLOCK_FRAMES = 4096;
        // The room made before anything has decoded. A header's frame count is believed only
        // this far: past it the buffer doubles as frames arrive, so a few bytes that declare an
        // hour of sound cost no more than what they really hold.
        constexpr std::int64_t FIRST_CAPACITY = 65536;

        SNDFILE* Handle(void* aFile)
        {
            return static_cast<SNDFILE*>(aFile);
        }

        // Room for aFrameCount stereo frames and the guard frame after them, keeping the frames
        // already there; false, with the buffer unchanged, when the memory cannot be had.
        bool Resize(FrameBuffer& someFrames, std::int64_t aFrameCount)
        {
            const std::size_t bytes = static_cast<std::size_t>(aFrameCount + 1) * OUTPUT_CHANNELS * sizeof(float);
            void* const moved = std::realloc(someFrames.get(), bytes);
            if (moved == nullptr)
            {
                return false;
            }
            (void)someFrames.release();
            someFrames.reset(static_cast<float*>(moved));
            return true;
        }
    }

    Result SoundFile::Open(const std::string& aPath, std::unique_ptr<SoundFile>& aFile)
    {
        aFile.reset();
        std::error_code error;
        if (!std::filesystem::is_regular_file(aPath, error))
        {
            return Result::FileNotFound;
        }
        SF_INFO info{};
        SNDFILE* file = sf_open(aPath.c_str(), SFM_READ, &info);
        if (file == nullptr)
        {
            return Result::BadFile;
        }
        if (info.channels < 1 || info.frames < 1 || info.frames > MAX_SOUND_FRAMES || info.samplerate < 1)
        {
            sf_close(file);
            return Result::BadFile;
        }
        aFile.reset(new SoundFile(file, info.frames, info.channels, static_cast<std::uint32_t>(info.samplerate)));
        return Result::Ok;
    }

    SoundFile::SoundFile(void* aFile, std::int64_t aFrameCount, int aChannelCount, std::uint32_t aSampleRate)
        : myFile(aFile), myFrameCount(aFrameCount), myChannelCount(aChannelCount), mySampleRate(aSampleRate)
    {
    }

    SoundFile::~SoundFile()
    {
        sf_close(Handle(myFile));
    }

    void SoundFile::Decode(SampleData& someSamples, const std::atomic<bool>& aCancel)
    {
        const std::size_t channels = static_cast<std::size_t>(myChannelCount);
        // Left uninitialised: every frame up to the count is written below, the rest never read.
        FrameBuffer frames;
        std::int64_t capacity = 0;
        std::int64_t done = 0;
        std::vector<float> block;
        // libsndfile stops at the declared count, so the buffer never needs to outgrow it.
        while (done < myFrameCount && !aCancel.load(std::memory_order_relaxed))
        {
            if (done == capacity)
            {
                const std::int64_t grown = std::min(myFrameCount, std::max(FIRST_CAPACITY, 2 * capacity));
                if (!Resize(frames, grown))
                {
                    break;
                }
                capacity = grown;
            }
            const std::int64_t wanted = std::min(DECODE_BLOCK_FRAMES, capacity - done);
            float* out = frames.get() + OUTPUT_CHANNELS * static_cast<std::size_t>(done);
            sf_count_t read = 0;
            if (channels == OUTPUT_CHANNELS)
            {
                read = sf_readf_float(Handle(myFile), out, wanted);
            }
            else
            {
                block.resize(static_cast<std::size_t>(DECODE_BLOCK_FRAMES) * channels);
                read = sf_readf_float(Handle(myFile), block.data(), wanted);
                for (std::size_t frame = 0; frame < static_cast<std::size_t>(std::max<sf_count_t>(read, 0)); ++frame)
                {
                    const float* in = &block[frame * channels];
                    out[2 * frame] = in[0];
                    out[2 * frame + 1] = channels > 1 ? in[1] : in[0];
                }
            }
            if (read <= 0)
            {
                break;
            }
            done += read;
        }
        // What decoded, trimmed to its size: a file that breaks off early keeps no room for the
        // rest. A trim that fails keeps the larger buffer.
        if (done == 0 || done < capacity)
        {
            if (!Resize(frames, std::max<std::int64_t>(done, 1)) && !frames)
            {
                throw std::bad_alloc();
            }
        }
        if (done == 0)
        {
            frames.get()[0] = 0.0f;
            frames.get()[1] = 0.0f;
            done = 1;
        }
        // The guard frame: a loop continues into its first frame, a one-shot into silence.
        float* const samples = frames.get();
        const std::size_t guard = OUTPUT_CHANNELS * static_cast<std::size_t>(done);
        samples[guard] = someSamples.myIsLooping ? samples[0] : 0.0f;
        samples[guard + 1] = someSamples.myIsLooping ? samples[1] : 0.0f;
        someSamples.myFrames = std::move(frames);
        someSamples.myFrameCount = static_cast<std::uint32_t>(done);
    }
}
