#include "video/WaveOutPlayer.h"

#include "Assert.h"

#include <algorithm>
#include <cstring>

namespace Vra
{
    using namespace Platform::Audio;

    WaveOutPlayer::WaveOutPlayer(const WaveFormat& aFormat, std::uint32_t aBlockCount, std::uint32_t aBlockSize)
        : myBlockCount(aBlockCount), myBlocks(aBlockCount)
    {
        CU_ASSERT(aBlockCount > 0 && aBlockSize > 0);
        WaveOutOpen(&myDevice, WAVE_MAPPER, aFormat, WAVE_FORMAT_DIRECT);
        for (Block& block : myBlocks)
        {
            block.myData.resize(aBlockSize);
            block.myHeader.myData = block.myData.data();
            block.myHeader.myBufferLength = aBlockSize;
            WaveOutPrepareHeader(myDevice, &block.myHeader);
        }
    }

    WaveOutPlayer::~WaveOutPlayer()
    {
        WaveOutReset(myDevice);
        for (Block& block : myBlocks)
        {
            WaveOutUnprepareHeader(myDevice, &block.myHeader);
        }
        WaveOutClose(myDevice);
    }

    void WaveOutPlayer::Write(const std::uint8_t* someBytes, std::uint32_t aLength)
    {
        while (aLength > 0)
        {
            Block& block = myBlocks[myCurrentBlock];
            const std::uint32_t space = block.myHeader.myBufferLength - block.myFilled;
            const std::uint32_t count = std::min(space, aLength);
            std::memcpy(block.myData.data() + block.myFilled, someBytes, count);
            block.myFilled += count;
            someBytes += count;
            aLength -= count;
            if (block.myFilled < block.myHeader.myBufferLength)
            {
                return; // later writes fill the rest
            }
            block.myFilled = 0;
            WaveOutWrite(myDevice, &block.myHeader);
            myCurrentBlock = (myCurrentBlock + 1) % myBlockCount;
        }
    }
}
