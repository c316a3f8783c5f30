#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/Sound.h"
#include "sound/System.h"

#include "AddressSpaceCeiling.h"
#include "BadInputFiles.h"
#include "FileBytes.h"
#include "SoundFiles.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace Platform::Sound;

namespace
{
    // A system that mixes into memory, with sound files written on demand.
    class MixerTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_EQ(System::Create(&mySystem, HEADER_VERSION), Result::Ok);
            ASSERT_EQ(mySystem->SetOutput(OutputType::Memory), Result::Ok);
            ASSERT_EQ(mySystem->Init(512, INIT_NORMAL, nullptr), Result::Ok);
            ASSERT_EQ(mySystem->GetMasterChannelGroup(&myMaster), Result::Ok);
        }

        void TearDown() override
        {
            if (mySystem != nullptr)
            {
                mySystem->Release();
            }
        }

        Sound* MakeSound(const std::vector<float>& someSamples, Mode aMode = MODE_DEFAULT, int aChannels = 1, int aRate = 48000)
        {
            const std::string path = (myFolder.Path() / ("sound" + std::to_string(myFileCount++) + ".wav")).string();
            EXPECT_TRUE(SoundFiles::Write(path, someSamples, aChannels, aRate));
            Sound* sound = nullptr;
            EXPECT_EQ(mySystem->CreateSound(path.c_str(), aMode, nullptr, &sound), Result::Ok);
            return sound;
        }

        Channel PlayNow(Sound* aSound)
        {
            Channel channel;
            EXPECT_EQ(mySystem->PlaySound(aSound, nullptr, false, &channel), Result::Ok);
            return channel;
        }

        // The next frames of the mix, interleaved stereo.
        std::vector<float> Render(int aFrameCount)
        {
            std::vector<float> frames(static_cast<std::size_t>(aFrameCount) * 2, -99.0f);
            EXPECT_EQ(mySystem->Render(frames.data(), aFrameCount), Result::Ok);
            return frames;
        }

        static std::vector<float> Left(const std::vector<float>& someFrames)
        {
            std::vector<float> left;
            for (std::size_t i = 0; i < someFrames.size(); i += 2)
            {
                left.push_back(someFrames[i]);
            }
            return left;
        }

        Dsp* MakeEcho(float aDelayMs, float aFeedback, float aDry, float aWet)
        {
            Dsp* echo = nullptr;
            EXPECT_EQ(mySystem->CreateDspByType(DspType::Echo, &echo), Result::Ok);
            EXPECT_EQ(echo->SetParameterFloat(ECHO_DELAY, aDelayMs), Result::Ok);
            EXPECT_EQ(echo->SetParameterFloat(ECHO_FEEDBACK, aFeedback), Result::Ok);
            EXPECT_EQ(echo->SetParameterFloat(ECHO_DRYLEVEL, aDry), Result::Ok);
            EXPECT_EQ(echo->SetParameterFloat(ECHO_WETLEVEL, aWet), Result::Ok);
            return echo;
        }

        static bool IsPlaying(const Channel& aChannel)
        {
            bool playing = true;
            aChannel.IsPlaying(&playing);
            return playing;
        }

        int ChannelsPlaying() const
        {
            int count = -1;
            EXPECT_EQ(mySystem->GetChannelsPlaying(&count), Result::Ok);
            return count;
        }

        TestSupport::TemporaryFolder myFolder;
        int myFileCount = 0;
        System* mySystem = nullptr;
        ChannelGroup* myMaster = nullptr;
    };

    float DecibelsToGain(float aDecibels)
    {
        return std::pow(10.0f, aDecibels / 20.0f);
    }

    class MixerVolumeTest : public MixerTest, public ::testing::WithParamInterface<float>
    {
    };
}

