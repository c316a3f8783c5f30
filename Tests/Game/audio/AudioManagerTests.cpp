#include "audio/AudioManager.h"

#include "InputHandler.h"
#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/System.h"

#include "AssertionCatcher.h"
#include "ScopedEnvironment.h"
#include "SoundFiles.h"
#include "TemporaryFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

using Platform::Sound::Channel;
using Platform::Sound::Result;
using ::testing::HasSubstr;
using json = nlohmann::json;

namespace
{
    constexpr int RATE = 48000;

    // The table most tests load: sound files of 0.1 s ("short"), 2 s ("long") and a loop.
    json StandardTable()
    {
        return json::parse(R"({
            "sounds": [
                { "name": "Jump", "file": "sounds/short.wav", "volume": 0.5, "pitch": 1.5 },
                { "name": "Step1", "file": "sounds/short.wav" },
                { "name": "Step2", "file": "sounds/short.wav" },
                { "name": "Step3", "file": "sounds/short.wav" },
                { "name": "Music", "file": "sounds/loop.wav", "loop": true, "volume": 0.8 },
                { "name": "Music2", "file": "sounds/loop.wav", "loop": true, "volume": 0.4 },
                { "name": "Cave", "file": "sounds/long.wav", "echo": { "delay": 50, "feedback": 30, "dryLevel": 0, "wetLevel": -6 } },
                { "name": "Level1", "file": "sounds/loop.wav", "loop": true },
                { "name": "Forest Ambience", "file": "sounds/loop.wav", "loop": true },
                { "name": "Level2", "file": "sounds/loop.wav", "loop": true },
                { "name": "Cave Ambience", "file": "sounds/loop.wav", "loop": true },
                { "name": "Level3", "file": "sounds/loop.wav", "loop": true }
            ],
            "Player": { "Sounds": {
                "Player_Jump": ["Jump"],
                "Player_Step": ["Step1", "Step2", "Step3"],
                "Main Menu": ["Music"],
                "Other Music": ["Music2"],
                "Echoing": ["Cave"],
                "Empty": [],
                "Ghost": ["NotLoaded"],
                "Level1": ["Level1"], "Forest Ambience": ["Forest Ambience"],
                "Level2": ["Level2"], "Cave Ambience": ["Cave Ambience"],
                "Level3": ["Level3"]
            } }
        })");
    }

    // Makes a folder the working folder while alive: the manager opens its table relative to it.
    class ScopedWorkingFolder
    {
    public:
        explicit ScopedWorkingFolder(const std::filesystem::path& aFolder) : myOld(std::filesystem::current_path())
        {
            std::filesystem::current_path(aFolder);
        }
        ~ScopedWorkingFolder() { std::filesystem::current_path(myOld); }
        ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
        ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

    private:
        std::filesystem::path myOld;
    };

    // A working folder holding "settings/LoadSounds.json" and the sound files it names, and a
    // manager that mixes into memory.
    class AudioManagerTest : public ::testing::Test
    {
    protected:
        AudioManagerTest()
        {
            SoundFiles::Write(myFolder.Path() / "sounds" / "short.wav", SoundFiles::Noise(RATE / 10));
            SoundFiles::Write(myFolder.Path() / "sounds" / "long.wav", SoundFiles::Noise(2 * RATE, 2));
            SoundFiles::Write(myFolder.Path() / "sounds" / "loop.wav", SoundFiles::Tone(RATE / 10, 440.0f));
        }

        void WriteTable(const std::string& aText) const
        {
            myFolder.Write("settings/LoadSounds.json", aText);
        }

        // Writes the table and runs Init; returns what Init printed.
        std::string Init(const json& aTable = StandardTable())
        {
            WriteTable(aTable.dump());
            ::testing::internal::CaptureStdout();
            myManager.Init();
            return ::testing::internal::GetCapturedStdout();
        }

        template <typename Call>
        static std::string Printed(Call&& aCall)
        {
            ::testing::internal::CaptureStdout();
            aCall();
            return ::testing::internal::GetCapturedStdout();
        }

        // Mixes aSeconds of sound and then runs one manager update of that length.
        void Advance(float aSeconds)
        {
            std::vector<float> frames(2 * 1024);
            for (int left = static_cast<int>(aSeconds * RATE); left > 0; left -= 1024)
            {
                ASSERT_EQ(myManager.GetSoundSystem()->Render(frames.data(), std::min(left, 1024)), Result::Ok);
            }
            Printed([&] { myManager.Update(myInput, aSeconds); });
        }

        void Play(const std::string& aGroup, bool aRandomPitch = false, float aVolume = 1.0f)
        {
            Printed([&] { myManager.Play(aGroup, aRandomPitch, aVolume); });
        }

        Channel Newest(const std::string& aName) const
        {
            const std::vector<Channel> channels = myManager.GetChannels(aName);
            return channels.empty() ? Channel() : channels.back();
        }

        static float VolumeOf(const Channel& aChannel)
        {
            float volume = -99.0f;
            EXPECT_EQ(aChannel.GetVolume(&volume), Result::Ok);
            return volume;
        }

        static float PitchOf(const Channel& aChannel)
        {
            float pitch = -99.0f;
            EXPECT_EQ(aChannel.GetPitch(&pitch), Result::Ok);
            return pitch;
        }

        static bool IsPlaying(const Channel& aChannel)
        {
            bool playing = false;
            aChannel.IsPlaying(&playing);
            return playing;
        }

        static bool IsPaused(const Channel& aChannel)
        {
            bool paused = false;
            EXPECT_EQ(aChannel.GetPaused(&paused), Result::Ok);
            return paused;
        }

        int ChannelsPlaying() const
        {
            int count = -1;
            myManager.GetSoundSystem()->GetChannelsPlaying(&count);
            return count;
        }

        int DspCount() const
        {
            int count = -1;
            myManager.GetSoundSystem()->GetDspCount(&count);
            return count;
        }

        TestSupport::TemporaryFolder myFolder;
        ScopedWorkingFolder myWorkingFolder{myFolder.Path()};
        CommonUtilities::InputHandler myInput;
        AudioManager myManager{Platform::Sound::OutputType::Memory};
    };
}

