#include "LevelTestSupport.h"
#include "StandInScreen.h"

#include "events/LevelLoadEvent.h"
#include "level/LevelState.h"
#include "objects/Checkpoint.h"
#include "overlays/Transition.h"
#include "player/CameraController.h"
#include "player/Player.h"
#include "screens/MainMenuState.h"
#include "screens/PauseState.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "graphics/Camera.h"
#include "graphics/GraphicsEngine.h"
#include "postprocess/FullscreenPixelateEffect.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace
{
    using namespace LevelTestSupport;

    constexpr float FRAME = 1.0f / 60.0f;
    constexpr int KEY_ESCAPE = 0x1B;
    constexpr int KEY_UP = 0x26;
    constexpr int KEY_DOWN = 0x28;

    class LevelStateTest : public LevelTest
    {
    protected:
        void SetUp() override
        {
            LevelTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            LoadTestSounds(GameFolder(), { "Beetle_Idle", "Main Menu" });
            Transition::GetInstance()->Init(0.7f, 1.5f);
            FinishSweep();
        }

        void TearDown() override
        {
            myStack.reset();
            LevelTest::TearDown();
        }

        // Loads the folder into a level and pushes it on a layer of its own over a menu.
        LevelState& Start(const LevelFolder& aFolder, bool aWithMenu = true)
        {
            if (aWithMenu)
            {
                myStack->PushState(std::make_unique<StandInScreen>(*myStack));
            }
            auto level = std::make_unique<LevelState>(*myStack);
            testing::internal::CaptureStdout();
            const bool isLoaded = level->LoadScene(aFolder.GetScenePath());
            myOutput = testing::internal::GetCapturedStdout();
            EXPECT_TRUE(isLoaded) << myOutput;
            LevelState& result = *level;
            testing::internal::CaptureStdout();
            myStack->PushLayer(std::move(level));
            myOutput = testing::internal::GetCapturedStdout();
            FinishSweep();
            return result;
        }

        static void FinishSweep()
        {
            for (int frame = 0; frame < 1000 && Transition::GetInstance()->IsSweeping(); ++frame)
            {
                Transition::GetInstance()->Update(0.05f);
            }
        }

        void Press(int aKey) { myInput.HandleMessage(Platform::WM_KEYDOWN, static_cast<Platform::WParam>(aKey), 0); }
        void Release(int aKey) { myInput.HandleMessage(Platform::WM_KEYUP, static_cast<Platform::WParam>(aKey), 0); }

        // A press seen by one frame; the release is rolled in before the next.
        void Tap(int aKey)
        {
            Press(aKey);
            Frame();
            Release(aKey);
            myInput.Update();
        }

        // One frame of the game: input rolls, the stack updates.
        void Frame(float aDeltaTime = FRAME)
        {
            myInput.Update();
            testing::internal::CaptureStdout();
            myStack->Update(aDeltaTime, myInput);
            myOutput += testing::internal::GetCapturedStdout();
        }

        LevelState* TopLevel() const { return dynamic_cast<LevelState*>(myStack->GetTopState()); }

        std::unique_ptr<SceneStateStack> myStack = std::make_unique<SceneStateStack>();
        CommonUtilities::InputHandler myInput;
        std::string myOutput;
    };

    TEST_F(LevelStateTest, OnInitSetsUpThePassesAndTheCameraAndPreloadsNothingWithoutAnExit)
    {
        const LevelFolder folder = MakeLevel("init");
        AddFloorAndPlayer(folder, { 200.0f, 100.0f, 0.0f });
        LevelState& level = Start(folder);
        EXPECT_FALSE(level.IsDrawingDebugModels());
        EXPECT_EQ(level.GetEffectStack().GetPassCount(), 3u);
        EXPECT_FLOAT_EQ(Vra::Engine::GetInstance()->GetGraphicsEngine()->GetPixelateEffect()->GetPixelSize(), 6.0f);
        EXPECT_TRUE(level.GetParallaxLayers().IsEnabled());
        EXPECT_EQ(level.GetSnow().GetSystems().size(), 6u);
        EXPECT_EQ(level.GetCaveParticles().GetSystems().size(), 6u);
        EXPECT_FALSE(level.IsPreloading());
        EXPECT_EQ(level.GetNextLevel(), nullptr);
        EXPECT_FLOAT_EQ(level.GetCameraController()->GetPosition().x, 200.0f);
        EXPECT_FLOAT_EQ(level.GetCameraController()->GetPosition().y, 140.0f);
        EXPECT_FLOAT_EQ(level.GetCameraController()->GetPosition().z, -1000.0f);
        EXPECT_NE(myOutput.find("Player position: 200 140"), std::string::npos) << myOutput;
    }

    TEST_F(LevelStateTest, TheCameraLooksAheadAndLooksUpOnlyAfterTheHoldTime)
    {
        const LevelFolder folder = MakeLevel("camera");
        AddFloorAndPlayer(folder, { 200.0f, 100.0f, 0.0f });
        LevelState& level = Start(folder);
        for (int frame = 0; frame < 10; ++frame)
        {
            Frame();
        }
        Player& player = *level.GetPlayer();
        ASSERT_TRUE(player.IsGrounded());
        const CommonUtilities::Vector3f position = player.GetPosition();
        EXPECT_FLOAT_EQ(level.GetCameraTarget().x, position.x + 100.0f);
        EXPECT_FLOAT_EQ(level.GetCameraTarget().y, position.y + 100.0f);
        const CommonUtilities::Vector3f controller = level.GetCameraController()->GetPosition();
        const Vra::Vector3f camera = level.GetCamera()->myTransform.GetTranslation();
        EXPECT_FLOAT_EQ(camera.x, controller.x);
        EXPECT_FLOAT_EQ(camera.y, controller.y);
        EXPECT_FLOAT_EQ(camera.z, -1000.0f);

        Press(KEY_UP);
        for (int frame = 0; frame < 24; ++frame)
        {
            Frame(); // 0.4 s
        }
        EXPECT_FLOAT_EQ(level.GetCameraTarget().y, player.GetPosition().y + 100.0f);
        for (int frame = 0; frame < 7; ++frame)
        {
            Frame();
        }
        EXPECT_GE(level.GetLookUpTimer(), 0.5f);
        EXPECT_FLOAT_EQ(level.GetCameraTarget().y, player.GetPosition().y + 300.0f);

        // Down while Up is held too: the up timer keeps counting.
        Press(KEY_DOWN);
        Frame();
        EXPECT_FLOAT_EQ(level.GetLookDownTimer(), 0.0f);
        Release(KEY_UP);
        Frame();
        const float upTimer = level.GetLookUpTimer();
        EXPECT_GT(upTimer, 0.5f);
        EXPECT_GT(level.GetLookDownTimer(), 0.0f);
        Release(KEY_DOWN);
        Frame();
        EXPECT_FLOAT_EQ(level.GetLookUpTimer(), 0.0f);
        EXPECT_FLOAT_EQ(level.GetLookDownTimer(), 0.0f);
    }

    TEST_F(LevelStateTest, AReachedCheckpointPlaysItsSheetToFrameFifteen)
    {
        const LevelFolder folder = MakeLevel("sheet");
        AddFloorAndPlayer(folder, { 200.0f, 100.0f, 0.0f });
        folder.Add("Checkpoint", "Checkpoint", { 2000.0f, 100.0f, 0.0f });
        LevelState& level = Start(folder);
        Checkpoint& checkpoint = level.GetCheckpoints()[0];
        Frame(0.1f);
        EXPECT_EQ(checkpoint.myFrame, 0);
        checkpoint.myIsReached = true;
        Frame(0.03f);
        EXPECT_EQ(checkpoint.myFrame, 0);
        Frame(0.03f);
        EXPECT_EQ(checkpoint.myFrame, 1);
        EXPECT_EQ(checkpoint.mySprite.myTextureRectangle, (Vra::Vector4<float>{ 0.25f, 0.0f, 0.5f, 0.25f }));
        for (int frame = 0; frame < 30; ++frame)
        {
            Frame(0.05f);
        }
        EXPECT_EQ(checkpoint.myFrame, 15);
        EXPECT_EQ(checkpoint.mySprite.myTextureRectangle, (Vra::Vector4<float>{ 0.75f, 0.75f, 1.0f, 1.0f }));
    }

    TEST_F(LevelStateTest, EscapePausesOnlyOutsideSweepsAndCutscenes)
    {
        const LevelFolder folder = MakeLevel("pause");
        AddFloorAndPlayer(folder);
        LevelState& level = Start(folder);

        Transition::GetInstance()->Start();
        Tap(KEY_ESCAPE);
        EXPECT_EQ(myStack->GetTopState(), &level);
        FinishSweep();

        level.GetPlayer()->EnterCutscene(3);
        Tap(KEY_ESCAPE);
        EXPECT_EQ(myStack->GetTopState(), &level);
        level.GetPlayer()->Respawn(level.GetPlayer()->GetPosition());

        Tap(KEY_ESCAPE);
        ASSERT_NE(dynamic_cast<PauseState*>(myStack->GetTopState()), nullptr);
        EXPECT_TRUE(myStack->GetTopState()->IsOverlay());
        // The level waits under the menu (its look timer does not run); Escape gives it back.
        Press(KEY_UP);
        Frame();
        Frame();
        EXPECT_FLOAT_EQ(level.GetLookUpTimer(), 0.0f);
        Release(KEY_UP);
        myInput.Update();
        Tap(KEY_ESCAPE);
        EXPECT_EQ(myStack->GetTopState(), &level);
    }

    TEST_F(LevelStateTest, ADeathSweepsOnceThenReloadsAtTheCheckpoint)
    {
        const LevelFolder folder = MakeLevel("death");
        AddFloorAndPlayer(folder, { 200.0f, 100.0f, 0.0f });
        folder.Add("Checkpoint", "Checkpoint", { 1200.0f, 100.0f, 0.0f });
        LevelState& level = Start(folder);
        Player* const player = level.GetPlayer();
        level.GetCheckpoints()[0].myIsReached = true;

        myOutput.clear();
        player->Kill();
        Frame();
        EXPECT_TRUE(Transition::GetInstance()->IsSweeping());
        EXPECT_FALSE(level.IsRestartArmed());
        for (int frame = 0; frame < 5; ++frame)
        {
            Frame();
        }
        EXPECT_EQ(myOutput.find("START TRANSITION"), myOutput.rfind("START TRANSITION")) << myOutput;
        EXPECT_EQ(myOutput.find("Level Loaded"), std::string::npos) << myOutput;

        FinishSweep();
        Frame();
        EXPECT_NE(myOutput.find("Level Loaded: levels/death.vrs"), std::string::npos) << myOutput;
        EXPECT_TRUE(level.IsRestartArmed());
        EXPECT_EQ(level.GetPlayer(), player);
        EXPECT_FALSE(player->IsHazardHit());
        EXPECT_FLOAT_EQ(player->GetPosition().x, 1200.0f);
        EXPECT_TRUE(level.GetCheckpoints()[0].myIsReached);
    }

    TEST_F(LevelStateTest, TheExitHandsThePreloadedLevelOver)
    {
        const LevelFolder next = MakeLevel("next");
        AddFloorAndPlayer(next, { 500.0f, 100.0f, 0.0f });
        const LevelFolder folder = MakeLevel("first");
        AddFloorAndPlayer(folder);
        folder.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 9), Text("LevelPath", next.GetScenePath()) });
        LevelState& level = Start(folder);
        ASSERT_TRUE(level.IsPreloading());

        level.EnterTrigger(9);
        Frame();
        EXPECT_EQ(myStack->GetTopState(), &level);
        FinishSweep();
        Frame();
        LevelState* const handedOver = TopLevel();
        ASSERT_NE(handedOver, nullptr);
        EXPECT_EQ(handedOver->GetLevelPath(), next.GetScenePath());
        EXPECT_FLOAT_EQ(handedOver->GetPlayer()->GetPosition().x, 500.0f);
        EXPECT_FALSE(handedOver->IsDrawingDebugModels());
        EXPECT_EQ(myStack->GetLayerCount(), 2u);
    }

    TEST_F(LevelStateTest, TheLastLevelsExitReturnsToTheMenu)
    {
        const LevelFolder folder = MakeLevel("last");
        AddFloorAndPlayer(folder);
        folder.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 9), Text("LevelPath", "LAST LEVEL") });
        LevelState& level = Start(folder);
        EXPECT_NE(myOutput.find("LAST LEVEL\n"), std::string::npos) << myOutput;
        EXPECT_FALSE(level.IsPreloading());

        level.EnterTrigger(9);
        FinishSweep();
        myOutput.clear();
        Frame();
        EXPECT_NE(myOutput.find("Returning to the main menu"), std::string::npos) << myOutput;
        EXPECT_EQ(myStack->GetLayerCount(), 1u);
        EXPECT_NE(dynamic_cast<StandInScreen*>(myStack->GetTopState()), nullptr);
        EXPECT_EQ(PlayCount("Main Menu"), 1u);
    }

    TEST_F(LevelStateTest, ALevelStartedWithoutAMenuGetsOneAtItsLastExit)
    {
        const LevelFolder folder = MakeLevel("alone");
        AddFloorAndPlayer(folder);
        folder.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 9), Text("LevelPath", "LAST LEVEL") });
        LevelState& level = Start(folder, false);
        level.EnterTrigger(9);
        FinishSweep();
        Frame();
        EXPECT_NE(dynamic_cast<MainMenuState*>(myStack->GetTopState()), nullptr);
    }

    TEST_F(LevelStateTest, AFailedPreloadIsNotHandedOverAndTheExitGivesUpOnce)
    {
        struct Case
        {
            const char* myName;
            std::string myNextPath;
            std::string myLine;
        };
        const Case cases[] = {
            { "tonowhere", "levels/nowhere.vrs", "Failed to load scene: levels/nowhere.vrs" },
            { "toempty", "", "Failed to load scene: " },
            { "tobroken", "levels/broken.vrs", "Failed to load scene: levels/broken.vrs: " },
        };
        const LevelFolder broken = MakeLevel("broken");
        AddFloorAndPlayer(broken);
        std::ofstream(broken.ObjectFolder() / NextUuid()) << "{ \"name\": [";
        for (const Case& entry : cases)
        {
            myStack = std::make_unique<SceneStateStack>();
            const LevelFolder folder = MakeLevel(entry.myName);
            AddFloorAndPlayer(folder);
            folder.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 9), Text("LevelPath", entry.myNextPath) });
            LevelState& level = Start(folder);
            ASSERT_TRUE(level.IsPreloading()) << entry.myName;
            level.EnterTrigger(9);
            FinishSweep();
            myOutput.clear();
            // The preload's own message comes from its task: wait for it before reading.
            Frame();
            EXPECT_NE(myOutput.find("Returning to the main menu"), std::string::npos) << entry.myName << myOutput;
            EXPECT_EQ(myStack->GetLayerCount(), 1u) << entry.myName;
            EXPECT_NE(dynamic_cast<StandInScreen*>(myStack->GetTopState()), nullptr) << entry.myName;
        }
    }

    TEST_F(LevelStateTest, BeetlesHumOnlyOnceTheLevelRunsOnTheMainThread)
    {
        const LevelFolder folder = MakeLevel("beetles");
        AddFloorAndPlayer(folder);
        folder.Add("Beetle1", "Beetle", { 300.0f, 400.0f, 0.0f }, { Float("Distance", 2.0f) });
        folder.Add("Beetle2", "Beetle", { 900.0f, 400.0f, 0.0f }, { Float("Distance", 2.0f) });
        folder.Add("Mushroom", "Mushroom", { 600.0f, 100.0f, 0.0f });
        auto level = std::make_unique<LevelState>(*myStack);
        std::future<bool> loading = std::async(std::launch::async, [&level, &folder] { return level->LoadScene(folder.GetScenePath()); });
        testing::internal::CaptureStdout();
        const bool isLoaded = loading.get();
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(isLoaded);
        EXPECT_EQ(PlayCount("Beetle_Idle"), 0u);
        myStack->PushState(std::make_unique<StandInScreen>(*myStack));
        testing::internal::CaptureStdout();
        myStack->PushLayer(std::move(level));
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(PlayCount("Beetle_Idle"), 2u);
    }

    TEST_F(LevelStateTest, TheLevelRendersItsFrameThroughThePasses)
    {
        const LevelFolder folder = MakeLevel("render");
        AddFloorAndPlayer(folder);
        folder.Add("Rock", "Scenery", { 150.0f, 100.0f, 0.0f }, { Tag("FG") });
        folder.Add("Checkpoint", "Checkpoint", { 600.0f, 100.0f, 0.0f });
        Start(folder);
        Frame();
        ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        myStack->Render();
        // The checkpoint, the rock, the three passes at least.
        EXPECT_GE(Vra::Engine::GetDrawCallCount() - before, 5u);
        Vra::Engine::GetInstance()->EndFrame();
    }
}