TEST_P(MixerVolumeTest, ScalesEverySampleOnBothSides)
{
    const std::vector<float> noise = SoundFiles::Noise(1000);
    const Channel channel = PlayNow(MakeSound(noise));
    ASSERT_EQ(channel.SetVolume(GetParam()), Result::Ok);
    const std::vector<float> mix = Render(1000);
    for (int i = 0; i < 1000; ++i)
    {
        ASSERT_FLOAT_EQ(mix[2 * i], GetParam() * noise[i]) << "frame " << i;
        ASSERT_FLOAT_EQ(mix[2 * i + 1], GetParam() * noise[i]) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Volumes, MixerVolumeTest, ::testing::Values(1.0f, 0.5f, 0.25f, 0.0f));

TEST_F(MixerTest, StereoFilesKeepTheirSidesAndMonoPlaysOnBoth)
{
    const std::vector<float> stereo = {0.1f, -0.2f, 0.3f, -0.4f, 0.5f, -0.6f};
    PlayNow(MakeSound(stereo, MODE_DEFAULT, 2));
    const std::vector<float> mix = Render(3);
    for (std::size_t i = 0; i < stereo.size(); ++i)
    {
        EXPECT_FLOAT_EQ(mix[i], stereo[i]);
    }
}

TEST_F(MixerTest, PitchTwoPlaysTwiceAsFastAndEndsHalfwayThrough)
{
    const std::vector<float> noise = SoundFiles::Noise(1000);
    const Channel channel = PlayNow(MakeSound(noise));
    ASSERT_EQ(channel.SetPitch(2.0f), Result::Ok);
    const std::vector<float> mix = Left(Render(600));
    for (int i = 0; i < 500; ++i)
    {
        ASSERT_FLOAT_EQ(mix[i], noise[2 * i]) << "frame " << i;
    }
    for (int i = 500; i < 600; ++i)
    {
        ASSERT_EQ(mix[i], 0.0f) << "frame " << i;
    }
    EXPECT_FALSE(IsPlaying(channel));
}

// Half speed either way: pitch 0.5, or a file at half the output rate.
TEST_F(MixerTest, HalfSpeedInterpolatesBetweenSourceFrames)
{
    const std::vector<float> noise = SoundFiles::Noise(300);
    struct Case
    {
        float myPitch;
        int myRate;
    };
    for (const Case& test : {Case{0.5f, 48000}, Case{1.0f, 24000}})
    {
        SCOPED_TRACE(::testing::Message() << "pitch " << test.myPitch << ", " << test.myRate << " Hz");
        const Channel channel = PlayNow(MakeSound(noise, MODE_DEFAULT, 1, test.myRate));
        ASSERT_EQ(channel.SetPitch(test.myPitch), Result::Ok);
        const std::vector<float> mix = Left(Render(600));
        for (int i = 0; i < 299; ++i)
        {
            ASSERT_FLOAT_EQ(mix[2 * i], noise[i]);
            ASSERT_NEAR(mix[2 * i + 1], 0.5f * (noise[i] + noise[i + 1]), 1e-6f);
        }
        EXPECT_FALSE(IsPlaying(channel)) << "300 source frames last 600 output frames";
    }
}

TEST_F(MixerTest, PauseHoldsThePosition)
{
    const std::vector<float> noise = SoundFiles::Noise(1000);
    const Channel channel = PlayNow(MakeSound(noise));
    Render(100);
    ASSERT_EQ(channel.SetPaused(true), Result::Ok);
    const std::vector<float> paused = Render(200);
    for (float sample : paused)
    {
        ASSERT_EQ(sample, 0.0f);
    }
    bool isPaused = false;
    EXPECT_EQ(channel.GetPaused(&isPaused), Result::Ok);
    EXPECT_TRUE(isPaused);
    EXPECT_TRUE(IsPlaying(channel));
    ASSERT_EQ(channel.SetPaused(false), Result::Ok);
    const std::vector<float> resumed = Left(Render(100));
    for (int i = 0; i < 100; ++i)
    {
        ASSERT_FLOAT_EQ(resumed[i], noise[100 + i]);
    }
}

TEST_F(MixerTest, AStoppedChannelIsStaleAndTouchesNoOtherChannel)
{
    Sound* sound = MakeSound(SoundFiles::Noise(1000));
    const Channel first = PlayNow(sound);
    ASSERT_EQ(first.Stop(), Result::Ok);
    // The freed voice plays the next sound; the old handle must not reach it.
    const Channel second = PlayNow(sound);
    EXPECT_EQ(first.SetVolume(0.0f), Result::InvalidHandle);
    EXPECT_EQ(first.SetPitch(2.0f), Result::InvalidHandle);
    EXPECT_EQ(first.SetPaused(true), Result::InvalidHandle);
    EXPECT_EQ(first.Stop(), Result::InvalidHandle);
    float volume = 7.0f;
    EXPECT_EQ(first.GetVolume(&volume), Result::InvalidHandle);
    EXPECT_EQ(volume, 7.0f);
    bool playing = true;
    EXPECT_EQ(first.IsPlaying(&playing), Result::InvalidHandle);
    EXPECT_FALSE(playing);

    EXPECT_EQ(second.GetVolume(&volume), Result::Ok);
    EXPECT_EQ(volume, 1.0f);
    float pitch = 0.0f;
    EXPECT_EQ(second.GetPitch(&pitch), Result::Ok);
    EXPECT_EQ(pitch, 1.0f);
    EXPECT_TRUE(IsPlaying(second));
    EXPECT_EQ(ChannelsPlaying(), 1);
}

TEST_F(MixerTest, AOneShotThatEndsMakesItsHandleStale)
{
    const Channel channel = PlayNow(MakeSound(SoundFiles::Noise(300)));
    Render(299);
    EXPECT_TRUE(IsPlaying(channel));
    Render(1);
    EXPECT_FALSE(IsPlaying(channel));
    EXPECT_EQ(channel.SetVolume(0.5f), Result::InvalidHandle);
    EXPECT_EQ(ChannelsPlaying(), 0);
}

TEST_F(MixerTest, ANullChannelIsStale)
{
    const Channel channel;
    EXPECT_TRUE(channel.IsNull());
    EXPECT_EQ(channel.SetVolume(1.0f), Result::InvalidHandle);
    EXPECT_EQ(channel.Stop(), Result::InvalidHandle);
}

TEST_F(MixerTest, ALoopingSoundLoopsSeamlessly)
{
    const std::vector<float> noise = SoundFiles::Noise(300);
    const Channel channel = PlayNow(MakeSound(noise, MODE_LOOP_NORMAL));
    const std::vector<float> mix = Left(Render(1000));
    for (int i = 0; i < 1000; ++i)
    {
        ASSERT_FLOAT_EQ(mix[i], noise[i % 300]) << "frame " << i;
    }
    EXPECT_TRUE(IsPlaying(channel));
}

TEST_F(MixerTest, ALoopInterpolatesAcrossItsEndIntoItsStart)
{
    const std::vector<float> noise = SoundFiles::Noise(101);
    const Channel channel = PlayNow(MakeSound(noise, MODE_LOOP_NORMAL));
    ASSERT_EQ(channel.SetPitch(1.5f), Result::Ok);
    const std::vector<float> mix = Left(Render(700));
    for (int i = 0; i < 700; ++i)
    {
        const double position = std::fmod(1.5 * i, 101.0);
        const int index = static_cast<int>(position);
        const double fraction = position - index;
        const double expected = noise[index] + fraction * (noise[(index + 1) % 101] - noise[index]);
        ASSERT_NEAR(mix[i], expected, 1e-5) << "frame " << i;
    }
}

TEST_F(MixerTest, EchoRepeatsAtTheDelayWithFeedbackAndLevels)
{
    struct Case
    {
        float myDelayMs;
        float myFeedback;
        float myDry;
        float myWet;
    };
    for (const Case& test : {Case{10.0f, 50.0f, 0.0f, -6.0f}, Case{5.0f, 25.0f, -3.0f, 0.0f}, Case{20.0f, 0.0f, -80.0f, 6.0f}})
    {
        SCOPED_TRACE(::testing::Message() << "delay " << test.myDelayMs << " feedback " << test.myFeedback);
        const int delay = static_cast<int>(test.myDelayMs * 48);
        const Channel channel = PlayNow(MakeSound(SoundFiles::Impulse(5 * delay + 10)));
        Dsp* echo = MakeEcho(test.myDelayMs, test.myFeedback, test.myDry, test.myWet);
        ASSERT_EQ(channel.AddDsp(0, echo), Result::Ok);
        const std::vector<float> mix = Left(Render(4 * delay + 10));
        const float dry = test.myDry <= -80.0f ? 0.0f : DecibelsToGain(test.myDry);
        const float wet = DecibelsToGain(test.myWet);
        const float feedback = test.myFeedback / 100.0f;
        for (int i = 0; i < 4 * delay + 10; ++i)
        {
            float expected = 0.0f;
            if (i == 0)
            {
                expected = dry;
            }
            else if (i % delay == 0)
            {
                expected = wet * std::pow(feedback, static_cast<float>(i / delay - 1));
            }
            ASSERT_NEAR(mix[i], expected, 1e-6f) << "frame " << i;
        }
        channel.Stop();
        echo->Release();
    }
}

TEST_F(MixerTest, TheMasterEchoAffectsEveryChannel)
{
    Dsp* echo = MakeEcho(10.0f, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(myMaster->AddDsp(0, echo), Result::Ok);
    Sound* impulse = MakeSound(SoundFiles::Impulse(2000, 0.5f));
    PlayNow(impulse);
    Render(100);
    const Channel second = PlayNow(impulse);
    ASSERT_EQ(second.SetVolume(0.5f), Result::Ok);
    const std::vector<float> mix = Left(Render(1000));
    // Frame k of this render is frame k + 100 of the first channel's sound.
    EXPECT_FLOAT_EQ(mix[0], 0.25f);   // second channel, dry
    EXPECT_FLOAT_EQ(mix[380], 0.5f);  // first channel's echo, 480 frames after its start
    EXPECT_FLOAT_EQ(mix[480], 0.25f); // second channel's echo
    float rest = 0.0f;
    for (int i = 0; i < 1000; ++i)
    {
        if (i != 0 && i != 380 && i != 480)
        {
            rest += std::fabs(mix[i]);
        }
    }
    EXPECT_EQ(rest, 0.0f);
}

TEST_F(MixerTest, MasterVolumeAndPauseApplyToTheWholeMix)
{
    const std::vector<float> noise = SoundFiles::Noise(500);
    PlayNow(MakeSound(noise));
    ASSERT_EQ(myMaster->SetVolume(0.5f), Result::Ok);
    const std::vector<float> half = Left(Render(100));
    ASSERT_EQ(myMaster->SetPaused(true), Result::Ok);
    const std::vector<float> paused = Left(Render(100));
    ASSERT_EQ(myMaster->SetPaused(false), Result::Ok);
    const std::vector<float> resumed = Left(Render(100));
    for (int i = 0; i < 100; ++i)
    {
        ASSERT_FLOAT_EQ(half[i], 0.5f * noise[i]);
        ASSERT_EQ(paused[i], 0.0f);
        ASSERT_FLOAT_EQ(resumed[i], 0.5f * noise[100 + i]);
    }
}

TEST_F(MixerTest, MasterStopMakesEveryHandleStale)
{
    Sound* sound = MakeSound(SoundFiles::Noise(500), MODE_LOOP_NORMAL);
    const Channel first = PlayNow(sound);
    const Channel second = PlayNow(sound);
    ASSERT_EQ(myMaster->Stop(), Result::Ok);
    EXPECT_FALSE(IsPlaying(first));
    EXPECT_FALSE(IsPlaying(second));
    EXPECT_EQ(ChannelsPlaying(), 0);
}

TEST_F(MixerTest, AnEffectOnAnEndedChannelIsDetachedAndLivesUntilReleased)
{
    const Channel channel = PlayNow(MakeSound(SoundFiles::Noise(100)));
    Dsp* echo = MakeEcho(10.0f, 50.0f, 0.0f, 0.0f);
    ASSERT_EQ(channel.AddDsp(0, echo), Result::Ok);
    bool active = false;
    EXPECT_EQ(echo->GetActive(&active), Result::Ok);
    EXPECT_TRUE(active);
    Render(200);
    EXPECT_EQ(echo->GetActive(&active), Result::Ok);
    EXPECT_FALSE(active);
    int count = 0;
    EXPECT_EQ(mySystem->GetDspCount(&count), Result::Ok);
    EXPECT_EQ(count, 1);
    // Free again, it may go onto another channel.
    const Channel next = PlayNow(MakeSound(SoundFiles::Noise(100)));
    EXPECT_EQ(next.AddDsp(0, echo), Result::Ok);
    EXPECT_EQ(echo->Release(), Result::Ok);
    EXPECT_EQ(mySystem->GetDspCount(&count), Result::Ok);
    EXPECT_EQ(count, 0);
    int onChannel = -1;
    EXPECT_EQ(next.GetNumDsps(&onChannel), Result::Ok);
    EXPECT_EQ(onChannel, 0);
    Render(50);
}

TEST_F(MixerTest, AnEffectSitsInOnePlaceAtATime)
{
    Sound* sound = MakeSound(SoundFiles::Noise(1000));
    const Channel first = PlayNow(sound);
    const Channel second = PlayNow(sound);
    Dsp* echo = MakeEcho(10.0f, 50.0f, 0.0f, 0.0f);
    ASSERT_EQ(first.AddDsp(0, echo), Result::Ok);
    EXPECT_EQ(second.AddDsp(0, echo), Result::DspInUse);
    EXPECT_EQ(myMaster->AddDsp(0, echo), Result::DspInUse);
    ASSERT_EQ(first.RemoveDsp(echo), Result::Ok);
    EXPECT_EQ(myMaster->AddDsp(0, echo), Result::Ok);
    EXPECT_EQ(first.Stop(), Result::Ok);
    EXPECT_EQ(first.AddDsp(0, echo), Result::InvalidHandle);
}

TEST_F(MixerTest, EchoParametersOutsideTheirRangesAreRefusedAndKept)
{
    Dsp* echo = nullptr;
    ASSERT_EQ(mySystem->CreateDspByType(DspType::Echo, &echo), Result::Ok);
    struct Case
    {
        int myIndex;
        float myBad;
        float myDefault;
    };
    for (const Case& test : {Case{ECHO_DELAY, 0.0f, 500.0f}, Case{ECHO_DELAY, 5001.0f, 500.0f}, Case{ECHO_FEEDBACK, 101.0f, 50.0f},
                             Case{ECHO_DRYLEVEL, 11.0f, 0.0f}, Case{ECHO_WETLEVEL, -81.0f, 0.0f}, Case{ECHO_WETLEVEL, NAN, 0.0f}})
    {
        EXPECT_EQ(echo->SetParameterFloat(test.myIndex, test.myBad), Result::InvalidParam) << test.myIndex;
        float value = -1.0f;
        EXPECT_EQ(echo->GetParameterFloat(test.myIndex, &value), Result::Ok);
        EXPECT_EQ(value, test.myDefault) << test.myIndex;
    }
    EXPECT_EQ(echo->SetParameterFloat(7, 1.0f), Result::InvalidParam);
}

TEST_F(MixerTest, ResetEmptiesTheEchoLine)
{
    Dsp* echo = MakeEcho(5.0f, 90.0f, 0.0f, 0.0f);
    ASSERT_EQ(myMaster->AddDsp(0, echo), Result::Ok);
    PlayNow(MakeSound(SoundFiles::Impulse(10)));
    Render(100);
    ASSERT_EQ(echo->Reset(), Result::Ok);
    for (float sample : Render(2000))
    {
        ASSERT_EQ(sample, 0.0f);
    }
}

TEST_F(MixerTest, NonFiniteOrNegativeValuesAreRefused)
{
    const Channel channel = PlayNow(MakeSound(SoundFiles::Noise(100)));
    EXPECT_EQ(channel.SetVolume(NAN), Result::InvalidParam);
    EXPECT_EQ(channel.SetVolume(INFINITY), Result::InvalidParam);
    EXPECT_EQ(channel.SetPitch(-1.0f), Result::InvalidParam);
    EXPECT_EQ(myMaster->SetVolume(NAN), Result::InvalidParam);
    float volume = 0.0f;
    EXPECT_EQ(channel.GetVolume(&volume), Result::Ok);
    EXPECT_EQ(volume, 1.0f);
}

TEST_F(MixerTest, ReleasingASoundStopsItsChannels)
{
    Sound* sound = MakeSound(SoundFiles::Noise(1000), MODE_LOOP_NORMAL);
    const Channel channel = PlayNow(sound);
    ASSERT_EQ(sound->Release(), Result::Ok);
    EXPECT_FALSE(IsPlaying(channel));
    for (float sample : Render(100))
    {
        ASSERT_EQ(sample, 0.0f);
    }
}

TEST_F(MixerTest, APlayBeyondTheChannelCountTakesTheOldestVoice)
{
    mySystem->Close();
    ASSERT_EQ(mySystem->Init(2, INIT_NORMAL, nullptr), Result::Ok);
    Sound* sound = MakeSound(SoundFiles::Noise(1000));
    const Channel first = PlayNow(sound);
    const Channel second = PlayNow(sound);
    const Channel third = PlayNow(sound);
    EXPECT_FALSE(IsPlaying(first));
    EXPECT_TRUE(IsPlaying(second));
    EXPECT_TRUE(IsPlaying(third));
    EXPECT_EQ(ChannelsPlaying(), 2);
}

TEST_F(MixerTest, ChannelsAddUp)
{
    const std::vector<float> a = SoundFiles::Noise(200, 1);
    const std::vector<float> b = SoundFiles::Noise(200, 2);
    PlayNow(MakeSound(a)).SetVolume(0.5f);
    PlayNow(MakeSound(b)).SetVolume(0.25f);
    const std::vector<float> mix = Left(Render(200));
    for (int i = 0; i < 200; ++i)
    {
        ASSERT_NEAR(mix[i], 0.5f * a[i] + 0.25f * b[i], 1e-6f);
    }
}

TEST_F(MixerTest, TheSameCallsGiveTheSameSamples)
{
    auto run = [this] {
        Sound* tone = MakeSound(SoundFiles::Tone(3000, 440.0f), MODE_LOOP_NORMAL);
        Sound* noise = MakeSound(SoundFiles::Noise(2000, 5));
        const Channel a = PlayNow(tone);
        a.SetPitch(1.37f);
        const Channel b = PlayNow(noise);
        b.SetPitch(0.81f);
        Dsp* echo = MakeEcho(7.0f, 40.0f, -2.0f, -5.0f);
        b.AddDsp(0, echo);
        std::vector<float> mix = Render(5000);
        myMaster->Stop();
        echo->Release();
        tone->Release();
        noise->Release();
        return mix;
    };
    const std::vector<float> first = run();
    const std::vector<float> second = run();
    ASSERT_EQ(first.size(), second.size());
    EXPECT_TRUE(first == second);
}

TEST_F(MixerTest, FilesDecodeFromWavFlacAndOggVorbis)
{
    const std::vector<float> tone = SoundFiles::Tone(4800, 440.0f, 0.5f, 48000);
    for (SoundFiles::Format format : {SoundFiles::Format::Pcm16Wav, SoundFiles::Format::Flac, SoundFiles::Format::OggVorbis})
    {
        const std::string path = (myFolder.Path() / ("tone" + std::to_string(static_cast<int>(format)))).string();
        ASSERT_TRUE(SoundFiles::Write(path, tone, 1, 48000, format));
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound), Result::Ok) << path;
        std::uint32_t frames = 0;
        EXPECT_EQ(sound->GetLength(&frames), Result::Ok);
        EXPECT_NEAR(static_cast<double>(frames), 4800.0, 64.0) << path;
        PlayNow(sound);
        const std::vector<float> mix = Left(Render(2000));
        double error = 0.0;
        for (int i = 0; i < 2000; ++i)
        {
            error += std::fabs(mix[i] - tone[i]);
        }
        // Vorbis is lossy; the others are all but exact.
        EXPECT_LT(error / 2000.0, format == SoundFiles::Format::OggVorbis ? 0.05 : 1e-3) << path;
        myMaster->Stop();
    }
}