TEST_F(AudioManagerTest, InitLoadsBothTablesFromTheSettingsFile)
{
    EXPECT_EQ(Init(), "");
    ASSERT_NE(myManager.GetSoundSystem(), nullptr);
    const std::string printed = Printed([&] { myManager.Play("Player_Jump", false, 1.0f); });
    EXPECT_EQ(printed, "Playing Variant: Jump with pitch: 1.5\n");
    EXPECT_TRUE(IsPlaying(Newest("Jump")));
    EXPECT_EQ(ChannelsPlaying(), 1);
}

TEST_F(AudioManagerTest, AOneMemberGroupPlaysItsMemberWithItsOwnPitch)
{
    Init();
    for (int i = 0; i < 5; ++i)
    {
        Play("Player_Jump");
    }
    const std::vector<Channel> channels = myManager.GetChannels("Jump");
    ASSERT_EQ(channels.size(), 5u);
    for (const Channel& channel : channels)
    {
        EXPECT_FLOAT_EQ(PitchOf(channel), 1.5f);
    }
}

TEST_F(AudioManagerTest, RandomPitchLiesInItsRangeAndEveryVariantGetsPicked)
{
    Init();
    std::set<float> pitches;
    std::set<std::string> variants;
    for (int i = 0; i < 150; ++i)
    {
        const std::string printed = Printed([&] { myManager.Play("Player_Step", true, 1.0f); });
        variants.insert(printed.substr(0, printed.find(" with")));
    }
    for (const char* name : {"Step1", "Step2", "Step3"})
    {
        for (const Channel& channel : myManager.GetChannels(name))
        {
            const float pitch = PitchOf(channel);
            EXPECT_GE(pitch, 0.8f);
            EXPECT_LE(pitch, 1.2f);
            pitches.insert(pitch);
        }
    }
    EXPECT_EQ(variants, (std::set<std::string>{"Playing Variant: Step1", "Playing Variant: Step2", "Playing Variant: Step3"}));
    EXPECT_GT(pitches.size(), 100u);
}

