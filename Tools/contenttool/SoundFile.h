#pragma once
#include "Synth.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace ContentTool
{
    // Encodes aBuffer as Ogg Vorbis at 48 kHz (aQuality 0..1); written under a temporary name
    // and renamed, so a reader never sees half a file.
    void WriteOggVorbis(const std::filesystem::path& aPath, const AudioBuffer& aBuffer, double aQuality);

    struct DecodedSound
    {
        int myChannels = 0;
        int mySampleRate = 0;
        std::vector<float> mySamples; // interleaved
    };
    // Any file libsndfile reads; nothing when it cannot be opened or decoded.
    std::optional<DecodedSound> ReadSoundFile(const std::filesystem::path& aPath);
}
