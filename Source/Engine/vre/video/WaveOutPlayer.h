#pragma once
#include "audio/WaveOut.h"

#include <cstdint>
#include <vector>

namespace Vra
{
    // Writes a stream of PCM bytes to the wave-out device in fixed-size blocks: bytes collect in
    // the current block, and each full block is written and the next one taken, round the ring.
    // Without a device it writes nothing and the video plays on silently.
    class WaveOutPlayer
    {
    public:
        WaveOutPlayer(const Platform::Audio::WaveFormat& aFormat, std::uint32_t aBlockCount, std::uint32_t aBlockSize);
        ~WaveOutPlayer();
        WaveOutPlayer(const WaveOutPlayer&) = delete;
        WaveOutPlayer& operator=(const WaveOutPlayer&) = delete;

        void Write(const std::uint8_t* someBytes, std::uint32_t aLength);

        // Null when no device opened.
        Platform::Audio::WaveOutHandle GetDevice() const { return myDevice; }
        std::uint32_t GetCurrentBlock() const { return myCurrentBlock; }
        std::uint32_t GetCurrentBlockFill() const { return myBlocks[myCurrentBlock].myFilled; }

    private:
        struct Block
        {
            Platform::Audio::WaveHeader myHeader;
            std::vector<char> myData;
            std::uint32_t myFilled = 0;
        };

        Platform::Audio::WaveOutHandle myDevice = nullptr;
        std::uint32_t myBlockCount;
        std::uint32_t myCurrentBlock = 0;
        std::vector<Block> myBlocks;
    };
}