TEST_F(AudioManagerTest, AChannelStartsAtMasterTimesSoundTimesCallVolume)
{
    Init();
    myManager.SetMasterVolume(0.8f);
    Play("Player_Jump", false, 0.5f);
    EXPECT_FLOAT_EQ(VolumeOf(Newest("Jump")), 0.8f * 0.5f * 0.5f);
}

TEST_F(AudioManagerTest, UnknownEmptyAndUnloadedGroupsPlayNothing)
{
    Init();
    EXPECT_EQ(Printed([&] { myManager.Play("Nope", true, 1.0f); }), "Sound group not found or empty: Nope\n");
    EXPECT_EQ(Printed([&] { myManager.Play("Empty", true, 1.0f); }), "Sound group not found or empty: Empty\n");
    EXPECT_EQ(Printed([&] { myManager.Play("Ghost", true, 1.0f); }), "");
    EXPECT_EQ(ChannelsPlaying(), 0);
    EXPECT_TRUE(myManager.GetChannels("NotLoaded").empty());
}

// Every channel of a name stays reachable, not only the newest.
TEST_F(AudioManagerTest, StopPauseAndStopAllReachEveryChannelOfAName)
{
    Init();
    Play("Main Menu");
    Play("Main Menu");
    const std::vector<Channel> channels = myManager.GetChannels("Music");
    ASSERT_EQ(channels.size(), 2u);

    myManager.Pause("Music");
    EXPECT_TRUE(IsPaused(channels[0]));
    EXPECT_TRUE(IsPaused(channels[1]));

    myManager.Stop("Music");
    EXPECT_FALSE(IsPlaying(channels[0]));
    EXPECT_FALSE(IsPlaying(channels[1]));
    EXPECT_TRUE(myManager.GetChannels("Music").empty());

    Play("Main Menu");
    Play("Main Menu");
    Play("Other Music");
    myManager.StopAll();
    EXPECT_EQ(ChannelsPlaying(), 0);
}

TEST_F(AudioManagerTest, FadeOutReachesEveryChannelOfAName)
{
    Init();
    Play("Main Menu");
    Play("Main Menu");
    const std::vector<Channel> channels = myManager.GetChannels("Music");
    Printed([&] { myManager.FadeOut("Music", 1.0f); });
    for (const float expected : {0.8f, 0.6f, 0.4f})
    {
        Advance(0.25f);
        for (const Channel& channel : channels)
        {
            EXPECT_NEAR(VolumeOf(channel), expected, 1e-5f);
        }
    }
    // The first record's removal moves the second into its place, where it waits a frame.
    Advance(0.25f);
    EXPECT_FALSE(IsPlaying(channels[0]));
    EXPECT_TRUE(IsPlaying(channels[1]));
    Advance(0.25f);
    EXPECT_FALSE(IsPlaying(channels[1]));
}

TEST_F(AudioManagerTest, StopOfANameNeverPlayedDoesNothing)
{
    Init();
    Play("Main Menu");
    myManager.Stop("Jump");
    myManager.Pause("Jump");
    myManager.FadeOut("Jump", 1.0f);
    EXPECT_EQ(ChannelsPlaying(), 1);
    EXPECT_FALSE(IsPaused(Newest("Music")));
}

TEST_F(AudioManagerTest, GetVolumeOfANameNeverPlayedFailsItsAssertion)
{
    Init();
    EXPECT_EQ(TestSupport::FailedAssertion([&] { myManager.GetVolume("Music"); }), "it != myChannels.end()");
}

TEST_F(AudioManagerTest, GetVolumePrintsTheValueOrFailsOnAnEndedChannel)
{
    Init();
    Play("Player_Jump");
    float volume = 0.0f;
    EXPECT_EQ(Printed([&] { volume = myManager.GetVolume("Jump"); }), "returnVal: 0.5\n");
    EXPECT_FLOAT_EQ(volume, 0.5f);
    // The one-shot ends in the mix; until the next update the manager still lists it.
    std::vector<float> frames(2 * RATE / 5);
    myManager.GetSoundSystem()->Render(frames.data(), RATE / 5);
    EXPECT_EQ(Printed([&] { volume = myManager.GetVolume("Jump"); }), "Failed to access volume value using argument: Jump\n");
    EXPECT_EQ(volume, -1.0f);
}