TEST_F(MixerTest, MissingAndBrokenFilesAreRefused)
{
    Sound* sound = reinterpret_cast<Sound*>(1);
    EXPECT_EQ(mySystem->CreateSound((myFolder.Path() / "missing.wav").c_str(), MODE_DEFAULT, nullptr, &sound), Result::FileNotFound);
    EXPECT_EQ(sound, nullptr);
    const std::string garbage = myFolder.Write("garbage.wav", "RIFF but not really a wave file at all").string();
    EXPECT_EQ(mySystem->CreateSound(garbage.c_str(), MODE_DEFAULT, nullptr, &sound), Result::BadFile);
    const std::string empty = myFolder.Write("empty.wav").string();
    EXPECT_EQ(mySystem->CreateSound(empty.c_str(), MODE_DEFAULT, nullptr, &sound), Result::BadFile);
    // Cut short, an Ogg file's length is unknown to libsndfile (its largest count), and none of
    // it decodes.
    const std::filesystem::path whole = myFolder.Path() / "whole.ogg";
    ASSERT_TRUE(SoundFiles::Write(whole, SoundFiles::Noise(48000 * 2), 2, 48000, SoundFiles::Format::OggVorbis));
    const std::string bytes = TestSupport::ReadFileBytes(whole);
    const std::string cut = myFolder.Write("cut.ogg", std::string_view(bytes).substr(0, bytes.size() / 2)).string();
    EXPECT_EQ(mySystem->CreateSound(cut.c_str(), MODE_DEFAULT, nullptr, &sound), Result::BadFile);
    EXPECT_EQ(sound, nullptr);
    EXPECT_EQ(mySystem->CreateSound(myFolder.Path().c_str(), MODE_DEFAULT, nullptr, &sound), Result::FileNotFound);
    EXPECT_EQ(mySystem->PlaySound(nullptr, nullptr, false, nullptr), Result::InvalidParam);
}

