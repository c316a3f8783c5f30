#include "audio/WaveOut.h"

#include "ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace Platform::Audio;

namespace
{
    WaveFormat Stereo16(std::uint32_t aRate = 44100)
    {
        WaveFormat format;
        format.myFormatTag = WAVE_FORMAT_PCM;
        format.myChannels = 2;
        format.mySamplesPerSec = aRate;
        format.myBitsPerSample = 16;
        format.myBlockAlign = 4;
        format.myAvgBytesPerSec = aRate * 4;
        return format;
    }

    // A device on SDL's dummy driver, which drains the queue in real time.
    class WaveOutTest : public ::testing::Test
    {
    protected:
        void SetUp() override { ASSERT_EQ(WaveOutOpen(&myDevice, WAVE_MAPPER, Stereo16(), WAVE_FORMAT_DIRECT), WaveResult::Ok); }

        void TearDown() override
        {
            WaveOutReset(myDevice);
            EXPECT_EQ(WaveOutClose(myDevice), WaveResult::Ok);
        }

        // The device keeps the header until it has played or is reset, so it lives as long as the test.
        WaveHeader& Header(std::size_t aLength)
        {
            myBytes.assign(aLength, 1);
            myHeader.myData = myBytes.data();
            myHeader.myBufferLength = static_cast<std::uint32_t>(aLength);
            return myHeader;
        }

        WaveOutCounters Counters() const
        {
            WaveOutCounters counters;
            EXPECT_EQ(WaveOutGetCounters(myDevice, &counters), WaveResult::Ok);
            return counters;
        }

        TestSupport::ScopedEnvironment myDriver{"SDL_AUDIODRIVER", "dummy"};
        WaveOutHandle myDevice = nullptr;
        std::vector<char> myBytes;
        WaveHeader myHeader;
    };
}

TEST(WaveOutFormat, OnlyConsistentPcmOpens)
{
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    auto with = [](auto aChange) {
        WaveFormat format = Stereo16();
        aChange(format);
        return format;
    };
    const WaveFormat bad[] = {
        with([](WaveFormat& aFormat) { aFormat.myFormatTag = 3; }),
        with([](WaveFormat& aFormat) { aFormat.myChannels = 6; aFormat.myBlockAlign = 12; aFormat.myAvgBytesPerSec = 44100 * 12; }),
        with([](WaveFormat& aFormat) { aFormat.myBitsPerSample = 24; aFormat.myBlockAlign = 6; aFormat.myAvgBytesPerSec = 44100 * 6; }),
        with([](WaveFormat& aFormat) { aFormat.myBlockAlign = 2; }),
        with([](WaveFormat& aFormat) { aFormat.myAvgBytesPerSec = 1; }),
        with([](WaveFormat& aFormat) { aFormat.mySamplesPerSec = 0; aFormat.myAvgBytesPerSec = 0; }),
    };
    for (const WaveFormat& format : bad)
    {
        WaveOutHandle device = reinterpret_cast<WaveOutHandle>(1);
        EXPECT_EQ(WaveOutOpen(&device, WAVE_MAPPER, format, 0), WaveResult::BadFormat);
        EXPECT_EQ(device, nullptr);
    }
    WaveOutHandle device = nullptr;
    EXPECT_EQ(WaveOutOpen(&device, 3, Stereo16(), 0), WaveResult::BadDeviceId);
    EXPECT_EQ(WaveOutOpen(&device, 0, Stereo16(22050), 0), WaveResult::Ok);
    EXPECT_EQ(WaveOutClose(device), WaveResult::Ok);
}