TEST_F(AudioManagerTest, UpdateForgetsChannelsThatEnded)
{
    Init();
    Play("Player_Jump");
    Play("Main Menu");
    Advance(0.2f);
    EXPECT_TRUE(myManager.GetChannels("Jump").empty());
    EXPECT_EQ(myManager.GetChannels("Music").size(), 1u);
}

TEST_F(AudioManagerTest, MasterVolumeClampsAndRescalesPlayingChannels)
{
    Init();
    Play("Main Menu", false, 0.5f);
    struct Case
    {
        float myAsked;
        float myStored;
    };
    for (const Case& test : {Case{1.7f, 1.0f}, Case{-1.0f, 0.0f}, Case{0.3f, 0.3f}})
    {
        myManager.SetMasterVolume(test.myAsked);
        EXPECT_EQ(myManager.GetMasterVolume(), test.myStored) << test.myAsked;
        // The sound's volume times the master; the call's own 0.5 is not kept.
        EXPECT_FLOAT_EQ(VolumeOf(Newest("Music")), 0.8f * test.myStored) << test.myAsked;
    }
}

TEST_F(AudioManagerTest, EchoingSoundsCarryTheirOwnEffect)
{
    Init();
    EXPECT_EQ(Printed([&] { myManager.Play("Echoing", false, 1.0f); }), "Went through EchoPlaying Variant: Cave with pitch: 1\n");
    EXPECT_EQ(myManager.GetEchoRequestCount(), 1);
    int dsps = 0;
    EXPECT_EQ(Newest("Cave").GetNumDsps(&dsps), Result::Ok);
    EXPECT_EQ(dsps, 1);
    EXPECT_EQ(DspCount(), 1);
}

TEST_F(AudioManagerTest, TheFourthEchoingSoundStopsTheOldestAndReleasesItsEcho)
{
    Init();
    Play("Main Menu");
    for (int i = 0; i < 3; ++i)
    {
        Play("Echoing");
    }
    const std::vector<Channel> firstThree = myManager.GetChannels("Cave");
    ASSERT_EQ(firstThree.size(), 3u);
    Play("Echoing");
    EXPECT_FALSE(IsPlaying(firstThree[0]));
    EXPECT_TRUE(IsPlaying(firstThree[1]));
    EXPECT_TRUE(IsPlaying(firstThree[2]));
    EXPECT_EQ(myManager.GetEchoRequestCount(), 3);
    EXPECT_EQ(myManager.GetChannels("Cave").size(), 3u);
    EXPECT_EQ(DspCount(), 3);
    EXPECT_TRUE(IsPlaying(Newest("Music")));
}

TEST_F(AudioManagerTest, AnEchoIsReleasedWhenItsChannelEnds)
{
    Init();
    Play("Echoing");
    Play("Echoing");
    EXPECT_EQ(DspCount(), 2);
    Newest("Cave").Stop();
    Advance(0.01f);
    EXPECT_EQ(myManager.GetEchoRequestCount(), 1);
    EXPECT_EQ(DspCount(), 1);
    Advance(2.1f);
    EXPECT_EQ(myManager.GetEchoRequestCount(), 0);
    EXPECT_EQ(DspCount(), 0);
}

TEST_F(AudioManagerTest, StopAllEmptiesTheEchoRequestsAndReleasesTheirEchoes)
{
    Init();
    Play("Echoing");
    Play("Echoing");
    myManager.StopAll();
    EXPECT_EQ(myManager.GetEchoRequestCount(), 0);
    EXPECT_EQ(DspCount(), 0);
    EXPECT_EQ(ChannelsPlaying(), 0);
}

