#include "audio/WaveOut.h"

#include <SDL.h>

#include <algorithm>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace Platform::Audio
{
    class WaveOutDevice
    {
    public:
        struct Pending
        {
            WaveHeader* myHeader;
            std::uint64_t myEnd; // byte position at which the header's last write has played
        };

        SDL_AudioDeviceID myDevice = 0;
        std::uint64_t myBytesWritten = 0;
        std::uint32_t myBlocksWritten = 0;
        std::vector<Pending> myPending;

        std::uint32_t QueuedBytes() const { return SDL_GetQueuedAudioSize(myDevice); }

        // Marks the headers whose bytes have all played as done.
        void Refresh()
        {
            const std::uint64_t played = myBytesWritten - QueuedBytes();
            std::erase_if(myPending, [played](const Pending& aPending) {
                if (aPending.myEnd > played)
                {
                    return false;
                }
                aPending.myHeader->myFlags = (aPending.myHeader->myFlags & ~WHDR_INQUEUE) | WHDR_DONE;
                return true;
            });
        }
    };

    namespace
    {
        // Handles are checked against the open devices, so a stale one is refused, not followed.
        std::mutex ourDevicesMutex;
        std::unordered_set<WaveOutDevice*> ourDevices;

        bool IsOpen(WaveOutHandle aHandle)
        {
            const std::lock_guard<std::mutex> lock(ourDevicesMutex);
            return aHandle != nullptr && ourDevices.count(aHandle) != 0;
        }

        bool IsValid(const WaveFormat& aFormat)
        {
            const bool pcm = aFormat.myFormatTag == WAVE_FORMAT_PCM && (aFormat.myChannels == 1 || aFormat.myChannels == 2) &&
                             (aFormat.myBitsPerSample == 8 || aFormat.myBitsPerSample == 16) &&
                             aFormat.mySamplesPerSec >= 1000 && aFormat.mySamplesPerSec <= 192000;
            return pcm && aFormat.myBlockAlign == aFormat.myChannels * aFormat.myBitsPerSample / 8 &&
                   aFormat.myAvgBytesPerSec == aFormat.mySamplesPerSec * aFormat.myBlockAlign;
        }

        bool IsPending(const WaveOutDevice& aDevice, const WaveHeader* aHeader)
        {
            return std::any_of(aDevice.myPending.begin(), aDevice.myPending.end(),
                               [aHeader](const WaveOutDevice::Pending& aPending) { return aPending.myHeader == aHeader; });
        }
    }

    WaveResult WaveOutOpen(WaveOutHandle* aHandle, std::uint32_t aDeviceId, const WaveFormat& aFormat, std::uint32_t)
    {
        if (aHandle == nullptr)
        {
            return WaveResult::InvalidParam;
        }
        *aHandle = nullptr;
        if (aDeviceId != WAVE_MAPPER && aDeviceId != 0)
        {
            return WaveResult::BadDeviceId;
        }
        if (!IsValid(aFormat))
        {
            return WaveResult::BadFormat;
        }
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        {
            return WaveResult::NoDriver;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(aFormat.mySamplesPerSec);
        wanted.format = aFormat.myBitsPerSample == 16 ? AUDIO_S16LSB : AUDIO_U8;
        wanted.channels = static_cast<Uint8>(aFormat.myChannels);
        wanted.samples = 1024;
        // No callback: the device drains the queue that the writes fill.
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device == 0)
        {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return WaveResult::NoDriver;
        }
        SDL_PauseAudioDevice(device, 0);
        auto* opened = new WaveOutDevice();
        opened->myDevice = device;
        {
            const std::lock_guard<std::mutex> lock(ourDevicesMutex);
            ourDevices.insert(opened);
        }
        *aHandle = opened;
        return WaveResult::Ok;
    }

    WaveResult WaveOutPrepareHeader(WaveOutHandle aHandle, WaveHeader* aHeader)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        if (aHeader == nullptr || aHeader->myData == nullptr)
        {
            return WaveResult::InvalidParam;
        }
        aHeader->myFlags = (aHeader->myFlags & ~WHDR_DONE) | WHDR_PREPARED;
        return WaveResult::Ok;
    }

    WaveResult WaveOutWrite(WaveOutHandle aHandle, WaveHeader* aHeader)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        if (aHeader == nullptr || aHeader->myData == nullptr)
        {
            return WaveResult::InvalidParam;
        }
        if ((aHeader->myFlags & WHDR_PREPARED) == 0)
        {
            return WaveResult::Unprepared;
        }
        WaveOutDevice& device = *aHandle;
        device.Refresh();
        if (SDL_QueueAudio(device.myDevice, aHeader->myData, aHeader->myBufferLength) != 0)
        {
            return WaveResult::NoDriver;
        }
        device.myBytesWritten += aHeader->myBufferLength;
        ++device.myBlocksWritten;
        std::erase_if(device.myPending, [aHeader](const WaveOutDevice::Pending& aPending) { return aPending.myHeader == aHeader; });
        device.myPending.push_back({aHeader, device.myBytesWritten});
        aHeader->myFlags = (aHeader->myFlags & ~WHDR_DONE) | WHDR_INQUEUE;
        return WaveResult::Ok;
    }

    WaveResult WaveOutReset(WaveOutHandle aHandle)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        WaveOutDevice& device = *aHandle;
        SDL_ClearQueuedAudio(device.myDevice);
        for (const WaveOutDevice::Pending& pending : device.myPending)
        {
            pending.myHeader->myFlags = (pending.myHeader->myFlags & ~WHDR_INQUEUE) | WHDR_DONE;
        }
        device.myPending.clear();
        return WaveResult::Ok;
    }

    WaveResult WaveOutUnprepareHeader(WaveOutHandle aHandle, WaveHeader* aHeader)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        if (aHeader == nullptr)
        {
            return WaveResult::InvalidParam;
        }
        aHandle->Refresh();
        if (IsPending(*aHandle, aHeader))
        {
            return WaveResult::StillPlaying;
        }
        aHeader->myFlags &= ~WHDR_PREPARED;
        return WaveResult::Ok;
    }

    WaveResult WaveOutClose(WaveOutHandle aHandle)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        aHandle->Refresh();
        if (!aHandle->myPending.empty())
        {
            return WaveResult::StillPlaying;
        }
        {
            const std::lock_guard<std::mutex> lock(ourDevicesMutex);
            ourDevices.erase(aHandle);
        }
        SDL_CloseAudioDevice(aHandle->myDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        delete aHandle;
        return WaveResult::Ok;
    }

    WaveResult WaveOutGetCounters(WaveOutHandle aHandle, WaveOutCounters* aCounters)
    {
        if (!IsOpen(aHandle))
        {
            return WaveResult::InvalidHandle;
        }
        if (aCounters == nullptr)
        {
            return WaveResult::InvalidParam;
        }
        aHandle->Refresh();
        aCounters->myBytesWritten = aHandle->myBytesWritten;
        aCounters->myBlocksWritten = aHandle->myBlocksWritten;
        aCounters->myBytesQueued = aHandle->QueuedBytes();
        return WaveResult::Ok;
    }
}
