#include "video/WaveOutPlayer.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace
{
    Platform::Audio::WaveFormat Stereo16()
    {
        Platform::Audio::WaveFormat format;
        format.myChannels = 2;
        format.mySamplesPerSec = 44100;
        format.myBitsPerSample = 16;
        format.myBlockAlign = 4;
        format.myAvgBytesPerSec = 44100 * 4;
        return format;
    }

    std::uint32_t BlocksWritten(const Vra::WaveOutPlayer& aPlayer)
    {
        Platform::Audio::WaveOutCounters counters;
        EXPECT_EQ(Platform::Audio::WaveOutGetCounters(aPlayer.GetDevice(), &counters), Platform::Audio::WaveResult::Ok);
        EXPECT_EQ(counters.myBytesWritten, counters.myBlocksWritten * 256ull);
        return counters.myBlocksWritten;
    }
}

TEST(WaveOutPlayer, WritesOnlyFullBlocksRoundTheRing)
{
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    Vra::WaveOutPlayer player(Stereo16(), 4, 256);
    ASSERT_NE(player.GetDevice(), nullptr);
    std::vector<std::uint8_t> bytes(2000);
    std::iota(bytes.begin(), bytes.end(), 0);

    struct Step
    {
        std::uint32_t myLength;
        std::uint32_t myBlocks;
        std::uint32_t myCurrent;
        std::uint32_t myFill;
    };
    // Lengths add up across calls: 100, 256, 412, 1536 and 1836 bytes in all.
    for (const Step& step : {Step{100, 0, 0, 100}, Step{156, 1, 1, 0}, Step{156, 1, 1, 156}, Step{1124, 6, 2, 0}, Step{300, 7, 3, 44}})
    {
        player.Write(bytes.data(), step.myLength);
        EXPECT_EQ(BlocksWritten(player), step.myBlocks) << step.myLength;
        EXPECT_EQ(player.GetCurrentBlock(), step.myCurrent) << step.myLength;
        EXPECT_EQ(player.GetCurrentBlockFill(), step.myFill) << step.myLength;
    }
}

TEST(WaveOutPlayer, WithoutADeviceWritesGoNowhere)
{
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
    Vra::WaveOutPlayer player(Stereo16(), 16, 4096);
    EXPECT_EQ(player.GetDevice(), nullptr);
    std::vector<std::uint8_t> bytes(10000, 7);
    player.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    EXPECT_EQ(player.GetCurrentBlock(), 2u);
    EXPECT_EQ(player.GetCurrentBlockFill(), 10000u - 2 * 4096);
}