TEST_F(AudioManagerTest, FadeOutAllThenResumeAllBringsEveryChannelBackFromSilence)
{
    Init();
    Play("Main Menu");
    Play("Other Music");
    const Channel music = Newest("Music");
    const Channel other = Newest("Music2");
    Printed([&] { myManager.FadeOutAll(2.0f); });
    Advance(0.1f);
    EXPECT_FLOAT_EQ(VolumeOf(music), 0.8f);
    for (int i = 0; i < 10; ++i)
    {
        Advance(0.1f);
    }
    EXPECT_NEAR(VolumeOf(music), 0.8f * 1.0f / 2.0f, 0.02f);
    EXPECT_NEAR(VolumeOf(other), 0.4f * 1.0f / 2.0f, 0.02f);
    for (int i = 0; i < 12; ++i)
    {
        Advance(0.1f);
    }
    EXPECT_TRUE(IsPaused(music));
    EXPECT_TRUE(IsPaused(other));
    EXPECT_NEAR(VolumeOf(music), 0.0f, 1e-6f);

    myManager.ResumeAll(1.0f);
    EXPECT_FALSE(IsPaused(music));
    EXPECT_FALSE(IsPaused(other));
    for (int i = 0; i < 5; ++i)
    {
        Advance(0.1f);
    }
    EXPECT_GT(VolumeOf(music), 0.2f);
    EXPECT_LT(VolumeOf(music), 0.6f);
    for (int i = 0; i < 8; ++i)
    {
        Advance(0.1f);
    }
    EXPECT_FLOAT_EQ(VolumeOf(music), 0.8f);
    EXPECT_FLOAT_EQ(VolumeOf(other), 0.4f);
    // No record is left to change them again.
    myManager.SetMasterVolume(0.5f);
    Advance(0.1f);
    EXPECT_FLOAT_EQ(VolumeOf(music), 0.4f);
}

TEST_F(AudioManagerTest, FadeInWithAnUnknownChannelNamePlaysAtFullVolumeWithoutAFade)
{
    Init();
    Printed([&] { myManager.FadeIn("Main Menu", "Main Menu", 1.0f); });
    ASSERT_EQ(myManager.GetChannels("Music").size(), 1u);
    EXPECT_FLOAT_EQ(VolumeOf(Newest("Music")), 0.8f);
    Advance(0.5f);
    EXPECT_FLOAT_EQ(VolumeOf(Newest("Music")), 0.8f);
}

TEST_F(AudioManagerTest, FadeInRaisesTheChannelToItsVolume)
{
    Init();
    Printed([&] { myManager.FadeIn("Main Menu", "Music", 1.0f); });
    const Channel music = Newest("Music");
    EXPECT_EQ(VolumeOf(music), 0.0f);
    Advance(0.25f);
    Advance(0.25f);
    EXPECT_NEAR(VolumeOf(music), 0.8f * 0.25f, 1e-5f);
    Advance(0.25f);
    Advance(0.25f);
    EXPECT_FLOAT_EQ(VolumeOf(music), 0.8f);
}

TEST_F(AudioManagerTest, ZeroLengthFadesNeverGiveAnUndefinedVolume)
{
    Init();
    Play("Main Menu");
    Printed([&] { myManager.FadeOutAll(0.0f); });
    Advance(0.1f);
    const Channel music = Newest("Music");
    EXPECT_EQ(VolumeOf(music), 0.0f);
    myManager.ResumeAll(0.0f);
    Advance(0.1f);
    Advance(0.1f);
    EXPECT_FLOAT_EQ(VolumeOf(music), 0.8f);
}

TEST_F(AudioManagerTest, LevelAudioStartsTheLevelsMusicAndAmbience)
{
    Init();
    struct Case
    {
        const char* myLevel;
        const char* myMusic;
        const char* myAmbience;
    };
    for (const Case& test : {Case{"1", "Level1", "Forest Ambience"}, Case{"2", "Level2", "Cave Ambience"}, Case{"3", "Level3", "Forest Ambience"}})
    {
        Printed([&] { myManager.PlayLevelAudio(test.myLevel, false, 0, 0, 0, 0); });
        EXPECT_EQ(ChannelsPlaying(), 2) << test.myLevel;
        EXPECT_EQ(myManager.GetChannels(test.myMusic).size(), 1u) << test.myLevel;
        EXPECT_EQ(myManager.GetChannels(test.myAmbience).size(), 1u) << test.myLevel;
    }
}

