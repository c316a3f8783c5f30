// The mixer on SDL's audio thread (the dummy driver, which drains in real time) and without any
// device at all.
#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/Sound.h"
#include "sound/System.h"

#include "ScopedEnvironment.h"
#include "SoundFiles.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Sound;

namespace
{
    using TestSupport::ScopedEnvironment;

    System* MakeDeviceSystem()
    {
        System* system = nullptr;
        EXPECT_EQ(System::Create(&system, HEADER_VERSION), Result::Ok);
        EXPECT_EQ(system->Init(512, INIT_NORMAL, nullptr), Result::Ok);
        return system;
    }

    Sound* MakeSound(System& aSystem, const TestSupport::TemporaryFolder& aFolder, const std::string& aName, const std::vector<float>& someSamples, Mode aMode)
    {
        const std::string path = (aFolder.Path() / aName).string();
        EXPECT_TRUE(SoundFiles::Write(path, someSamples));
        Sound* sound = nullptr;
        EXPECT_EQ(aSystem.CreateSound(path.c_str(), aMode, nullptr, &sound), Result::Ok);
        return sound;
    }

    bool IsPlaying(const Channel& aChannel)
    {
        bool playing = false;
        aChannel.IsPlaying(&playing);
        return playing;
    }

    // Calls aStep until aDone holds or two seconds pass; true when it held.
    template <typename Done, typename Step>
    bool WaitFor(Done&& aDone, Step&& aStep)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!aDone())
        {
            if (std::chrono::steady_clock::now() > deadline)
            {
                return false;
            }
            aStep();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
}

// On the dummy driver SDL's thread mixes; without any driver the system mixes silently on the
// wall clock. Either way a one-shot ends in real time.
class SoundOutput : public ::testing::TestWithParam<std::pair<const char*, bool>>
{
};

TEST_P(SoundOutput, AOneShotEndsInRealTime)
{
    const auto [driverName, opensDevice] = GetParam();
    const ScopedEnvironment driver("SDL_AUDIODRIVER", driverName);
    TestSupport::TemporaryFolder folder;
    System* system = MakeDeviceSystem();
    EXPECT_EQ(system->IsDeviceOpen(), opensDevice);
    Sound* sound = MakeSound(*system, folder, "short.wav", SoundFiles::Tone(2400, 440.0f), MODE_DEFAULT);
    Channel channel;
    ASSERT_EQ(system->PlaySound(sound, nullptr, false, &channel), Result::Ok);
    EXPECT_TRUE(IsPlaying(channel));
    EXPECT_TRUE(WaitFor([&] { return !IsPlaying(channel); }, [&] { system->Update(); }));
    float frames[2];
    EXPECT_EQ(system->Render(frames, 1), Result::WrongOutput);
    system->Release();
}

INSTANTIATE_TEST_SUITE_P(Drivers, SoundOutput,
                         ::testing::Values(std::make_pair("dummy", true), std::make_pair("no-such-driver", false)));

// The test thread plays, changes and stops channels and effects while SDL's thread mixes them.
TEST(SoundDevice, ControlCallsAndTheDeviceThreadShareTheMixer)
{
    const ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    TestSupport::TemporaryFolder folder;
    System* system = MakeDeviceSystem();
    ASSERT_TRUE(system->IsDeviceOpen());
    ChannelGroup* master = nullptr;
    ASSERT_EQ(system->GetMasterChannelGroup(&master), Result::Ok);
    Sound* loop = MakeSound(*system, folder, "loop.wav", SoundFiles::Noise(4800), MODE_LOOP_NORMAL);
    Sound* shot = MakeSound(*system, folder, "shot.wav", SoundFiles::Tone(960, 880.0f), MODE_DEFAULT);

    Dsp* masterEcho = nullptr;
    ASSERT_EQ(system->CreateDspByType(DspType::Echo, &masterEcho), Result::Ok);
    ASSERT_EQ(master->AddDsp(0, masterEcho), Result::Ok);

    std::vector<Channel> channels;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round)
    {
        Channel channel;
        system->PlaySound(round % 3 == 0 ? loop : shot, nullptr, false, &channel);
        channel.SetVolume(0.1f * static_cast<float>(round % 10));
        channel.SetPitch(0.8f + 0.01f * static_cast<float>(round % 40));
        if (round % 5 == 0)
        {
            Dsp* echo = nullptr;
            system->CreateDspByType(DspType::Echo, &echo);
            echo->SetParameterFloat(ECHO_DELAY, 1.0f + static_cast<float>(round % 50));
            channel.AddDsp(0, echo);
            echo->Release();
        }
        channels.push_back(channel);
        if (channels.size() > 20)
        {
            channels.front().Stop();
            channels.erase(channels.begin());
        }
        masterEcho->SetParameterFloat(ECHO_DELAY, 10.0f + static_cast<float>(round % 100));
        system->Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int playing = 0;
    EXPECT_EQ(system->GetChannelsPlaying(&playing), Result::Ok);
    EXPECT_GT(playing, 0);
    EXPECT_EQ(master->Stop(), Result::Ok);
    for (const Channel& channel : channels)
    {
        EXPECT_FALSE(IsPlaying(channel));
    }
    shot->Release();
    system->Release();
}

// Looping music made and played at once while SDL's thread mixes; some sounds released while
// they still decode or play, the system released with decodes still pending.
TEST(SoundDevice, SoundsDecodeWhileTheDeviceMixes)
{
    const ScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    TestSupport::TemporaryFolder folder;
    const std::string path = (folder.Path() / "music.ogg").string();
    ASSERT_TRUE(SoundFiles::Write(path, SoundFiles::Noise(3 * 48000 * 2, 4), 2, 48000, SoundFiles::Format::OggVorbis));
    System* system = MakeDeviceSystem();
    ASSERT_TRUE(system->IsDeviceOpen());
    std::vector<std::pair<Sound*, Channel>> playing;
    for (int i = 0; i < 12; ++i)
    {
        Sound* sound = nullptr;
        ASSERT_EQ(system->CreateSound(path.c_str(), MODE_LOOP_NORMAL, nullptr, &sound), Result::Ok);
        if (i % 3 == 0)
        {
            Channel channel;
            ASSERT_EQ(system->PlaySound(sound, nullptr, false, &channel), Result::Ok);
            playing.emplace_back(sound, channel);
        }
        else if (i % 3 == 1)
        {
            ASSERT_EQ(sound->Release(), Result::Ok);
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(system->Update(), Result::Ok);
    for (const auto& [sound, channel] : playing)
    {
        EXPECT_TRUE(IsPlaying(channel));
    }
    ASSERT_EQ(playing.front().first->Release(), Result::Ok);
    EXPECT_FALSE(IsPlaying(playing.front().second));
    EXPECT_TRUE(IsPlaying(playing.back().second));
    EXPECT_EQ(system->Release(), Result::Ok);
}
