#pragma once
#include <cstdint>

// Block-by-block output of PCM sound, shaped like the old wave-out device interface: the caller
// prepares headers over its own blocks and writes them one after another. The device copies a
// block's bytes when it is written and plays them in order through SDL's audio queue, so a
// block may be refilled and written again at once.
namespace Platform::Audio
{
    constexpr std::uint16_t WAVE_FORMAT_PCM = 1;
    // The device the system picks (the only one there is).
    constexpr std::uint32_t WAVE_MAPPER = 0xFFFFFFFFu;
    constexpr std::uint32_t WAVE_FORMAT_DIRECT = 0x8;

    // Header flags the device sets.
    constexpr std::uint32_t WHDR_DONE = 0x1;     // every byte written with it has played
    constexpr std::uint32_t WHDR_PREPARED = 0x2;
    constexpr std::uint32_t WHDR_INQUEUE = 0x10; // written and not yet played

    struct WaveFormat
    {
        std::uint16_t myFormatTag = WAVE_FORMAT_PCM;
        std::uint16_t myChannels = 0;
        std::uint32_t mySamplesPerSec = 0;
        std::uint32_t myAvgBytesPerSec = 0;
        std::uint16_t myBlockAlign = 0;
        std::uint16_t myBitsPerSample = 0;
        std::uint16_t myExtraSize = 0;
    };

    struct WaveHeader
    {
        char* myData = nullptr;
        std::uint32_t myBufferLength = 0;
        std::uint32_t myBytesRecorded = 0;
        std::uintptr_t myUser = 0;
        std::uint32_t myFlags = 0;
        std::uint32_t myLoops = 0;
    };

    enum class WaveResult
    {
        Ok,
        BadDeviceId,
        NoDriver,       // no audio device could be opened
        InvalidHandle,  // null, closed or never opened
        InvalidParam,
        BadFormat,      // not 8- or 16-bit PCM, mono or stereo, with consistent sizes
        StillPlaying,   // the header or the device still has bytes to play
        Unprepared,
    };

    class WaveOutDevice;
    using WaveOutHandle = WaveOutDevice*;

    // Only WAVE_MAPPER or device 0; someFlags other than WAVE_FORMAT_DIRECT are ignored.
    WaveResult WaveOutOpen(WaveOutHandle* aHandle, std::uint32_t aDeviceId, const WaveFormat& aFormat, std::uint32_t someFlags);
    WaveResult WaveOutPrepareHeader(WaveOutHandle aHandle, WaveHeader* aHeader);
    WaveResult WaveOutWrite(WaveOutHandle aHandle, WaveHeader* aHeader);
    // Drops what has not played; every written header is done.
    WaveResult WaveOutReset(WaveOutHandle aHandle);
    WaveResult WaveOutUnprepareHeader(WaveOutHandle aHandle, WaveHeader* aHeader);
    // StillPlaying while written headers have not played; reset first.
    WaveResult WaveOutClose(WaveOutHandle aHandle);

    // What the device was given since it opened, and what of it still waits to play.
    struct WaveOutCounters
    {
        std::uint64_t myBytesWritten = 0;
        std::uint32_t myBlocksWritten = 0;
        std::uint32_t myBytesQueued = 0;
    };
    WaveResult WaveOutGetCounters(WaveOutHandle aHandle, WaveOutCounters* aCounters);
}