TEST_F(AudioManagerTest, LevelFourStopsEverythingAndPlaysNothing)
{
    Init();
    Play("Main Menu");
    Play("Echoing");
    Printed([&] { myManager.PlayLevelAudio("4", false, 0, 0, 0, 0); });
    EXPECT_EQ(ChannelsPlaying(), 0);
    EXPECT_EQ(myManager.GetEchoRequestCount(), 0);
}

// Each level's echo parameters reach the master echo, also when one already exists.
TEST_F(AudioManagerTest, LevelEchoTakesEachLevelsParametersAndGoesWithoutEcho)
{
    Init();
    Platform::Sound::ChannelGroup* master = nullptr;
    ASSERT_EQ(myManager.GetSoundSystem()->GetMasterChannelGroup(&master), Result::Ok);
    auto masterEcho = [master] {
        Platform::Sound::Dsp* echo = nullptr;
        master->GetDsp(0, &echo);
        return echo;
    };
    auto parameters = [](Platform::Sound::Dsp* anEcho) {
        std::vector<float> values(4);
        for (int i = 0; i < 4; ++i)
        {
            anEcho->GetParameterFloat(i, &values[static_cast<std::size_t>(i)]);
        }
        return values;
    };

    EXPECT_THAT(Printed([&] { myManager.PlayLevelAudio("1", true, 300, 40, -1, -7); }), HasSubstr("Enabling Echo 300 40 -1 -7\n"));
    ASSERT_NE(masterEcho(), nullptr);
    EXPECT_EQ(parameters(masterEcho()), (std::vector<float>{300, 40, -1, -7}));

    Printed([&] { myManager.PlayLevelAudio("2", true, 120, 10, 0, -3); });
    int count = 0;
    master->GetNumDsps(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(parameters(masterEcho()), (std::vector<float>{120, 10, 0, -3}));

    Printed([&] { myManager.PlayLevelAudio("3", false, 0, 0, 0, 0); });
    master->GetNumDsps(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(DspCount(), 0);
}

TEST_F(AudioManagerTest, AMissingSettingsFileLeavesTheGameSilent)
{
    ::testing::internal::CaptureStdout();
    myManager.Init();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Failed to open file\nFailed to open file: settings/LoadSounds.json\n");
    EXPECT_EQ(Printed([&] { myManager.Play("Main Menu", true, 1.0f); }), "Sound group not found or empty: Main Menu\n");
}

TEST_F(AudioManagerTest, TablesWithoutTheirKeysLoadNothing)
{
    EXPECT_EQ(Init(json::parse(R"({ "other": 1 })")), "No Player sounds in JSON\n");
    EXPECT_EQ(Printed([&] { myManager.LoadSoundGroups("settings/LoadSounds.json"); }), "No Player sounds in JSON\n");
    WriteTable(R"({ "Player": { "Other": 1 } })");
    EXPECT_EQ(Printed([&] { myManager.LoadSoundGroups("settings/LoadSounds.json"); }), "No Player sounds in JSON\n");
    WriteTable(R"([1, 2])");
    EXPECT_EQ(Printed([&] { myManager.LoadSounds("settings/LoadSounds.json"); }), "");
    EXPECT_EQ(Printed([&] { myManager.LoadSoundGroups("settings/LoadSounds.json"); }), "No Player sounds in JSON\n");
}

TEST_F(AudioManagerTest, MalformedTablesThrowTheJsonLibrarysErrors)
{
    WriteTable("{ \"sounds\": [ { \"name\": ");
    EXPECT_THROW(myManager.Init(), json::parse_error);

    struct Case
    {
        const char* myTable;
        const char* myMessage;
        bool myGroups;
    };
    for (const Case& test : {Case{R"({ "sounds": [ 3 ] })", "cannot use value() with number", false},
                             Case{R"({ "sounds": [ { "name": "A", "file": "sounds/short.wav", "volume": "loud" } ] })", "type must be number, but is string", false},
                             Case{R"({ "sounds": [ { "name": 4 } ] })", "type must be string, but is number", false},
                             Case{R"({ "Player": { "Sounds": { "G": [ "A", 5 ] } } })", "type must be string, but is number", true}})
    {
        WriteTable(test.myTable);
        try
        {
            test.myGroups ? myManager.LoadSoundGroups("settings/LoadSounds.json") : myManager.LoadSounds("settings/LoadSounds.json");
            ADD_FAILURE() << test.myTable << " did not throw";
        }
        catch (const json::type_error& error)
        {
            EXPECT_THAT(error.what(), HasSubstr(test.myMessage)) << test.myTable;
        }
    }
}

// A second Init reads the groups afresh: they are the table's, not the first reading's with the
// second's appended; a table that throws part-way through its groups changes none of them.
TEST_F(AudioManagerTest, ASecondInitGivesTheGroupsOfItsTable)
{
    Init();
    json table = StandardTable();
    table["Player"]["Sounds"].erase("Player_Jump");
    table["Player"]["Sounds"]["Player_Step"] = {"Step2"};
    EXPECT_EQ(Init(table), "");
    const auto variantsOf = [&](const std::string& aGroup) {
        std::set<std::string> variants;
        for (int i = 0; i < 30; ++i)
        {
            variants.insert(Printed([&] { myManager.Play(aGroup, false, 1.0f); }));
        }
        return variants;
    };
    EXPECT_EQ(variantsOf("Player_Step"), (std::set<std::string>{"Playing Variant: Step2 with pitch: 1\n"}));
    EXPECT_EQ(variantsOf("Player_Jump"), (std::set<std::string>{"Sound group not found or empty: Player_Jump\n"}));

    WriteTable(R"({ "Player": { "Sounds": { "Player_Step": ["Step3"], "Z": [5] } } })");
    EXPECT_THROW(myManager.LoadSoundGroups("settings/LoadSounds.json"), json::type_error);
    EXPECT_EQ(variantsOf("Player_Step"), (std::set<std::string>{"Playing Variant: Step2 with pitch: 1\n"}));
}

TEST_F(AudioManagerTest, ASoundWhoseFileFailsToLoadIsSkippedWithAMessage)
{
    const std::string printed = Init(json::parse(R"({
        "sounds": [ { "name": "Gone", "file": "sounds/missing.wav" }, { "name": "Here", "file": "sounds/short.wav" } ],
        "Player": { "Sounds": { "Gone": ["Gone"], "Here": ["Here"] } } })"));
    EXPECT_EQ(printed, "Failed to load sound file: sounds/missing.wav\n");
    EXPECT_EQ(Printed([&] { myManager.Play("Gone", false, 1.0f); }), "");
    EXPECT_EQ(ChannelsPlaying(), 0);
    Play("Here");
    EXPECT_EQ(ChannelsPlaying(), 1);
}

TEST_F(AudioManagerTest, EntriesWithoutNameOrFileAreSkippedAndALaterEntryReplacesAnEarlierOne)
{
    Init(json::parse(R"({
        "sounds": [ { "file": "sounds/short.wav" }, { "name": "NoFile" },
                    { "name": "Twice", "file": "sounds/short.wav", "pitch": 0.5 },
                    { "name": "Twice", "file": "sounds/loop.wav", "loop": true, "pitch": 2.0 } ],
        "Player": { "Sounds": { "Twice": ["Twice"], "NoFile": ["NoFile"] } } })"));
    Play("NoFile");
    EXPECT_EQ(ChannelsPlaying(), 0);
    Play("Twice");
    EXPECT_FLOAT_EQ(PitchOf(Newest("Twice")), 2.0f);
    // The looping file replaced the one-shot: still playing long after the short file would end.
    Advance(0.5f);
    EXPECT_TRUE(IsPlaying(Newest("Twice")));
}

TEST_F(AudioManagerTest, AnAutoplaySoundStartsAsItselfWhenTheTableLoads)
{
    const std::string printed = Init(json::parse(R"({
        "sounds": [ { "name": "Wind", "file": "sounds/loop.wav", "loop": true, "autoplay": true, "pitch": 1.25, "volume": 0.6 } ],
        "Player": { "Sounds": { "Weather": ["Wind"] } } })"));
    EXPECT_EQ(printed, "Playing Variant: Wind with pitch: 1.25\n");
    ASSERT_EQ(myManager.GetChannels("Wind").size(), 1u);
    EXPECT_FLOAT_EQ(VolumeOf(Newest("Wind")), 0.6f);
    myManager.Stop("Wind");
    EXPECT_EQ(ChannelsPlaying(), 0);
}

TEST(AudioManagerWithoutDevice, RunsSilentlyAndSoundsStillEnd)
{
    TestSupport::TemporaryFolder folder;
    SoundFiles::Write(folder.Path() / "sounds" / "short.wav", SoundFiles::Noise(RATE / 20));
    folder.Write("settings/LoadSounds.json", R"({ "sounds": [ { "name": "Blip", "file": "sounds/short.wav" } ],
                                                "Player": { "Sounds": { "Blip": ["Blip"] } } })");
    const ScopedWorkingFolder workingFolder(folder.Path());
    const TestSupport::ScopedEnvironment driver("SDL_AUDIODRIVER", "no-such-driver");
    {
        AudioManager manager;
        manager.Init();
        EXPECT_FALSE(manager.GetSoundSystem()->IsDeviceOpen());
        CommonUtilities::InputHandler input;
        manager.Play("Blip", true, 1.0f);
        ASSERT_EQ(manager.GetChannels("Blip").size(), 1u);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!manager.GetChannels("Blip").empty() && std::chrono::steady_clock::now() < deadline)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            manager.Update(input, 0.01f);
        }
        EXPECT_TRUE(manager.GetChannels("Blip").empty());
    }
}