TEST_F(WaveOutTest, AWrittenBlockQueuesAndIsDoneOnceItHasPlayed)
{
    WaveHeader& header = Header(4410); // 25 ms
    EXPECT_EQ(WaveOutWrite(myDevice, &header), WaveResult::Unprepared);
    ASSERT_EQ(WaveOutPrepareHeader(myDevice, &header), WaveResult::Ok);
    EXPECT_EQ(header.myFlags, WHDR_PREPARED);
    ASSERT_EQ(WaveOutWrite(myDevice, &header), WaveResult::Ok);
    EXPECT_EQ(header.myFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_INQUEUE);
    EXPECT_EQ(Counters().myBytesWritten, 4410u);
    EXPECT_EQ(Counters().myBlocksWritten, 1u);
    EXPECT_EQ(WaveOutUnprepareHeader(myDevice, &header), WaveResult::StillPlaying);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while ((header.myFlags & WHDR_DONE) == 0 && std::chrono::steady_clock::now() < deadline)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Counters();
    }
    EXPECT_EQ(header.myFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
    EXPECT_EQ(Counters().myBytesQueued, 0u);
    EXPECT_EQ(WaveOutUnprepareHeader(myDevice, &header), WaveResult::Ok);
    EXPECT_EQ(header.myFlags & WHDR_PREPARED, 0u);
}

TEST_F(WaveOutTest, ABlockMayBeWrittenAgainBeforeItPlayed)
{
    WaveHeader& header = Header(44100 * 4); // a second, far longer than the test
    ASSERT_EQ(WaveOutPrepareHeader(myDevice, &header), WaveResult::Ok);
    ASSERT_EQ(WaveOutWrite(myDevice, &header), WaveResult::Ok);
    ASSERT_EQ(WaveOutWrite(myDevice, &header), WaveResult::Ok);
    const WaveOutCounters counters = Counters();
    EXPECT_EQ(counters.myBytesWritten, 2u * myBytes.size());
    EXPECT_EQ(counters.myBlocksWritten, 2u);
    EXPECT_GT(counters.myBytesQueued, myBytes.size());
}

TEST_F(WaveOutTest, ResetDropsWhatHasNotPlayedAndCloseWaitsForIt)
{
    WaveHeader& header = Header(44100 * 4);
    ASSERT_EQ(WaveOutPrepareHeader(myDevice, &header), WaveResult::Ok);
    ASSERT_EQ(WaveOutWrite(myDevice, &header), WaveResult::Ok);
    EXPECT_EQ(WaveOutClose(myDevice), WaveResult::StillPlaying);
    ASSERT_EQ(WaveOutReset(myDevice), WaveResult::Ok);
    EXPECT_EQ(header.myFlags & (WHDR_INQUEUE | WHDR_DONE), WHDR_DONE);
    EXPECT_EQ(Counters().myBytesQueued, 0u);
    EXPECT_EQ(WaveOutUnprepareHeader(myDevice, &header), WaveResult::Ok);
}

TEST(WaveOutHandles, NullAndClosedHandlesAreRefused)
{
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    WaveOutHandle device = nullptr;
    ASSERT_EQ(WaveOutOpen(&device, WAVE_MAPPER, Stereo16(), 0), WaveResult::Ok);
    ASSERT_EQ(WaveOutClose(device), WaveResult::Ok);
    std::vector<char> bytes(16);
    WaveHeader header;
    header.myData = bytes.data();
    header.myBufferLength = 16;
    for (WaveOutHandle handle : {device, static_cast<WaveOutHandle>(nullptr)})
    {
        EXPECT_EQ(WaveOutPrepareHeader(handle, &header), WaveResult::InvalidHandle);
        EXPECT_EQ(WaveOutWrite(handle, &header), WaveResult::InvalidHandle);
        EXPECT_EQ(WaveOutReset(handle), WaveResult::InvalidHandle);
        EXPECT_EQ(WaveOutUnprepareHeader(handle, &header), WaveResult::InvalidHandle);
        EXPECT_EQ(WaveOutClose(handle), WaveResult::InvalidHandle);
    }
}

TEST(WaveOutHandles, WithoutAnAudioDriverNoDeviceOpens)
{
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
    WaveOutHandle device = reinterpret_cast<WaveOutHandle>(1);
    EXPECT_EQ(WaveOutOpen(&device, WAVE_MAPPER, Stereo16(), 0), WaveResult::NoDriver);
    EXPECT_EQ(device, nullptr);
}
