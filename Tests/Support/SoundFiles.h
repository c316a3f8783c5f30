#pragma once
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

// Sound files the tests write for themselves with libsndfile.
namespace SoundFiles
{
    // 32-bit float WAV keeps every sample exact; FLAC and Ogg Vorbis are for the decoders.
    enum class Format { FloatWav, Pcm16Wav, Flac, OggVorbis };

    inline int FormatCode(Format aFormat)
    {
        switch (aFormat)
        {
        case Format::FloatWav: return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        case Format::Pcm16Wav: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case Format::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case Format::OggVorbis: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        }
        return 0;
    }

    // Interleaved samples of aChannels channels; false when libsndfile refuses.
    inline bool Write(const std::filesystem::path& aPath, const std::vector<float>& someSamples, int aChannels = 1,
                      int aRate = 48000, Format aFormat = Format::FloatWav)
    {
        std::filesystem::create_directories(aPath.parent_path());
        SF_INFO info{};
        info.samplerate = aRate;
        info.channels = aChannels;
        info.format = FormatCode(aFormat);
        SNDFILE* file = sf_open(aPath.c_str(), SFM_WRITE, &info);
        if (file == nullptr)
        {
            return false;
        }
        const sf_count_t frames = static_cast<sf_count_t>(someSamples.size()) / aChannels;
        const bool written = sf_writef_float(file, someSamples.data(), frames) == frames;
        return sf_close(file) == 0 && written;
    }

    inline std::vector<float> Tone(int aFrameCount, float aFrequency, float anAmplitude = 0.5f, int aRate = 48000)
    {
        std::vector<float> samples(static_cast<std::size_t>(aFrameCount));
        for (int i = 0; i < aFrameCount; ++i)
        {
            samples[static_cast<std::size_t>(i)] = anAmplitude * static_cast<float>(std::sin(2.0 * M_PI * aFrequency * i / aRate));
        }
        return samples;
    }

    // Uniform noise in [-anAmplitude, anAmplitude], the same for the same seed.
    inline std::vector<float> Noise(int aFrameCount, std::uint32_t aSeed = 1, float anAmplitude = 0.5f)
    {
        std::mt19937 generator(aSeed);
        std::uniform_real_distribution<float> sample(-anAmplitude, anAmplitude);
        std::vector<float> samples(static_cast<std::size_t>(aFrameCount));
        for (float& value : samples)
        {
            value = sample(generator);
        }
        return samples;
    }

    inline std::vector<float> Silence(int aFrameCount)
    {
        return std::vector<float>(static_cast<std::size_t>(aFrameCount), 0.0f);
    }

    // One sample of anAmplitude, then silence.
    inline std::vector<float> Impulse(int aFrameCount, float anAmplitude = 1.0f)
    {
        std::vector<float> samples = Silence(aFrameCount);
        samples[0] = anAmplitude;
        return samples;
    }

    // A FLAC file of its stream header alone (42 bytes), declaring aDeclaredFrames frames of
    // 16-bit samples and holding none.
    inline std::string FlacHeaderOnly(std::uint64_t aDeclaredFrames, int aChannels = 1, std::uint32_t aRate = 48000)
    {
        std::string bytes = "fLaC";
        bytes += {'\x80', '\x00', '\x00', '\x22'}; // the last metadata block: stream info, 34 bytes
        bytes += {'\x10', '\x00', '\x10', '\x00'}; // blocks of 4096 frames
        bytes += std::string(6, '\0');                // frame sizes unknown
        // Rate (20 bits), channels - 1 (3), bits per sample - 1 (5), frame count (36).
        const std::uint64_t packed = (std::uint64_t{aRate} << 44) | (std::uint64_t(aChannels - 1) << 41) | (std::uint64_t{15} << 36) |
                                     (aDeclaredFrames & 0xFFFFFFFFFull);
        for (int shift = 56; shift >= 0; shift -= 8)
        {
            bytes += static_cast<char>((packed >> shift) & 0xFF);
        }
        bytes += std::string(16, '\0'); // no checksum
        return bytes;
    }
}