namespace
{
    // What one whole decode with libsndfile gives, as the stereo frames the mixer plays: mono on
    // both sides, the first two channels of more.
    std::vector<float> DecodeWholeAsStereo(const std::string& aPath)
    {
        SF_INFO info{};
        SNDFILE* file = sf_open(aPath.c_str(), SFM_READ, &info);
        if (file == nullptr)
        {
            ADD_FAILURE() << "libsndfile cannot open " << aPath;
            return {};
        }
        std::vector<float> block(4096 * static_cast<std::size_t>(info.channels));
        std::vector<float> stereo;
        sf_count_t read = 0;
        while ((read = sf_readf_float(file, block.data(), 4096)) > 0)
        {
            for (sf_count_t frame = 0; frame < read; ++frame)
            {
                const float* in = &block[static_cast<std::size_t>(frame * info.channels)];
                stereo.push_back(in[0]);
                stereo.push_back(info.channels > 1 ? in[1] : in[0]);
            }
        }
        sf_close(file);
        return stereo;
    }

    // Interleaved noise of aChannels channels, each channel its own.
    std::vector<float> MultiChannelNoise(int aFrameCount, int aChannels)
    {
        return SoundFiles::Noise(aFrameCount * aChannels, static_cast<std::uint32_t>(aChannels) + 11);
    }
}