// The game thread plays, fades and updates while SDL's audio thread mixes (the dummy driver).
TEST(AudioManagerOnDevice, TheGameThreadAndTheMixerThreadShareTheChannels)
{
    TestSupport::TemporaryFolder folder;
    SoundFiles::Write(folder.Path() / "sounds" / "short.wav", SoundFiles::Noise(RATE / 50));
    SoundFiles::Write(folder.Path() / "sounds" / "loop.wav", SoundFiles::Tone(RATE / 10, 300.0f));
    folder.Write("settings/LoadSounds.json", R"({ "sounds": [
            { "name": "Blip", "file": "sounds/short.wav", "echo": { "delay": 20, "feedback": 50, "dryLevel": 0, "wetLevel": -3 } },
            { "name": "Hum", "file": "sounds/loop.wav", "loop": true } ],
        "Player": { "Sounds": { "Blip": ["Blip"], "Hum": ["Hum"] } } })");
    const ScopedWorkingFolder workingFolder(folder.Path());
    {
        AudioManager manager;
        manager.Init();
        ASSERT_TRUE(manager.GetSoundSystem()->IsDeviceOpen());
        CommonUtilities::InputHandler input;
        ::testing::internal::CaptureStdout();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        for (int frame = 0; std::chrono::steady_clock::now() < end; ++frame)
        {
            manager.Play("Blip", true, 1.0f);
            if (frame % 10 == 0)
            {
                manager.FadeIn("Hum", "Hum", 0.05f);
            }
            if (frame % 25 == 0)
            {
                manager.FadeOut("Hum", 0.05f);
                manager.PlayLevelAudio("4", frame % 50 == 0, 30, 20, 0, -6);
            }
            manager.SetMasterVolume(static_cast<float>(frame % 10) / 10.0f);
            manager.Update(input, 0.004f);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::testing::internal::GetCapturedStdout();
        EXPECT_LE(manager.GetEchoRequestCount(), 3);
    }
}
