#include "sound/impl/DeviceOutput.h"

#include "sound/SoundTypes.h"
#include "sound/impl/Mixer.h"

#include <SDL.h>

#include <cstdio>

namespace Platform::Sound::impl
{
    namespace
    {
        void PullMix(void* aMixer, Uint8* aStream, int aLength)
        {
            const int frames = aLength / static_cast<int>(sizeof(float) * OUTPUT_CHANNELS);
            static_cast<Mixer*>(aMixer)->Mix(reinterpret_cast<float*>(aStream), frames);
        }
    }

    DeviceOutput::~DeviceOutput()
    {
        Close();
    }

    bool DeviceOutput::Open(Mixer& aMixer)
    {
        Close();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            std::fprintf(stderr, "Sound: no audio (%s); playing silently\n", SDL_GetError());
            return false;
        }
        myHasSubsystem = true;
        SDL_AudioSpec wanted{};
        wanted.freq = OUTPUT_RATE;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = OUTPUT_CHANNELS;
        wanted.samples = 1024;
        wanted.callback = PullMix;
        wanted.userdata = &aMixer;
        // No changes allowed: SDL converts to what the hardware takes.
        myDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (myDevice == 0)
        {
            std::fprintf(stderr, "Sound: no audio device (%s); playing silently\n", SDL_GetError());
            Close();
            return false;
        }
        SDL_PauseAudioDevice(myDevice, 0);
        return true;
    }

    void DeviceOutput::Close()
    {
        if (myDevice != 0)
        {
            SDL_CloseAudioDevice(myDevice);
            myDevice = 0;
        }
        if (myHasSubsystem)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            myHasSubsystem = false;
        }
    }
}
