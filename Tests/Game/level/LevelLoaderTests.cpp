#include "LevelTestSupport.h"

#include "events/BlackBarEvent.h"
#include "events/CutsceneEvent.h"
#include "events/FoxAttackEvent.h"
#include "events/FoxSneakEvent.h"
#include "events/LevelLoadEvent.h"
#include "events/TutorialPromptEvent.h"
#include "level/LevelState.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/IcicleSystem.h"
#include "objects/PogoPad.h"
#include "player/CameraController.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
    using namespace LevelTestSupport;

    void ExpectBox(const Box& aBox, const CommonUtilities::Vector3f& aMin, const CommonUtilities::Vector3f& aMax)
    {
        EXPECT_FLOAT_EQ(aBox.myMin.x, aMin.x);
        EXPECT_FLOAT_EQ(aBox.myMin.y, aMin.y);
        EXPECT_FLOAT_EQ(aBox.myMin.z, aMin.z);
        EXPECT_FLOAT_EQ(aBox.myMax.x, aMax.x);
        EXPECT_FLOAT_EQ(aBox.myMax.y, aMax.y);
        EXPECT_FLOAT_EQ(aBox.myMax.z, aMax.z);
    }

    bool Contains(const std::string& anOutput, const std::string& aLine)
    {
        return anOutput.find(aLine) != std::string::npos;
    }

    // The lines appear whole, in this order, other lines (the model loads) possibly between them.
    bool ContainsInOrder(const std::string& anOutput, const std::vector<std::string>& someLines)
    {
        std::size_t from = 0;
        for (const std::string& line : someLines)
        {
            const std::string whole = "\n" + line + "\n";
            const std::size_t found = ("\n" + anOutput).find(whole, from);
            if (found == std::string::npos)
            {
                return false;
            }
            from = found + whole.size() - 1;
        }
        return true;
    }

    class LevelLoaderTest : public LevelTest
    {
    protected:
        // Loads the folder into a fresh level, keeping what the loader wrote.
        bool Load(const LevelFolder& aFolder)
        {
            testing::internal::CaptureStdout();
            const bool isLoaded = myLevel->LoadScene(aFolder.GetScenePath());
            myOutput = testing::internal::GetCapturedStdout();
            return isLoaded;
        }

        void TearDown() override
        {
            myLevel.reset();
            LevelTest::TearDown();
        }

        SceneStateStack myStack;
        std::unique_ptr<LevelState> myLevel = std::make_unique<LevelState>(myStack);
        std::string myOutput;
    };

    TEST_F(LevelLoaderTest, AMissingOrEmptyScenePathFailsWithTheMessage)
    {
        for (const std::string path : { "levels/nowhere.vrs", "" })
        {
            testing::internal::CaptureStdout();
            EXPECT_FALSE(myLevel->LoadScene(path)) << path;
            const std::string output = testing::internal::GetCapturedStdout();
            EXPECT_TRUE(Contains(output, "Failed to load scene: " + path)) << output;
            EXPECT_FALSE(Contains(output, "Level Loaded")) << output;
        }
        EXPECT_EQ(myLevel->GetPlayer(), nullptr);
    }

    TEST_F(LevelLoaderTest, ALevelWithoutAPlayerFails)
    {
        const LevelFolder folder = MakeLevel("noplayer");
        folder.Add("Floor", "Box", { 0.0f, 0.0f, 0.0f });
        EXPECT_FALSE(Load(folder));
        EXPECT_TRUE(Contains(myOutput, "Failed to load scene: levels/noplayer.vrs")) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "\"Player\"")) << myOutput;
        EXPECT_TRUE(myLevel->GetLevelPath().empty());
    }

    TEST_F(LevelLoaderTest, AMalformedObjectFileFailsInsteadOfThrowing)
    {
        const LevelFolder folder = MakeLevel("broken");
        AddFloorAndPlayer(folder);
        std::ofstream(folder.ObjectFolder() / NextUuid()) << "{ \"name\": ";
        EXPECT_FALSE(Load(folder));
        EXPECT_TRUE(Contains(myOutput, "Failed to load scene: levels/broken.vrs: ")) << myOutput;
    }

    TEST_F(LevelLoaderTest, AFloorAndThePlayerLoadIntoTheCollisionSetAndThePlayer)
    {
        const LevelFolder folder = MakeLevel("floor");
        AddFloorAndPlayer(folder, { 200.0f, 100.0f, 0.0f });
        ASSERT_TRUE(Load(folder));
        EXPECT_TRUE(Contains(myOutput, "Level Loaded: levels/floor.vrs\n")) << myOutput;
        EXPECT_EQ(myLevel->GetLevelPath(), "levels/floor.vrs");
        EXPECT_TRUE(myLevel->IsRestartArmed());

        ASSERT_NE(myLevel->GetCollisionSet(), nullptr);
        ASSERT_EQ(myLevel->GetCollisionSet()->GetWallBoxes().size(), 1u);
        ExpectBox(myLevel->GetCollisionSet()->GetWallBoxes()[0], { -1000.0f, 0.0f, 0.0f }, { 3000.0f, 100.0f, 100.0f });
        EXPECT_EQ(myLevel->GetDebugModels().size(), 1u);

        ASSERT_NE(myLevel->GetPlayer(), nullptr);
        EXPECT_FLOAT_EQ(myLevel->GetPlayer()->GetPosition().x, 200.0f);
        EXPECT_FLOAT_EQ(myLevel->GetPlayer()->GetPosition().y, 100.0f);
        EXPECT_EQ(myLevel->GetPlayer()->GetCollisionSet(), myLevel->GetCollisionSet());
        // The defaults of the spawn object: the dash only.
        EXPECT_TRUE(myLevel->GetPlayer()->IsDashUnlocked());
        EXPECT_FALSE(myLevel->GetPlayer()->IsWallJumpUnlocked());
        EXPECT_FALSE(myLevel->GetPlayer()->IsDoubleJumpUnlocked());
    }

    TEST_F(LevelLoaderTest, BoxTagsChooseTheListAndBoxesSpanTheUnitBoxInOrder)
    {
        const LevelFolder folder = MakeLevel("boxes");
        AddFloorAndPlayer(folder);
        folder.Add("Ledge", "Box", { 0.0f, 500.0f, 0.0f }, { Tag("NonWallAABB") }, { 2.0f, 1.0f, 1.0f });
        folder.Add("Platform", "Box", { 100.0f, 300.0f, 0.0f }, { Tag("OneWayAABB") }, { 3.0f, 0.5f, 1.0f });
        folder.Add("Spikes", "Box", { 400.0f, 0.0f, 0.0f }, { Tag("Trap") }, { -1.0f, 1.0f, 1.0f });
        folder.Add("Untagged", "Box", { 0.0f, 0.0f, 0.0f }, { Tag("Rock") });
        ASSERT_TRUE(Load(folder)) << myOutput;

        const CollisionSet& set = *myLevel->GetCollisionSet();
        EXPECT_EQ(set.GetWallBoxes().size(), 1u);
        ASSERT_EQ(set.GetNonWallBoxes().size(), 1u);
        ExpectBox(set.GetNonWallBoxes()[0], { 0.0f, 500.0f, 0.0f }, { 200.0f, 600.0f, 100.0f });
        ASSERT_EQ(set.GetOneWayBoxes().size(), 1u);
        ExpectBox(set.GetOneWayBoxes()[0], { 100.0f, 300.0f, 0.0f }, { 400.0f, 350.0f, 100.0f });
        ASSERT_EQ(myLevel->GetPlayer()->GetTrapBoxes().size(), 1u);
        // A negative scale still gives min below max.
        ExpectBox(myLevel->GetPlayer()->GetTrapBoxes()[0], { 300.0f, 0.0f, 0.0f }, { 400.0f, 100.0f, 100.0f });
        EXPECT_EQ(myLevel->GetDebugModels().size(), 4u);
    }

    TEST_F(LevelLoaderTest, ABoxWithoutALoadableModelAddsNothing)
    {
        const LevelFolder folder = MakeLevel("nomodel");
        AddFloorAndPlayer(folder);
        folder.Define("BareBox", { Tag("AABB") });
        folder.Define("LostBox", { Tag("AABB"), ModelPath("models/missing.fbx") });
        folder.Add("Bare", "BareBox", { 0.0f, 0.0f, 0.0f });
        folder.Add("Lost", "LostBox", { 0.0f, 0.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_EQ(myLevel->GetCollisionSet()->GetWallBoxes().size(), 1u);
        EXPECT_EQ(myLevel->GetDebugModels().size(), 1u);
    }

    TEST_F(LevelLoaderTest, TheLastTagOfAnObjectWins)
    {
        const LevelFolder folder = MakeLevel("lasttag");
        AddFloorAndPlayer(folder);
        folder.Define("TwoTags", { Tag("Trap"), ModelPath("models/box.fbx"), Tag("NonWallAABB") });
        folder.Add("Twice", "TwoTags", { 0.0f, 0.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_EQ(myLevel->GetCollisionSet()->GetNonWallBoxes().size(), 1u);
        EXPECT_TRUE(myLevel->GetPlayer()->GetTrapBoxes().empty());
    }

    TEST_F(LevelLoaderTest, AKnownKeyOfAnotherTypeIsSkippedWithAMessage)
    {
        const LevelFolder folder = MakeLevel("mistyped");
        AddFloorAndPlayer(folder);
        folder.Define("FloatFlag", { Tag("EventEffect"), Float("Flag", 3.0f), Int("Order", 1), Text("LevelPath", "levels/next.vrs") });
        folder.Define("IntTag", { { "Tag", "Int", 5, "" }, ModelPath("models/box.fbx") });
        folder.Add("Exit", "FloatFlag", { 0.0f, 0.0f, 0.0f });
        folder.Add("Numbered", "IntTag", { 0.0f, 0.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Skipping key \"Flag\" of object \"Exit\": expected Int, found Float")) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Skipping key \"Tag\" of object \"Numbered\": expected StringId, found Int")) << myOutput;
        // The flag keeps its default, so the object is no event; the untagged box is no box.
        EXPECT_TRUE(Contains(myOutput, "error, flag 0")) << myOutput;
        EXPECT_TRUE(myLevel->GetEvents().empty());
        EXPECT_EQ(myLevel->GetCollisionSet()->GetWallBoxes().size(), 1u);
    }

    TEST_F(LevelLoaderTest, ObjectNamesPickTheIciclesAndTheCameraSettingsAsText)
    {
        const LevelFolder folder = MakeLevel("names");
        AddFloorAndPlayer(folder);
        folder.Define("Icicle", { Tag(""), Float("DropDelay", 0.5f), Float("Gravity", 2000.0f), { "Trigger", "Float2", { 1.0f, 3.0f }, "" },
                                  { "Hitbox", "Float2", { 0.2f, 0.5f }, "" }, SpritePath("sprites/rock.dds") });
        folder.Define("TaggedIcicle", { Tag("Iceicle"), Float("DropDelay", 0.5f), Float("Gravity", 2000.0f) });
        folder.Add("O_FallingIce", "Icicle", { 0.0f, 800.0f, 0.0f });
        folder.Add("Spike", "TaggedIcicle", { 300.0f, 800.0f, 0.0f });
        folder.Add("O_FallingIce2", "Icicle", { 600.0f, 800.0f, 0.0f });
        folder.Add("CameraSettings", "CameraSettings", { -500.0f, -100.0f, 0.0f }, { Float("FollowSpeed", 7.0f) }, { 30.0f, 20.0f, 1.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_EQ(myLevel->GetIcicleSystem()->GetCount(), 2u);
        // The icicle named otherwise is scenery: its sprite goes to the middle layer.
        EXPECT_EQ(myLevel->GetParallaxLayers().GetLayer(ParallaxLayers::MIDDLE_LAYER).size(), 1u);

        const CameraController& camera = *myLevel->GetCameraController();
        EXPECT_FLOAT_EQ(camera.GetFollowSpeed(), 7.0f);
        EXPECT_FLOAT_EQ(camera.GetLookAheadDistance(), 2.0f);
        EXPECT_FLOAT_EQ(camera.GetHalfViewWidth(), 800.0f);
        EXPECT_FLOAT_EQ(camera.GetHalfViewHeight(), 450.0f);
        EXPECT_FLOAT_EQ(camera.GetBoundsMinX(), -500.0f);
        EXPECT_FLOAT_EQ(camera.GetBoundsMinY(), -100.0f);
        EXPECT_FLOAT_EQ(camera.GetBoundsMaxX(), 2500.0f);
        EXPECT_FLOAT_EQ(camera.GetBoundsMaxY(), 1900.0f);
    }

    TEST_F(LevelLoaderTest, CameraSettingsSwitchSnowAndCaveParticles)
    {
        struct Case
        {
            const char* myName;
            bool myHasSettings;
            bool myNoSnow;
            bool myShowCave;
            bool myIsSnowActive;
            bool myIsCaveActive;
        };
        const Case cases[] = {
            { "nosettings", false, false, false, true, false },
            { "defaults", true, false, false, true, false },
            { "nosnow", true, true, false, false, false },
            { "cave", true, true, true, false, true },
        };
        for (const Case& entry : cases)
        {
            const LevelFolder folder = MakeLevel(entry.myName);
            AddFloorAndPlayer(folder);
            if (entry.myHasSettings)
            {
                folder.Add("CameraSettings", "CameraSettings", { 0.0f, 0.0f, 0.0f },
                           { Bool("NoSnow", entry.myNoSnow), Bool("ShowCaveParticles", entry.myShowCave) });
            }
            myLevel = std::make_unique<LevelState>(myStack);
            ASSERT_TRUE(Load(folder)) << entry.myName << myOutput;
            EXPECT_EQ(myLevel->GetSnow().IsActive(), entry.myIsSnowActive) << entry.myName;
            EXPECT_EQ(myLevel->GetCaveParticles().IsActive(), entry.myIsCaveActive) << entry.myName;
        }
    }

    TEST_F(LevelLoaderTest, TheFirstCheckpointIsBuiltAndKeptAcrossReloads)
    {
        const LevelFolder folder = MakeLevel("checkpoint");
        AddFloorAndPlayer(folder, { 100.0f, 100.0f, 0.0f });
        folder.Add("First", "Checkpoint", { 700.0f, 100.0f, 0.0f }, {}, { 2.0f, 3.0f, 1.0f });
        folder.Add("Second", "Checkpoint", { 1500.0f, 100.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Checkpoint found\nCheckpoint found\n")) << myOutput;

        ASSERT_EQ(myLevel->GetCheckpoints().size(), 1u);
        const Checkpoint& checkpoint = myLevel->GetCheckpoints()[0];
        ExpectBox(checkpoint.myBox, { 700.0f, 100.0f, 0.0f }, { 900.0f, 600.0f, 100.0f });
        EXPECT_FALSE(checkpoint.myIsReached);
        EXPECT_EQ(checkpoint.mySprite.myPosition, (Vra::Vector2f{ 700.0f, 100.0f }));
        EXPECT_EQ(checkpoint.mySprite.myPivot, (Vra::Vector2f{ 0.5f, 0.8f }));
        EXPECT_EQ(checkpoint.mySprite.mySize, (Vra::Vector2f{ 8.0f, 4.0f }));
        EXPECT_EQ(checkpoint.mySprite.myTextureRectangle, (Vra::Vector4<float>{ 0.0f, 0.0f, 0.25f, 0.25f }));
        EXPECT_EQ(checkpoint.myFrame, 0);
        EXPECT_FLOAT_EQ(checkpoint.myFrameTime, 0.041666668f);
        EXPECT_NE(checkpoint.mySpriteData.myColorTexture, nullptr);
        // Checkpoint, floor; the second checkpoint's model is not made.
        EXPECT_EQ(myLevel->GetDebugModels().size(), 2u);

        myLevel->GetCheckpoints()[0].myIsReached = true;
        myLevel->GetCheckpoints()[0].myFrame = 15;
        ASSERT_TRUE(Load(folder)) << myOutput;
        ASSERT_EQ(myLevel->GetCheckpoints().size(), 1u);
        EXPECT_TRUE(myLevel->GetCheckpoints()[0].myIsReached);
        EXPECT_EQ(myLevel->GetCheckpoints()[0].myFrame, 15);
        EXPECT_FLOAT_EQ(myLevel->GetPlayer()->GetPosition().x, 700.0f);
        EXPECT_FLOAT_EQ(myLevel->GetPlayer()->GetPosition().y, 100.0f);
        EXPECT_FLOAT_EQ(myLevel->GetCameraController()->GetPosition().x, 700.0f);
    }

    TEST_F(LevelLoaderTest, PogoPadsAreMushroomsUnlessTheyHaveADistance)
    {
        const LevelFolder folder = MakeLevel("pads");
        AddFloorAndPlayer(folder);
        folder.Add("Mushroom", "Mushroom", { 300.0f, 100.0f, 0.0f }, { Float("Radius", 0.5f), Float("Cooldown", 1.5f) }, { 2.0f, 2.0f, 1.0f });
        folder.Add("Beetle", "Beetle", { 600.0f, 400.0f, 0.0f }, { Float("Radius", 0.4f) });
        folder.Add("Climber", "Beetle", { 900.0f, 400.0f, 0.0f }, { Float("Radius", 0.4f), Float("Distance", 3.0f), Bool("Up", true) });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Pogo Pad found")) << myOutput;

        const std::vector<PogoPad>& pads = myLevel->GetPogoPads();
        ASSERT_EQ(pads.size(), 3u);
        EXPECT_TRUE(pads[0].IsMushroom());
        EXPECT_FLOAT_EQ(pads[0].GetRadius(), 50.0f);
        EXPECT_FLOAT_EQ(pads[0].GetCooldown(), 1.5f);
        EXPECT_FLOAT_EQ(pads[0].GetPosition().x, 300.0f);
        EXPECT_FLOAT_EQ(pads[0].GetSecondVector().x, 2.0f);
        // A Distance of 0 still makes a beetle.
        EXPECT_FALSE(pads[1].IsMushroom());
        EXPECT_FLOAT_EQ(pads[1].GetRadius(), 40.0f);
        EXPECT_FLOAT_EQ(pads[1].GetDistance(), 0.0f);
        EXPECT_TRUE(pads[1].IsInverted());
        EXPECT_FALSE(pads[1].IsVertical());
        EXPECT_FLOAT_EQ(pads[2].GetDistance(), 300.0f);
        EXPECT_TRUE(pads[2].IsVertical());
    }

    TEST_F(LevelLoaderTest, AbilityPickupsOfAbilitiesTheBirdHasAreLeftOut)
    {
        const LevelFolder folder = MakeLevel("abilities");
        AddFloorAndPlayer(folder);
        folder.Add("Dash", "Ability", { 300.0f, 100.0f, 0.0f }, { Float("Radius", 0.5f), Int("Ability", 1) });
        folder.Add("WallJump", "Ability", { 600.0f, 100.0f, 0.0f }, { Float("Radius", 0.5f), Int("Ability", 2) });
        folder.Add("Nothing", "Ability", { 900.0f, 100.0f, 0.0f }, { Float("Radius", 0.25f) });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Ability Pickup found")) << myOutput;
        const std::vector<AbilityPickup>& pickups = myLevel->GetAbilityPickups();
        ASSERT_EQ(pickups.size(), 2u);
        EXPECT_EQ(pickups[0].GetName(), "WallJump");
        EXPECT_FLOAT_EQ(pickups[0].GetRadius(), 50.0f);
        EXPECT_FLOAT_EQ(pickups[0].GetPosition().x, 600.0f);
        EXPECT_EQ(pickups[1].GetName(), "");
        EXPECT_FLOAT_EQ(pickups[1].GetRadius(), 25.0f);
    }

    TEST_F(LevelLoaderTest, SpritesGoToTheLayerTheirTagNames)
    {
        const LevelFolder folder = MakeLevel("sprites");
        AddFloorAndPlayer(folder);
        const std::pair<const char*, int> cases[] = { { "BG", ParallaxLayers::BACK_LAYER },   { "FG", ParallaxLayers::FRONT_LAYER },
                                                      { "LG", ParallaxLayers::MIDDLE_LAYER }, { "", ParallaxLayers::MIDDLE_LAYER },
                                                      { "Tree", ParallaxLayers::MIDDLE_LAYER } };
        for (const auto& [tag, layer] : cases)
        {
            folder.Add(std::string("Sprite") + tag, "Scenery", { 0.0f, 0.0f, 10.0f }, { Tag(tag) });
        }
        folder.Define("LostSprite", { Tag("BG"), SpritePath("sprites/missing.dds") });
        folder.Add("Lost", "LostSprite", { 0.0f, 0.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        const ParallaxLayers& layers = myLevel->GetParallaxLayers();
        EXPECT_EQ(layers.GetLayer(ParallaxLayers::BACK_LAYER).size(), 1u);
        EXPECT_EQ(layers.GetLayer(ParallaxLayers::FRONT_LAYER).size(), 1u);
        EXPECT_EQ(layers.GetLayer(ParallaxLayers::MIDDLE_LAYER).size(), 3u);
        // One texture, one shared record.
        EXPECT_EQ(layers.GetTextures().size(), 1u);
    }

    TEST_F(LevelLoaderTest, MusicAndEffectGroupsGiveOneRecordPerObject)
    {
        const LevelFolder folder = MakeLevel("groups");
        AddFloorAndPlayer(folder);
        folder.Add("Music", "LevelMusic", { 0.0f, 0.0f, 0.0f },
                   { Text("Level", "2"), Bool("Echo", true), Float("EchoDelay", 0.25f), Float("EchoFeedback", 0.5f), Float("EchoDryLevel", 0.75f),
                     Float("EchoWetLevel", 0.125f) });
        folder.Add("Silent", "LevelMusic", { 0.0f, 0.0f, 0.0f });
        folder.Add("Smoke", "VfxBlock", { 120.0f, 340.0f, 5.0f }, { Text("VFXName", "Chimney_Smoke"), Bool("Looping", true) });
        folder.Add("Nameless", "VfxBlock", { 0.0f, 0.0f, 0.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;

        ASSERT_EQ(myLevel->GetLevelEchoes().size(), 1u);
        const LevelEcho& echo = myLevel->GetLevelEchoes()[0];
        EXPECT_EQ(echo.myValid, 1u);
        EXPECT_EQ(echo.myLevel, "2");
        EXPECT_TRUE(echo.myEcho);
        EXPECT_FLOAT_EQ(echo.myEchoDelay, 0.25f);
        EXPECT_FLOAT_EQ(echo.myEchoFeedback, 0.5f);
        EXPECT_FLOAT_EQ(echo.myEchoDryLevel, 0.75f);
        EXPECT_FLOAT_EQ(echo.myEchoWetLevel, 0.125f);

        ASSERT_EQ(myLevel->GetVfxBlocks().size(), 1u);
        const VfxBlock& block = myLevel->GetVfxBlocks()[0];
        EXPECT_EQ(block.myName, "Chimney_Smoke");
        EXPECT_TRUE(block.myIsLooping);
        EXPECT_EQ(block.myPosition, (Vra::Vector2f{ 120.0f, 340.0f }));
    }

    TEST_F(LevelLoaderTest, EventFlagsBuildTheirEventsWithTheirLines)
    {
        const LevelFolder folder = MakeLevel("events");
        AddFloorAndPlayer(folder);
        folder.Add("Sneak", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 1), Int("Order", 1) });
        folder.Add("Attack", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 2), Int("Order", 2), Float("Speed", 300.0f), Float("Duration", 2.0f) });
        folder.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 3), Text("LevelPath", "levels/level_2_01.vrs") });
        folder.Add("Prompt", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 4), Int("Order", 4), Int("Ability", 2) });
        folder.Add("Outro", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 5), Int("Order", 5), Int("Cutscene", 2) });
        folder.Add("Bars", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 6), Int("Order", 6), Float("Duration", 1.5f) });
        ASSERT_TRUE(Load(folder)) << myOutput;

        const auto& events = myLevel->GetEvents();
        ASSERT_EQ(events.size(), 6u);
        EXPECT_NE(dynamic_cast<FoxSneakEvent*>(events[0].get()), nullptr);
        EXPECT_NE(dynamic_cast<FoxAttackEvent*>(events[1].get()), nullptr);
        EXPECT_NE(dynamic_cast<LevelLoadEvent*>(events[2].get()), nullptr);
        EXPECT_NE(dynamic_cast<TutorialPromptEvent*>(events[3].get()), nullptr);
        EXPECT_NE(dynamic_cast<CutsceneEvent*>(events[4].get()), nullptr);
        EXPECT_NE(dynamic_cast<BlackBarEvent*>(events[5].get()), nullptr);
        for (int index = 0; index < 6; ++index)
        {
            EXPECT_EQ(events[static_cast<std::size_t>(index)]->GetOrder(), index + 1);
            EXPECT_FALSE(events[static_cast<std::size_t>(index)]->IsTriggered());
        }
        EXPECT_EQ(myLevel->GetParallaxLayers().GetFoxEvents().size(), 1u);
        ASSERT_EQ(myLevel->GetPlayer()->GetFoxAttackEvents().size(), 1u);
        EXPECT_EQ(myLevel->GetPlayer()->GetFoxAttackEvents()[0], events[1]);
        EXPECT_EQ(myLevel->GetExitEvent(), events[2]);
        EXPECT_EQ(myLevel->GetNextLevelPath(), "levels/level_2_01.vrs");
        EXPECT_EQ(static_cast<LevelLoadEvent&>(*events[2]).GetLevelPath(), "levels/level_2_01.vrs");
        EXPECT_EQ(static_cast<TutorialPromptEvent&>(*events[3]).GetPromptWord(), "Jump");
        EXPECT_EQ(static_cast<CutsceneEvent&>(*events[4]).GetKind(), 2);
        EXPECT_FLOAT_EQ(static_cast<BlackBarEvent&>(*events[5]).GetBarSpeed(), 1.5f);

        EXPECT_TRUE(ContainsInOrder(myOutput, { "Found Event", "FoxSneakEvent Added", "Found Event", "FoxAttackEvent Added", "Found Event",
                                                "levels/level_2_01.vrs", "Level Exit Event Added", "Found Event", "Tutorial Prompt Event Added",
                                                "Found Event", "Cutscene Added", "Found Event", "Black Bar Event Added" }))
            << myOutput;
    }

    TEST_F(LevelLoaderTest, BadEventDataAddsNoEventAndSaysWhy)
    {
        struct Case
        {
            std::vector<Property> myValues;
            std::string myLine;
        };
        const Case cases[] = {
            { { Int("Flag", 1), Int("Order", 0) }, "Found Event\nerror, order 0\n" },
            { { Int("Flag", 0), Int("Order", 0) }, "Found Event\nerror, order 0\n" },
            { { Int("Flag", 0), Int("Order", 4) }, "Found Event\nerror, flag 0\n" },
            { { Int("Flag", 7), Int("Order", 4) }, "Found Event\nBad Flag! 7\n" },
            { { Int("Flag", -2), Int("Order", 4) }, "Found Event\nBad Flag! -2\n" },
            { { Int("Flag", 5), Int("Order", 4) }, "Found Event\nBad Cutscene! 0\n" },
            { { Int("Flag", 5), Int("Order", 4), Int("Cutscene", 4) }, "Found Event\nBad Cutscene! 4\n" },
        };
        int index = 0;
        for (const Case& entry : cases)
        {
            const LevelFolder folder = MakeLevel("badevent" + std::to_string(index++));
            AddFloorAndPlayer(folder);
            folder.Add("Event", "EventEffect", { 0.0f, 0.0f, 0.0f }, entry.myValues);
            myLevel = std::make_unique<LevelState>(myStack);
            ASSERT_TRUE(Load(folder)) << myOutput;
            EXPECT_TRUE(myLevel->GetEvents().empty()) << entry.myLine;
            EXPECT_TRUE(Contains(myOutput, entry.myLine)) << entry.myLine << " in " << myOutput;
        }
    }

    TEST_F(LevelLoaderTest, AnAttackWithoutSpeedOrDurationSaysSo)
    {
        const LevelFolder folder = MakeLevel("lazyfox");
        AddFloorAndPlayer(folder);
        folder.Add("Attack", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 2), Int("Order", 2) });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Found Event\nDuration = 0\nSpeed = 0\n")) << myOutput;
        EXPECT_TRUE(ContainsInOrder(myOutput, { "Speed = 0", "FoxAttackEvent Added" })) << myOutput;
    }

    TEST_F(LevelLoaderTest, TheLastExitEventIsTheLevelsExit)
    {
        const LevelFolder folder = MakeLevel("twoexits");
        AddFloorAndPlayer(folder);
        folder.Add("Exit1", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 3), Text("LevelPath", "levels/a.vrs") });
        folder.Add("Exit2", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 4), Text("LevelPath", "LAST LEVEL") });
        ASSERT_TRUE(Load(folder)) << myOutput;
        ASSERT_EQ(myLevel->GetEvents().size(), 2u);
        EXPECT_EQ(myLevel->GetExitEvent(), myLevel->GetEvents()[1]);
        EXPECT_EQ(myLevel->GetNextLevelPath(), "LAST LEVEL");
    }

    TEST_F(LevelLoaderTest, TriggersNeedAnOrder)
    {
        const LevelFolder folder = MakeLevel("triggers");
        AddFloorAndPlayer(folder);
        folder.Add("Zero", "EventTrigger", { 0.0f, 0.0f, 0.0f });
        folder.Add("Three", "EventTrigger", { 500.0f, 0.0f, 0.0f }, { Int("Order", 3) }, { 2.0f, 4.0f, 1.0f });
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Found Trigger\nerror, order 0\n")) << myOutput;
        EXPECT_TRUE(Contains(myOutput, "Found Trigger\nTrigger Added\n")) << myOutput;
        const std::vector<EventTrigger>& triggers = myLevel->GetPlayer()->GetEventTriggers();
        ASSERT_EQ(triggers.size(), 1u);
        EXPECT_EQ(triggers[0].myOrder, 3);
        ExpectBox(triggers[0].myBox, { 500.0f, 0.0f, 0.0f }, { 700.0f, 400.0f, 100.0f });
    }

    TEST_F(LevelLoaderTest, AReloadRebuildsTheListsAndKeepsThePlayerAndCamera)
    {
        const LevelFolder folder = MakeLevel("reload");
        AddFloorAndPlayer(folder, { 100.0f, 100.0f, 0.0f });
        folder.Add("Mushroom", "Mushroom", { 300.0f, 100.0f, 0.0f });
        folder.Add("Bars", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 6), Int("Order", 6) });
        ASSERT_TRUE(Load(folder)) << myOutput;
        const Player* const player = myLevel->GetPlayer();
        const std::shared_ptr<Vra::Camera> camera = myLevel->GetCamera();
        const CollisionSet* const firstSet = myLevel->GetCollisionSet();
        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_EQ(myLevel->GetPlayer(), player);
        EXPECT_EQ(myLevel->GetCamera(), camera);
        EXPECT_NE(myLevel->GetCollisionSet(), firstSet);
        EXPECT_EQ(myLevel->GetPlayer()->GetCollisionSet(), myLevel->GetCollisionSet());
        EXPECT_EQ(myLevel->GetCollisionSet()->GetWallBoxes().size(), 1u);
        EXPECT_EQ(myLevel->GetPogoPads().size(), 1u);
        EXPECT_EQ(myLevel->GetEvents().size(), 1u);
        EXPECT_EQ(myLevel->GetDebugModels().size(), 1u);
    }

    TEST_F(LevelLoaderTest, AReloadExitsAnActiveBlackBarEventFirst)
    {
        const LevelFolder folder = MakeLevel("barsreload");
        AddFloorAndPlayer(folder, { 100.0f, 100.0f, 0.0f });
        folder.Add("Bars", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 6), Int("Order", 6) });
        ASSERT_TRUE(Load(folder)) << myOutput;
        myLevel->EnterTrigger(6);
        ASSERT_TRUE(myLevel->GetEvents()[0]->IsTriggered());
        ASSERT_TRUE(myLevel->GetBlackBars().IsShowing());

        ASSERT_TRUE(Load(folder)) << myOutput;
        EXPECT_FALSE(myLevel->GetBlackBars().IsShowing());
        EXPECT_FLOAT_EQ(myLevel->GetPlayer()->GetSpeedFactor(), 1.0f);
        EXPECT_FALSE(myLevel->GetEvents()[0]->IsTriggered());
    }
}