// A header's frame count is no promise: 42 bytes may declare days of sound and hold none.
TEST_F(MixerTest, AFileDeclaringMoreThanTheLongestSoundIsRefused)
{
    struct Case
    {
        std::string myName;
        std::string myBytes;
        Result myResult;
    };
    const Case cases[] = {
        {"declares_4278583296.flac", BadInputFiles::Read("sound", "flac_declares_4278583296_frames.flac"), Result::BadFile},
        {"one_past_the_longest.flac", SoundFiles::FlacHeaderOnly(MAX_SOUND_FRAMES + 1), Result::BadFile},
        {"one_past_in_stereo.flac", SoundFiles::FlacHeaderOnly(MAX_SOUND_FRAMES + 1, 2, 44100), Result::BadFile},
        {"the_longest.flac", SoundFiles::FlacHeaderOnly(MAX_SOUND_FRAMES), Result::Ok},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.myName);
        const std::string path = myFolder.Write(test.myName, test.myBytes).string();
        Sound* sound = reinterpret_cast<Sound*>(1);
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound), test.myResult);
        if (test.myResult != Result::Ok)
        {
            EXPECT_EQ(sound, nullptr);
            continue;
        }
        // Nothing decodes: one silent frame.
        std::uint32_t length = 0;
        EXPECT_EQ(sound->GetLength(&length), Result::Ok);
        EXPECT_EQ(length, 1u);
        EXPECT_EQ(sound->Release(), Result::Ok);
    }
}

