#include "effects/VfxManager.h"

#include "../GameTestSupport.h"

#include "BadInputFiles.h"

#include "graphics/TextureResource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
    constexpr const char* SHEET = "sprites/vfx_sheet.dds";

    class VfxManagerTest : public GameTestSupport::GameEngineTest
    {
    protected:
        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddSprite(SHEET, GameTestSupport::RED, 8, 8);
        }

        // Loads a definitions file with these elements of "VFX"; returns what was printed.
        std::string Load(const std::string& someElements)
        {
            const std::filesystem::path path = myTables.Write("LoadVFX.json", "{ \"VFX\": [ " + someElements + " ] }");
            return LoadFile(path.string());
        }
        std::string LoadFile(const std::string& aPath)
        {
            testing::internal::CaptureStdout();
            myManager.LoadFromFile(aPath);
            return testing::internal::GetCapturedStdout();
        }
        std::string Spawn(const std::string& aName, bool aLoop = false, bool aFlip = false)
        {
            testing::internal::CaptureStdout();
            myManager.Spawn(aName, { 30.0f, 40.0f }, aLoop, aFlip, 0.0f);
            return testing::internal::GetCapturedStdout();
        }
        static std::string Effect(const std::string& aName, const std::string& someKeys = "")
        {
            return "{ \"name\": \"" + aName + "\", \"texture\": \"" + SHEET + "\"" + (someKeys.empty() ? "" : ", " + someKeys) + " }";
        }

        TestSupport::TemporaryFolder myTables;
        VfxManager myManager;
    };

    TEST_F(VfxManagerTest, FramesAreCutRowByRowFromTheTop)
    {
        const std::string printed = Load(Effect("Sheet", "\"framesX\": 4, \"framesY\": 2"));
        EXPECT_NE(printed.find("Loaded VFX definition: Sheet with texture: sprites/vfx_sheet.dds\n"), std::string::npos);
        const VfxDefinition* const definition = myManager.FindDefinition("Sheet");
        ASSERT_NE(definition, nullptr);
        ASSERT_EQ(definition->myFrames.size(), 8u);
        EXPECT_EQ(definition->myFrames[0], (Vra::Vector4<float>{ 0.0f, 0.0f, 0.25f, 0.5f }));
        EXPECT_EQ(definition->myFrames[3], (Vra::Vector4<float>{ 0.75f, 0.0f, 1.0f, 0.5f }));
        EXPECT_EQ(definition->myFrames[5], (Vra::Vector4<float>{ 0.25f, 0.5f, 0.5f, 1.0f }));
        EXPECT_FLOAT_EQ(definition->myFrameTime, 0.05f);
        EXPECT_EQ(definition->myPivot, (Vra::Vector2f{ 0.5f, 0.5f }));
        EXPECT_FALSE(definition->myTexture->myIsPlaceholder);
    }

    struct KeyCase
    {
        const char* myKeys;
        std::size_t myFrames;
        Vra::Vector2f myStartSize;
        Vra::Vector2f myEndSize;
    };

    TEST_F(VfxManagerTest, KeysAreReadWithTheirDefaults)
    {
        const KeyCase cases[] = {
            { "", 1, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
            { "\"startSize\": [64, 64]", 1, { 64.0f, 64.0f }, { 64.0f, 64.0f } },
            { "\"startSize\": [64]", 1, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
            { "\"startSize\": 64", 1, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
            { "\"startSize\": [10, 20], \"endSize\": [30, 40, 50]", 1, { 10.0f, 20.0f }, { 10.0f, 20.0f } },
            { "\"startSize\": [10, 20], \"endSize\": [30, 40]", 1, { 10.0f, 20.0f }, { 30.0f, 40.0f } },
            { "\"framesX\": 2.9", 2, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
            { "\"framesX\": 3, \"framesY\": true", 3, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
            { "\"framesX\": -2", 0, { 36.0f, 36.0f }, { 36.0f, 36.0f } },
        };
        int index = 0;
        for (const KeyCase& keyCase : cases)
        {
            const std::string name = "Case" + std::to_string(index++);
            Load(Effect(name, keyCase.myKeys));
            const VfxDefinition* const definition = myManager.FindDefinition(name);
            ASSERT_NE(definition, nullptr) << keyCase.myKeys;
            EXPECT_EQ(definition->myFrames.size(), keyCase.myFrames) << keyCase.myKeys;
            EXPECT_EQ(definition->myStartSize, keyCase.myStartSize) << keyCase.myKeys;
            EXPECT_EQ(definition->myEndSize, keyCase.myEndSize) << keyCase.myKeys;
        }
    }

    // Counts outside the integer range, or past any sheet, are refused like any other bad row; the
    // rows after them still load.
    TEST_F(VfxManagerTest, FrameCountsAboveTheLimitAreRefusedAndTheNextRowsLoad)
    {
        struct CountCase
        {
            const char* myKeys;
            const char* myRefusal; // null: loaded with myFrames frames
            std::size_t myFrames;
        };
        const CountCase cases[] = {
            { "\"framesX\": 1e10", "framesX", 0 },
            { "\"framesX\": 2, \"framesY\": 1e10", "framesY", 0 },
            { "\"framesX\": 18446744073709551615", "framesX", 0 },
            { "\"framesX\": 257", "framesX", 0 },
            { "\"framesX\": 300, \"framesY\": 300", "framesX", 0 },
            { "\"framesX\": 256.5, \"framesY\": 256", nullptr, 65536 },
            { "\"framesX\": -1e10", nullptr, 0 },
            { "\"framesX\": 0.5, \"framesY\": 3", nullptr, 0 },
        };
        int index = 0;
        for (const CountCase& countCase : cases)
        {
            const std::string name = "Count" + std::to_string(index++);
            const std::string printed = Load(Effect(name, countCase.myKeys) + ", " + Effect(name + "Next"));
            ASSERT_NE(myManager.FindDefinition(name + "Next"), nullptr) << countCase.myKeys;
            const VfxDefinition* const definition = myManager.FindDefinition(name);
            if (countCase.myRefusal)
            {
                EXPECT_EQ(definition, nullptr) << countCase.myKeys;
                EXPECT_EQ(printed.substr(0, printed.find('\n') + 1), std::string("Invalid VFX definition: ") + countCase.myRefusal + " above 256.\n")
                    << countCase.myKeys;
                continue;
            }
            ASSERT_NE(definition, nullptr) << countCase.myKeys;
            EXPECT_EQ(definition->myFrames.size(), countCase.myFrames) << countCase.myKeys;
        }
        // The table the fuzzing found.
        EXPECT_EQ(LoadFile(BadInputFiles::Path("effect_table", "frames_1e10.json").string()), "Invalid VFX definition: framesX above 256.\n");
        EXPECT_EQ(myManager.FindDefinition("Big"), nullptr);
    }

    TEST_F(VfxManagerTest, NoFramesLoadsButEverySpawnIsRefused)
    {
        EXPECT_NE(Load(Effect("Empty", "\"framesX\": 0")).find("Loaded VFX definition: Empty"), std::string::npos);
        for (int attempt = 0; attempt < 2; ++attempt)
        {
            EXPECT_EQ(Spawn("Empty"), "ERROR: Cannot spawn VFX 'Empty' \x97 UVs are empty!\n");
        }
        EXPECT_TRUE(myManager.GetInstances().empty());
    }

    TEST_F(VfxManagerTest, ANonLoopingEffectAdvancesOneFrameWhenItsTimeIsUpAndRetiresAfterItsLast)
    {
        Load(Effect("Puff", "\"framesX\": 3, \"frameTime\": 0.05, \"startSize\": [10, 10], \"endSize\": [20, 20]"));
        EXPECT_EQ(Spawn("Puff"), "Spawning VFX: Puff at position (30, 40)\n");
        ASSERT_EQ(myManager.GetInstances().size(), 1u);
        EXPECT_FLOAT_EQ(myManager.GetInstances()[0].myLifetime, 0.15f);

        const int expectedFrames[] = { 0, 0, 1, 1, 1, 2, 2, 2 };
        for (int update = 1; update <= 8; ++update)
        {
            myManager.Update(0.02f);
            ASSERT_EQ(myManager.GetInstances().size(), 1u) << update;
            const VfxInstance& instance = myManager.GetInstances()[0];
            EXPECT_EQ(instance.myFrame, expectedFrames[update - 1]) << update;
            EXPECT_EQ(instance.mySprite.myTextureRectangle, myManager.FindDefinition("Puff")->myFrames[static_cast<std::size_t>(instance.myFrame)]);
            const float expectedSize = 10.0f + 10.0f * std::min(0.02f * static_cast<float>(update) / 0.15f, 1.0f);
            EXPECT_NEAR(instance.mySprite.mySize.x, expectedSize, 1e-4f) << update;
        }
        EXPECT_FLOAT_EQ(myManager.GetInstances()[0].mySprite.mySize.y, 20.0f) << "end size reached at the 8th update";
        myManager.Update(0.02f);
        EXPECT_TRUE(myManager.GetInstances().empty()) << "the 9th update retires it";
    }

    TEST_F(VfxManagerTest, ALoopingEffectStartsAgainAndItsSizeRepeats)
    {
        Load(Effect("Loop", "\"framesX\": 2, \"frameTime\": 0.1, \"startSize\": [10, 10], \"endSize\": [20, 20]"));
        Spawn("Loop", true);
        for (int update = 0; update < 3; ++update)
        {
            myManager.Update(0.1f);
        }
        ASSERT_EQ(myManager.GetInstances().size(), 1u);
        const VfxInstance& instance = myManager.GetInstances()[0];
        EXPECT_EQ(instance.myFrame, 1) << "frames 1, 0, 1";
        EXPECT_NEAR(instance.mySprite.mySize.x, 15.0f, 1e-3f) << "0.3 s of a 0.2 s lifetime: half way again";
    }

    TEST_F(VfxManagerTest, StoppingTheLoopsEndsOnlyTheLoopingEffects)
    {
        Load(Effect("Loop", "\"framesX\": 2, \"frameTime\": 0.1") + ", " + Effect("Once", "\"framesX\": 4, \"frameTime\": 0.1"));
        Spawn("Loop", true);
        Spawn("Once");
        Spawn("Loop", true);
        myManager.StopLooping();
        ASSERT_EQ(myManager.GetInstances().size(), 1u);
        EXPECT_FALSE(myManager.GetInstances()[0].myIsLooping);
        EXPECT_EQ(myManager.GetInstances()[0].myDefinition, myManager.FindDefinition("Once"));
    }

    TEST_F(VfxManagerTest, SpawnFillsTheSpriteAndFlipMirrorsIt)
    {
        Load(Effect("Dash", "\"framesX\": 2, \"pivot\": [0.25, 1.0], \"startSize\": [12, 14]"));
        Spawn("Dash", false, true);
        ASSERT_EQ(myManager.GetInstances().size(), 1u);
        const VfxInstance& instance = myManager.GetInstances()[0];
        EXPECT_EQ(instance.mySprite.myPosition, (Vra::Vector2f{ 30.0f, 40.0f }));
        EXPECT_EQ(instance.mySprite.myScale, (Vra::Vector2f{ -1.0f, 1.0f }));
        EXPECT_EQ(instance.mySprite.myPivot, (Vra::Vector2f{ 0.25f, 1.0f })) << "the pivot stays as defined";
        EXPECT_EQ(instance.mySprite.mySize, (Vra::Vector2f{ 12.0f, 14.0f }));
        EXPECT_EQ(instance.mySprite.myTextureRectangle, (Vra::Vector4<float>{ 0.0f, 0.0f, 0.5f, 1.0f }));
        EXPECT_EQ(instance.mySharedData.myColorTexture, myManager.FindDefinition("Dash")->myTexture);
        EXPECT_TRUE(instance.myIsActive);
    }

    TEST_F(VfxManagerTest, LoadingAgainOverwritesInPlaceAndLiveEffectsFollow)
    {
        Load(Effect("Twice", "\"framesX\": 4, \"frameTime\": 1.0"));
        const VfxDefinition* const first = myManager.FindDefinition("Twice");
        Spawn("Twice", true);
        myManager.Update(1.0f);
        myManager.Update(1.0f);
        myManager.Update(1.0f); // frame 3
        Load(Effect("Twice", "\"framesX\": 2, \"frameTime\": 1.0"));
        EXPECT_EQ(myManager.FindDefinition("Twice"), first) << "one entry per name, in place";
        myManager.Update(0.5f);
        ASSERT_EQ(myManager.GetInstances().size(), 1u);
        EXPECT_EQ(myManager.GetInstances()[0].myFrame, 0) << "a looping effect past the new frame count starts again";

        Spawn("Twice", false);
        myManager.Update(1.0f);
        Load(Effect("Twice", "\"framesX\": 1, \"frameTime\": 1.0"));
        myManager.Update(0.1f);
        EXPECT_EQ(myManager.GetInstances().size(), 1u) << "a one-shot past the new frame count retires";
    }

    TEST_F(VfxManagerTest, ZeroOrNegativeFrameTimeAdvancesOneFrameAnUpdateWithFiniteSizes)
    {
        Load(Effect("Instant", "\"framesX\": 3, \"frameTime\": 0, \"startSize\": [10, 10], \"endSize\": [20, 20]") + ", " +
             Effect("Backward", "\"framesX\": 2, \"frameTime\": -1"));
        Spawn("Instant");
        Spawn("Backward", true);
        for (int update = 1; update <= 2; ++update)
        {
            myManager.Update(0.01f);
            ASSERT_EQ(myManager.GetInstances().size(), 2u);
            EXPECT_EQ(myManager.GetInstances()[0].myFrame, update);
            for (const VfxInstance& instance : myManager.GetInstances())
            {
                EXPECT_TRUE(std::isfinite(instance.mySprite.mySize.x));
                EXPECT_TRUE(std::isfinite(instance.mySprite.mySize.y));
            }
        }
        EXPECT_FLOAT_EQ(myManager.GetInstances()[0].mySprite.mySize.x, 20.0f);
        myManager.Update(0.01f);
        ASSERT_EQ(myManager.GetInstances().size(), 1u) << "the one-shot is done after its three frames";
        EXPECT_TRUE(myManager.GetInstances()[0].myIsLooping);
    }

    TEST_F(VfxManagerTest, BrokenTablesAndDefinitionsAreReportedAndSkipped)
    {
        Load(Effect("Kept"));
        EXPECT_EQ(LoadFile((myTables.Path() / "missing.json").string()), "Failed to open VFX definitions file: " + (myTables.Path() / "missing.json").string() + "\n");
        EXPECT_EQ(LoadFile(myTables.Write("novfx.json", R"({ "vfx": [] })").string()), "Invalid VFX definitions file: missing 'vfx' array.\n");
        EXPECT_EQ(LoadFile(myTables.Write("array.json", R"([1, 2])").string()), "Invalid VFX definitions file: missing 'vfx' array.\n");
        EXPECT_NE(LoadFile(myTables.Write("broken.json", R"({ "VFX": [ { "name": )").string()).find("Invalid VFX definitions file"), std::string::npos);
        EXPECT_NE(myManager.FindDefinition("Kept"), nullptr) << "a bad file leaves the table as it was";

        const std::string printed = Load(std::string(R"(7, { "texture": "sprites/vfx_sheet.dds" }, { "name": "NoTexture" }, )") +
                                         Effect("WrongType", "\"framesX\": \"four\"") + ", " + Effect("Good"));
        EXPECT_NE(printed.find("Invalid VFX definition: missing name or texture.\n"), std::string::npos);
        EXPECT_NE(printed.find("Loaded VFX definition: Good"), std::string::npos);
        EXPECT_EQ(myManager.FindDefinition("NoTexture"), nullptr);
        EXPECT_EQ(myManager.FindDefinition("WrongType"), nullptr);
        EXPECT_NE(myManager.FindDefinition("Good"), nullptr) << "the elements after a bad one still load";
    }

    TEST_F(VfxManagerTest, ASheetThatCannotBeLoadedIsReportedAndNotKept)
    {
        const std::string printed = Load(R"({ "name": "Ghost", "texture": "sprites/no_such_sheet.dds" })");
        EXPECT_NE(printed.find("ERROR: Failed to load texture for VFX 'Ghost' from path: sprites/no_such_sheet.dds\n"), std::string::npos);
        EXPECT_EQ(printed.find("Loaded VFX definition: Ghost"), std::string::npos);
        EXPECT_EQ(myManager.FindDefinition("Ghost"), nullptr);
    }

    TEST_F(VfxManagerTest, AnUnknownNameIsReportedAndSpawnsNothing)
    {
        EXPECT_EQ(Spawn("Player_Land_Dust"), "ERROR: Cannot spawn VFX 'Player_Land_Dust': no effect of that name is defined.\n");
        EXPECT_TRUE(myManager.GetInstances().empty());
    }

    TEST_F(VfxManagerTest, EveryEffectDrawsInABatchOfItsOwn)
    {
        Load(Effect("Red", "\"startSize\": [10, 10]"));
        testing::internal::CaptureStdout();
        myManager.Spawn("Red", { 20.0f, 20.0f }, true, false, 0.0f);
        myManager.Spawn("Red", { 100.0f, 40.0f }, true, false, 0.0f);
        testing::internal::GetCapturedStdout();
        const std::uint32_t drawCalls = Vra::Engine::GetDrawCallCount();
        myManager.Render();
        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), drawCalls + 2);
        const Screen screen = ReadScreen();
        EXPECT_EQ(screen.At(20, 20).r, 255);
        EXPECT_EQ(screen.At(100, 40).r, 255);
        EXPECT_EQ(screen.At(60, 30).r, 0);
    }
}
