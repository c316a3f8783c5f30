#include "SoundFile.h"

#include <sndfile.h>

#include <stdexcept>

namespace ContentTool
{
    void WriteOggVorbis(const std::filesystem::path& aPath, const AudioBuffer& aBuffer, double aQuality)
    {
        std::filesystem::create_directories(aPath.parent_path());
        std::filesystem::path temporary = aPath;
        temporary += ".writing";
        SF_INFO info{};
        info.samplerate = SAMPLE_RATE;
        info.channels = aBuffer.Channels();
        info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
        if (file == nullptr)
        {
            throw std::runtime_error("cannot write " + temporary.string() + ": " + sf_strerror(nullptr));
        }
        double quality = aQuality;
        sf_command(file, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof(quality));
        const sf_count_t frames = static_cast<sf_count_t>(aBuffer.Frames());
        const sf_count_t written = sf_writef_float(file, aBuffer.Samples().data(), frames);
        const int closed = sf_close(file);
        if (written != frames || closed != 0)
        {
            throw std::runtime_error("cannot encode " + aPath.string());
        }
        std::filesystem::rename(temporary, aPath);
    }

    std::optional<DecodedSound> ReadSoundFile(const std::filesystem::path& aPath)
    {
        SF_INFO info{};
        SNDFILE* file = sf_open(aPath.c_str(), SFM_READ, &info);
        if (file == nullptr)
        {
            return std::nullopt;
        }
        DecodedSound sound;
        sound.myChannels = info.channels;
        sound.mySampleRate = info.samplerate;
        sound.mySamples.resize(static_cast<std::size_t>(info.frames) * info.channels);
        const sf_count_t read = sf_readf_float(file, sound.mySamples.data(), info.frames);
        sf_close(file);
        if (read != info.frames)
        {
            return std::nullopt;
        }
        return sound;
    }
}
