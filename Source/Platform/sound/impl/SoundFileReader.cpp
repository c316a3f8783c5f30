#include "sound/impl/SoundFileReader.h"

#include <sndfile.h>

#include <filesystem>
#include <vector>

namespace Platform::Sound::impl
{
    namespace
    {
        class OpenFile
        {
        public:
            explicit OpenFile(const std::string& aPath) : myFile(sf_open(aPath.c_str(), SFM_READ, &myInfo)) {}
            ~OpenFile()
            {
                if (myFile != nullptr)
                {
                    sf_close(myFile);
                }
            }
            OpenFile(const OpenFile&) = delete;
            OpenFile& operator=(const OpenFile&) = delete;

            SNDFILE* Get() const { return myFile; }
            const SF_INFO& GetInfo() const { return myInfo; }

        private:
            SF_INFO myInfo{};
            SNDFILE* myFile;
        };
    }

    Result ReadSoundFile(const std::string& aPath, bool aLooping, SampleData& someSamples)
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(aPath, error))
        {
            return Result::FileNotFound;
        }
        const OpenFile file(aPath);
        const SF_INFO& info = file.GetInfo();
        if (file.Get() == nullptr || info.channels < 1 || info.frames < 1 || info.samplerate < 1)
        {
            return Result::BadFile;
        }
        std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
        const sf_count_t frames = sf_readf_float(file.Get(), interleaved.data(), info.frames);
        if (frames < 1)
        {
            return Result::BadFile;
        }

        SampleData samples;
        samples.myFrameCount = static_cast<std::uint32_t>(frames);
        samples.mySampleRate = static_cast<std::uint32_t>(info.samplerate);
        samples.myIsLooping = aLooping;
        samples.myFrames.resize((static_cast<std::size_t>(frames) + 1) * 2);
        const std::size_t channels = static_cast<std::size_t>(info.channels);
        for (std::size_t frame = 0; frame < static_cast<std::size_t>(frames); ++frame)
        {
            const float* in = &interleaved[frame * channels];
            samples.myFrames[2 * frame] = in[0];
            samples.myFrames[2 * frame + 1] = channels > 1 ? in[1] : in[0];
        }
        // The guard frame: a loop continues into its first frame, a one-shot into silence.
        const std::size_t guard = 2 * static_cast<std::size_t>(frames);
        samples.myFrames[guard] = aLooping ? samples.myFrames[0] : 0.0f;
        samples.myFrames[guard + 1] = aLooping ? samples.myFrames[1] : 0.0f;
        someSamples = std::move(samples);
        return Result::Ok;
    }
}
