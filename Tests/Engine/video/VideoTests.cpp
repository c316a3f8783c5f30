#include "video/Video.h"
#include "video/VideoDecoder.h"
#include "video/WaveOutPlayer.h"

#include "EngineTestSupport.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"
#include "VideoTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
    using EngineTestSupport::Image;

    // frames.mp4 and frames_silent.mp4: 80x46 at 10 frames per second, 12 frames, frame n flat
    // grey at luma 16 + 18 n, which RGB shows as 18 n * 255 / 219.
    constexpr int FRAME_COUNT = 12;
    constexpr float FRAME_PERIOD = 0.1f;
    constexpr std::uint32_t WIDTH = 80;
    constexpr std::uint32_t HEIGHT = 46;

    std::string Path(const char* aName)
    {
        return VideoTestFiles::File(aName).string();
    }

    Image TextureOf(const Vra::Video& aVideo)
    {
        return Image(aVideo.GetTexture()->mySRV->GetTexture2D());
    }

    // Which frame the picture shows, from the grey of its centre.
    int FrameShown(const Vra::Video& aVideo)
    {
        const EngineTestSupport::Pixel pixel = TextureOf(aVideo).At(WIDTH / 2, HEIGHT / 2);
        return static_cast<int>(std::lround(pixel.r / (18.0 * 255.0 / 219.0)));
    }

    class VideoTest : public EngineTestSupport::EngineTest
    {
    };
}

TEST(VideoTextureSize, IsTheNextPowerOfTwo)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {
        {1, 1}, {2, 2}, {3, 4}, {46, 64}, {80, 128}, {720, 1024}, {1080, 2048}, {1280, 2048}, {1920, 2048}, {2048, 2048}, {2049, 4096}};
    for (const auto& [size, expected] : cases)
    {
        EXPECT_EQ(Vra::Video::TextureSizeFor(size), expected) << size;
    }
}

TEST_F(VideoTest, InitMakesAPowerOfTwoTextureWithThePictureTopLeftAndTheRestZero)
{
    Vra::Video video;
    ASSERT_TRUE(video.Init(Path("frames_silent.mp4").c_str(), false));
    EXPECT_EQ(video.GetVideoSize(), (Vra::Vector2<std::uint32_t>{WIDTH, HEIGHT}));
    EXPECT_EQ(video.GetTextureSize(), (Vra::Vector2<std::uint32_t>{128, 64}));
    EXPECT_EQ(video.GetStatus(), Vra::Video::STATUS_PLAYING);
    ASSERT_NE(video.GetTexture(), nullptr);
    EXPECT_EQ(video.GetTexture()->GetSize(), (Vra::Vector2<std::uint32_t>{128, 64}));
    EXPECT_EQ(video.GetTexture()->mySRV->GetTexture2D()->GetDesc().myFormat, Platform::Gpu::Format::R8G8B8A8_UNORM_SRGB);

    const Image image = TextureOf(video);
    for (std::uint32_t y = 0; y < 64; ++y)
    {
        for (std::uint32_t x = 0; x < 128; ++x)
        {
            const EngineTestSupport::Pixel pixel = image.At(x, y);
            if (x < WIDTH && y < HEIGHT)
            {
                // The first frame is black, opaque.
                ASSERT_LE(pixel.r, 3) << x << ", " << y;
                ASSERT_EQ(pixel.a, 255) << x << ", " << y;
            }
            else
            {
                ASSERT_EQ(pixel.r + pixel.g + pixel.b + pixel.a, 0) << x << ", " << y;
            }
        }
    }
}

