#include "sound/impl/SoundFileReader.h"

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <new>
#include <vector>

namespace Platform::Sound::impl
{
    namespace
    {
        // Frames decoded per read: small enough that a cancel is seen within a fraction of a
        // millisecond, large enough that the per-call cost of the decoder does not show.
        constexpr std::int64_t DECODE_BLOCK_FRAMES = 4096;
        // Positions are 32.32 fixed point, and the guard frame follows the last frame.
        constexpr std::int64_t MAX_FRAMES = std::numeric_limits<std::uint32_t>::max() - 1;

        SNDFILE* Handle(void* aFile)
        {
            return static_cast<SNDFILE*>(aFile);
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
        if (info.channels < 1 || info.frames < 1 || info.frames > MAX_FRAMES || info.samplerate < 1)
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
        std::int64_t capacity = aCancel.load(std::memory_order_relaxed) ? 0 : myFrameCount;
        // Left uninitialised: every frame up to the count is written below, the rest never read.
        std::unique_ptr<float[]> frames;
        try
        {
            frames.reset(new float[static_cast<std::size_t>(std::max<std::int64_t>(capacity, 1) + 1) * OUTPUT_CHANNELS]);
        }
        catch (const std::bad_alloc&)
        {
            capacity = 0;
            frames.reset(new float[2 * OUTPUT_CHANNELS]);
        }

        const std::size_t channels = static_cast<std::size_t>(myChannelCount);
        std::vector<float> block;
        if (channels != OUTPUT_CHANNELS && capacity > 0)
        {
            block.resize(static_cast<std::size_t>(DECODE_BLOCK_FRAMES) * channels);
        }
        std::int64_t done = 0;
        while (done < capacity && !aCancel.load(std::memory_order_relaxed))
        {
            const std::int64_t wanted = std::min(DECODE_BLOCK_FRAMES, capacity - done);
            float* out = frames.get() + OUTPUT_CHANNELS * static_cast<std::size_t>(done);
            sf_count_t read = 0;
            if (channels == OUTPUT_CHANNELS)
            {
                read = sf_readf_float(Handle(myFile), out, wanted);
            }
            else
            {
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
        if (done == 0)
        {
            frames[0] = 0.0f;
            frames[1] = 0.0f;
            done = 1;
        }
        // The guard frame: a loop continues into its first frame, a one-shot into silence.
        const std::size_t guard = OUTPUT_CHANNELS * static_cast<std::size_t>(done);
        frames[guard] = someSamples.myIsLooping ? frames[0] : 0.0f;
        frames[guard + 1] = someSamples.myIsLooping ? frames[1] : 0.0f;
        someSamples.myFrames = std::move(frames);
        someSamples.myFrameCount = static_cast<std::uint32_t>(done);
    }
}