// The decoded frames take the room of what the file holds: a header declaring 20 minutes over
// a tenth of a second leaves no 440 MB buffer behind.
TEST_F(MixerTest, ASoundTakesTheRoomOfWhatDecodesNotOfWhatItsHeaderDeclares)
{
    const std::filesystem::path whole = myFolder.Path() / "tenth.flac";
    ASSERT_TRUE(SoundFiles::Write(whole, SoundFiles::Noise(4800), 1, 48000, SoundFiles::Format::Flac));
    std::string bytes = TestSupport::ReadFileBytes(whole);
    // The same frames under a header that declares the longest sound: its count sits in the
    // low 36 bits of bytes 18 to 25.
    const std::string header = SoundFiles::FlacHeaderOnly(MAX_SOUND_FRAMES);
    ASSERT_EQ(bytes.substr(0, 4), "fLaC");
    bytes.replace(18, 8, header.substr(18, 8));
    const std::string declared = myFolder.Write("declares_20_minutes.flac", bytes).string();
    const std::string empty = myFolder.Write("holds_nothing.flac", header).string();
    const std::vector<float> expected = DecodeWholeAsStereo(whole.string());
    for (const std::string& path : {declared, empty})
    {
        SCOPED_TRACE(path);
        const std::uint64_t before = TestSupport::AddressSpaceCeiling::CurrentBytes();
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound), Result::Ok);
        std::uint32_t length = 0;
        ASSERT_EQ(sound->GetLength(&length), Result::Ok);
        // Room for a thread's new malloc arena (64 MiB of address space) and stack, far below
        // the 440 MB the declared frames would take.
        EXPECT_LT(TestSupport::AddressSpaceCeiling::CurrentBytes(), before + 200 * TestSupport::AddressSpaceCeiling::MEGABYTE);
        if (path == declared)
        {
            ASSERT_EQ(length, expected.size() / 2);
            PlayNow(sound);
            const std::vector<float> mix = Render(static_cast<int>(length) + 10);
            for (std::size_t i = 0; i < mix.size(); ++i)
            {
                ASSERT_EQ(mix[i], i < expected.size() ? expected[i] : 0.0f) << "sample " << i;
            }
        }
        else
        {
            EXPECT_EQ(length, 1u);
        }
        EXPECT_EQ(sound->Release(), Result::Ok);
    }
}


