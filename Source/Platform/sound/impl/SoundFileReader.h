#pragma once
#include "sound/SoundTypes.h"
#include "sound/impl/Mixer.h"

#include <string>

namespace Platform::Sound::impl
{
    // Decodes a WAV, FLAC or Ogg Vorbis file into stereo samples with their guard frame: mono is
    // played on both sides, files with more channels keep their first two.
    Result ReadSoundFile(const std::string& aPath, bool aLooping, SampleData& someSamples);
}