TEST_F(VideoTest, UpdateCopiesOnePicturePerElapsedFramePeriod)
{
    Vra::Video video;
    ASSERT_TRUE(video.Init(Path("frames_silent.mp4").c_str(), false));
    EXPECT_EQ(FrameShown(video), 0);
    const std::uint32_t shownAtInit = video.GetPicturesShown();

    video.Update(1.0f);
    EXPECT_EQ(video.GetPicturesShown(), shownAtInit) << "not playing yet";

    video.Play(false);
    video.Update(FRAME_PERIOD * 0.5f);
    EXPECT_EQ(video.GetPicturesShown(), shownAtInit);
    EXPECT_EQ(FrameShown(video), 0);

    video.Update(FRAME_PERIOD * 0.5f);
    EXPECT_EQ(video.GetPicturesShown(), shownAtInit + 1);
    EXPECT_EQ(FrameShown(video), 1);

    video.Update(FRAME_PERIOD * 3.0f);
    EXPECT_EQ(video.GetPicturesShown(), shownAtInit + 4);
    EXPECT_EQ(FrameShown(video), 4);
}

TEST_F(VideoTest, EveryFrameShowsInOrderAndTheEndSetsFinished)
{
    Vra::Video video;
    ASSERT_TRUE(video.Init(Path("frames_silent.mp4").c_str(), false));
    video.Play(false);
    for (int frame = 1; frame < FRAME_COUNT; ++frame)
    {
        video.Update(FRAME_PERIOD);
        EXPECT_EQ(FrameShown(video), frame);
        EXPECT_EQ(video.GetStatus(), Vra::Video::STATUS_PLAYING) << frame;
    }
    video.Update(FRAME_PERIOD);
    EXPECT_EQ(video.GetStatus(), Vra::Video::STATUS_FINISHED);
    EXPECT_EQ(FrameShown(video), FRAME_COUNT - 1) << "the last picture stays";
    video.Update(FRAME_PERIOD * 5.0f);
    EXPECT_EQ(FrameShown(video), FRAME_COUNT - 1);
}

TEST_F(VideoTest, ALoopingVideoStartsAgainFromItsFirstFrame)
{
    Vra::Video video;
    ASSERT_TRUE(video.Init(Path("frames.mp4").c_str(), false));
    video.Play(true);
    for (int frame = 1; frame <= FRAME_COUNT; ++frame)
    {
        video.Update(FRAME_PERIOD);
    }
    EXPECT_EQ(video.GetStatus(), Vra::Video::STATUS_FINISHED);
    for (int frame = 0; frame < 3; ++frame)
    {
        video.Update(FRAME_PERIOD);
        EXPECT_EQ(FrameShown(video), frame);
    }
    EXPECT_EQ(video.GetStatus(), Vra::Video::STATUS_FINISHED) << "stays finished while it loops";
    EXPECT_TRUE(video.IsLooping());
}

TEST_F(VideoTest, InitOnlyOnce)
{
    Vra::Video video;
    EXPECT_EQ(video.GetStatus(), 0);
    ASSERT_TRUE(video.Init(Path("frames_silent.mp4").c_str(), false));
    EXPECT_FALSE(video.Init(Path("frames_silent.mp4").c_str(), false));
}