// Longer than many decode blocks and not a whole number of them; each sound is played the
// moment after it was made, while its own decode or the ones before it still run.
TEST_F(MixerTest, ALongSoundPlayedAtOnceGivesTheSamplesOfAWholeDecode)
{
    struct Case
    {
        int myChannels;
        SoundFiles::Format myFormat;
        Mode myMode;
    };
    const Case cases[] = {{2, SoundFiles::Format::OggVorbis, MODE_LOOP_NORMAL}, {1, SoundFiles::Format::OggVorbis, MODE_DEFAULT},
                          {3, SoundFiles::Format::FloatWav, MODE_DEFAULT}, {2, SoundFiles::Format::Flac, MODE_LOOP_NORMAL},
                          {1, SoundFiles::Format::Pcm16Wav, MODE_LOOP_NORMAL}};
    constexpr int FRAMES = 3 * 48000 + 1234;
    std::vector<std::string> paths;
    for (const Case& test : cases)
    {
        paths.push_back((myFolder.Path() / ("long" + std::to_string(paths.size()))).string());
        ASSERT_TRUE(SoundFiles::Write(paths.back(), MultiChannelNoise(FRAMES, test.myChannels), test.myChannels, 48000, test.myFormat));
    }
    for (std::size_t index = 0; index < paths.size(); ++index)
    {
        const Case& test = cases[index];
        SCOPED_TRACE(::testing::Message() << test.myChannels << " channels, format " << static_cast<int>(test.myFormat));
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(paths[index].c_str(), test.myMode, nullptr, &sound), Result::Ok);
        const Channel channel = PlayNow(sound);
        const std::vector<float> expected = DecodeWholeAsStereo(paths[index]);
        const std::size_t frames = expected.size() / 2;
        ASSERT_GT(frames, static_cast<std::size_t>(FRAMES / 2));
        const std::vector<float> mix = Render(static_cast<int>(frames) + 500);
        for (std::size_t i = 0; i < mix.size(); ++i)
        {
            const bool isLooping = test.myMode == MODE_LOOP_NORMAL;
            const float wanted = i < expected.size() ? expected[i] : (isLooping ? expected[i - expected.size()] : 0.0f);
            ASSERT_EQ(mix[i], wanted) << "sample " << i << " of " << expected.size();
        }
        EXPECT_EQ(IsPlaying(channel), test.myMode == MODE_LOOP_NORMAL);
        ASSERT_EQ(sound->Release(), Result::Ok);
    }
}

TEST_F(MixerTest, LengthRateAndModeAreRightAtOnceAfterCreation)
{
    struct Case
    {
        SoundFiles::Format myFormat;
        int myRate;
        Mode myMode;
    };
    constexpr int FRAMES = 2 * 48000 + 77;
    for (const Case& test : {Case{SoundFiles::Format::FloatWav, 48000, MODE_DEFAULT}, Case{SoundFiles::Format::OggVorbis, 44100, MODE_LOOP_NORMAL},
                             Case{SoundFiles::Format::Flac, 24000, MODE_LOOP_OFF}})
    {
        SCOPED_TRACE(::testing::Message() << "format " << static_cast<int>(test.myFormat));
        const std::string path = (myFolder.Path() / ("length" + std::to_string(static_cast<int>(test.myFormat)))).string();
        ASSERT_TRUE(SoundFiles::Write(path, SoundFiles::Noise(FRAMES * 2), 2, test.myRate, test.myFormat));
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), test.myMode, nullptr, &sound), Result::Ok);
        std::uint32_t length = 0;
        EXPECT_EQ(sound->GetLength(&length), Result::Ok);
        EXPECT_EQ(length, DecodeWholeAsStereo(path).size() / 2);
        if (test.myFormat != SoundFiles::Format::OggVorbis)
        {
            EXPECT_EQ(length, static_cast<std::uint32_t>(FRAMES));
        }
        std::uint32_t rate = 0;
        EXPECT_EQ(sound->GetSampleRate(&rate), Result::Ok);
        EXPECT_EQ(rate, static_cast<std::uint32_t>(test.myRate));
        Mode mode = 0;
        EXPECT_EQ(sound->GetMode(&mode), Result::Ok);
        EXPECT_EQ(mode, test.myMode == MODE_LOOP_NORMAL ? MODE_LOOP_NORMAL : MODE_LOOP_OFF);
    }
}

