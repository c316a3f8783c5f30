// libFuzzer target: any bytes as a sound file, through the reader the sound system decodes with:
// the header check, then the whole decode as a one-shot and as a loop. A decoded sound always
// holds at least one frame and the guard frame after its last.
#include "FuzzSupport.h"

#include "sound/impl/SoundFileReader.h"

#include <atomic>
#include <cstring>
#include <memory>

namespace
{
    using Platform::Sound::impl::SampleData;
    using Platform::Sound::impl::SoundFile;

    bool SameBits(const float* aFrame, const float* anOther)
    {
        return std::memcmp(aFrame, anOther, 2 * sizeof(float)) == 0;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static FuzzSupport::MemoryFile file;
    const std::string& path = file.Write(someData, aSize);
    const std::atomic<bool> keepGoing{false};
    for (const bool isLooping : {false, true})
    {
        std::unique_ptr<SoundFile> sound;
        if (SoundFile::Open(path, sound) != Platform::Sound::Result::Ok)
        {
            return 0;
        }
        SampleData samples;
        samples.myIsLooping = isLooping;
        sound->Decode(samples, keepGoing);
        const float* frames = samples.myFrames.get();
        if (frames == nullptr || samples.myFrameCount < 1)
        {
            std::abort();
        }
        const float* guard = frames + 2 * static_cast<std::size_t>(samples.myFrameCount);
        const float silence[2] = {0.0f, 0.0f};
        if (!SameBits(guard, isLooping ? frames : silence))
        {
            std::abort();
        }
    }
    return 0;
}