TEST_F(VideoTest, MissingGarbageAndPicturelessFilesFailInit)
{
    TestSupport::TemporaryFolder folder;
    const std::string garbage = folder.Write("garbage.mp4", std::string(5000, 'x')).string();
    // The index survives, the pictures do not: the header opens, no packet reads.
    const std::string bytes = TestSupport::ReadFileBytes(VideoTestFiles::File("frames_silent.mp4"));
    const std::size_t pictures = bytes.find("mdat", bytes.find("moov"));
    ASSERT_NE(pictures, std::string::npos);
    const std::string pictureless = folder.Write("pictureless.mp4", bytes.substr(0, pictures + 4)).string();

    struct Case
    {
        std::string myPath;
        int myOpen;
    };
    for (const Case& test : {Case{(folder.Path() / "missing.mp4").string(), Vra::VideoDecoder::OPEN_UNREADABLE},
                             Case{folder.Path().string(), Vra::VideoDecoder::OPEN_FAILURE},
                             Case{garbage, Vra::VideoDecoder::OPEN_FAILURE}, Case{pictureless, Vra::VideoDecoder::OPEN_SUCCESS}})
    {
        Vra::VideoDecoder decoder;
        EXPECT_EQ(decoder.Open(test.myPath.c_str(), false), test.myOpen) << test.myPath;
        Vra::Video video;
        EXPECT_FALSE(video.Init(test.myPath.c_str(), false)) << test.myPath;
        EXPECT_EQ(video.GetTexture(), nullptr) << test.myPath;
        video.Play(false);
        video.Update(1.0f);
        EXPECT_EQ(video.GetPicturesShown(), 0u) << test.myPath;
    }

    Vra::VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(pictureless.c_str(), false), Vra::VideoDecoder::OPEN_SUCCESS);
    EXPECT_LT(decoder.DecodeFrame(), 0);
    EXPECT_EQ(decoder.GetPictureWidth(), 0u);
    EXPECT_FALSE(decoder.CopyFrameTo(nullptr, 0, 0));
}

// 16400 pixels wide asks for a 32768 texture, twice the largest the device makes.
TEST_F(VideoTest, APicturePastTheTextureLimitFailsInitWithAMessage)
{
    Vra::Video video;
    ::testing::internal::CaptureStdout();
    const bool started = video.Init(Path("wide_16400.mkv").c_str(), false);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(started);
    EXPECT_EQ(video.GetVideoSize(), (Vra::Vector2<std::uint32_t>{16400, 8}));
    EXPECT_EQ(printed, "Failed to create a 32768 x 8 texture for the video " + Path("wide_16400.mkv") + " (16400 x 8)\n");
    EXPECT_EQ(video.GetTexture(), nullptr);
    EXPECT_EQ(video.GetStatus(), 0);
    video.Play(false);
    video.Update(1.0f);
    EXPECT_EQ(video.GetPicturesShown(), 0u);
    EXPECT_FALSE(video.Init(Path("frames_silent.mp4").c_str(), false)) << "Init still counts once";
}

TEST_F(VideoTest, TheSoundTrackReachesTheWaveOutDeviceAsFullBlocks)
{
    Vra::Video video;
    ASSERT_TRUE(video.Init(Path("frames.mp4").c_str(), true));
    video.Play(false);
    while (video.GetStatus() != Vra::Video::STATUS_FINISHED)
    {
        video.Update(FRAME_PERIOD);
    }
    const Vra::WaveOutPlayer* player = video.GetDecoder()->GetAudioPlayer();
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->GetDevice(), nullptr) << "the dummy audio driver opens a device";
    Platform::Audio::WaveOutCounters counters;
    ASSERT_EQ(Platform::Audio::WaveOutGetCounters(player->GetDevice(), &counters), Platform::Audio::WaveResult::Ok);
    // 1.2 s of 16-bit stereo at 44.1 kHz, less the part-filled last block.
    const double expected = 1.2 * 44100 * 4;
    EXPECT_EQ(counters.myBytesWritten % 4096, 0u);
    EXPECT_EQ(counters.myBytesWritten, counters.myBlocksWritten * 4096ull);
    EXPECT_GT(static_cast<double>(counters.myBytesWritten), expected - 2 * 4096);
    EXPECT_LE(static_cast<double>(counters.myBytesWritten), expected + 4096);
}

TEST_F(VideoTest, WithoutTheSoundFlagNoPlayerIsMade)
{
    Vra::VideoDecoder decoder;
    ASSERT_EQ(decoder.Open(Path("frames.mp4").c_str(), false), Vra::VideoDecoder::OPEN_SUCCESS);
    while (decoder.DecodeFrame() >= 0)
    {
    }
    EXPECT_EQ(decoder.GetAudioPlayer(), nullptr);
    EXPECT_DOUBLE_EQ(decoder.GetFrameRate(), 10.0);
}