// A file whose header is good but whose samples break off: what decodes is kept, and a file that
// yields nothing is one silent frame, as far as the header was read without failing.
TEST_F(MixerTest, AFileWhoseSamplesBreakOffPlaysWhatDecodes)
{
    const std::filesystem::path whole = myFolder.Path() / "whole.flac";
    ASSERT_TRUE(SoundFiles::Write(whole, SoundFiles::Tone(48000, 440.0f), 1, 48000, SoundFiles::Format::Flac));
    const std::string bytes = TestSupport::ReadFileBytes(whole);
    for (const std::size_t kept : {std::size_t{200}, std::size_t{4000}})
    {
        SCOPED_TRACE(::testing::Message() << kept << " bytes kept");
        const std::string path = myFolder.Write("cut" + std::to_string(kept) + ".flac", bytes.substr(0, kept)).string();
        const std::vector<float> expected = DecodeWholeAsStereo(path);
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound), Result::Ok);
        const Channel channel = PlayNow(sound);
        std::uint32_t length = 0;
        EXPECT_EQ(sound->GetLength(&length), Result::Ok);
        EXPECT_EQ(length, std::max<std::size_t>(expected.size() / 2, 1));
        EXPECT_LT(length, 48000u);
        const std::vector<float> mix = Render(static_cast<int>(length) + 10);
        for (std::size_t i = 0; i < mix.size(); ++i)
        {
            ASSERT_EQ(mix[i], i < expected.size() ? expected[i] : 0.0f) << "sample " << i;
        }
        EXPECT_FALSE(IsPlaying(channel));
    }
}

// Sounds released while their decodes are queued or running, a Close with decodes still pending
// and a new Init after it, then the system released with its own decodes pending.
TEST_F(MixerTest, SoundsAndTheSystemReleasedWhileDecodesRun)
{
    const std::string path = (myFolder.Path() / "busy.ogg").string();
    ASSERT_TRUE(SoundFiles::Write(path, SoundFiles::Noise(4 * 48000 * 2, 9), 2, 48000, SoundFiles::Format::OggVorbis));
    const std::vector<float> expected = DecodeWholeAsStereo(path);
    for (int round = 0; round < 2; ++round)
    {
        std::vector<Sound*> sounds(16, nullptr);
        for (Sound*& sound : sounds)
        {
            ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound), Result::Ok);
        }
        for (std::size_t i = 0; i < sounds.size(); i += 2)
        {
            ASSERT_EQ(sounds[i]->Release(), Result::Ok);
        }
        // The last one made, played while those before it may still decode.
        PlayNow(sounds.back());
        const std::vector<float> mix = Render(2000);
        for (std::size_t i = 0; i < mix.size(); ++i)
        {
            ASSERT_EQ(mix[i], expected[i]) << "sample " << i;
        }
        ASSERT_EQ(mySystem->Close(), Result::Ok);
        ASSERT_EQ(mySystem->Init(8, INIT_NORMAL, nullptr), Result::Ok);
    }
    for (int i = 0; i < 16; ++i)
    {
        Sound* sound = nullptr;
        ASSERT_EQ(mySystem->CreateSound(path.c_str(), MODE_LOOP_NORMAL, nullptr, &sound), Result::Ok);
    }
    EXPECT_EQ(mySystem->Release(), Result::Ok);
    mySystem = nullptr;
}

TEST_F(MixerTest, ASoundOfAnotherSystemIsRefused)
{
    System* other = nullptr;
    ASSERT_EQ(System::Create(&other, HEADER_VERSION), Result::Ok);
    ASSERT_EQ(other->SetOutput(OutputType::Memory), Result::Ok);
    ASSERT_EQ(other->Init(8, INIT_NORMAL, nullptr), Result::Ok);
    const std::string path = (myFolder.Path() / "other.ogg").string();
    ASSERT_TRUE(SoundFiles::Write(path, SoundFiles::Noise(48000), 1, 48000, SoundFiles::Format::OggVorbis));
    Sound* foreign = nullptr;
    ASSERT_EQ(other->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &foreign), Result::Ok);
    Channel channel;
    EXPECT_EQ(mySystem->PlaySound(foreign, nullptr, false, &channel), Result::InvalidParam);
    EXPECT_TRUE(channel.IsNull());
    EXPECT_EQ(other->PlaySound(foreign, nullptr, false, &channel), Result::Ok);
    other->Release();
}

TEST(SoundSystem, IsMadeOnlyForItsHeaderVersion)
{
    System* system = reinterpret_cast<System*>(1);
    EXPECT_EQ(System::Create(&system, HEADER_VERSION + 1), Result::HeaderMismatch);
    EXPECT_EQ(system, nullptr);
}

TEST(SoundSystem, RefusesWorkBeforeInitAndMemoryRenderOnADevice)
{
    System* system = nullptr;
    ASSERT_EQ(System::Create(&system, HEADER_VERSION), Result::Ok);
    Sound* sound = nullptr;
    EXPECT_EQ(system->CreateSound("x.wav", MODE_DEFAULT, nullptr, &sound), Result::NotInitialized);
    EXPECT_EQ(system->Update(), Result::NotInitialized);
    ASSERT_EQ(system->Init(8, INIT_NORMAL, nullptr), Result::Ok);
    EXPECT_EQ(system->Init(8, INIT_NORMAL, nullptr), Result::AlreadyInitialized);
    EXPECT_EQ(system->SetOutput(OutputType::Memory), Result::AlreadyInitialized);
    float frames[4] = {};
    EXPECT_EQ(system->Render(frames, 2), Result::WrongOutput);
    EXPECT_EQ(system->Release(), Result::Ok);
}
