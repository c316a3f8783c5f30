#include "shell/GameWorld.h"

#include "effects/VfxManager.h"
#include "overlays/PromptBox.h"
#include "overlays/SpeedrunTimer.h"
#include "screens/MainMenuState.h"

#include "../GameTestSupport.h"

#include "InputHandler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace
{
    // A screen that ends at its first update.
    class EndingScreen : public SceneState
    {
    public:
        EndingScreen(SceneStateStack& aStack, int& aRenders) : SceneState(&aStack), myRenders(aRenders) {}
        bool OnInit() override { return true; }
        bool Update(float, CommonUtilities::InputHandler&) override { return false; }
        void Render() override { ++myRenders; }

    private:
        int& myRenders;
    };

    class GameWorldTest : public GameTestSupport::GameEngineTest
    {
    protected:
        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddFont("CinzelDecorative-Bold.ttf");
            AddFont("Cinzel-Bold.ttf");
        }

        CommonUtilities::InputHandler myInput;
    };

    TEST_F(GameWorldTest, ServicesStillUpdateInTheFrameTheScreensEnd)
    {
        AddSprite("sprites/puff.dds", GameTestSupport::RED);
        const TestSupport::TemporaryFolder tables;
        VfxManager::GetInstance().LoadFromFile(
            tables.Write("vfx.json", R"({ "VFX": [ { "name": "WorldPuff", "texture": "sprites/puff.dds", "frameTime": 100 } ] })").string());

        int renders = 0;
        {
            GameWorld world;
            world.InitWithState(std::make_unique<EndingScreen>(world.GetSceneStateStack(), renders), myInput);
            // The overlays read the engine's own step: let one pass.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            NextFrame();
            ASSERT_GT(Vra::Engine::GetInstance()->GetDeltaTime(), 0.0f);

            SpeedrunTimer::Start(false);
            PromptBox::ShowMessage("Checkpoint Reached", 0.0f);
            VfxManager::GetInstance().Spawn("WorldPuff", { 0.0f, 0.0f }, false, false, 0.0f);

            EXPECT_FALSE(world.Update(0.25f, myInput));

            EXPECT_GT(world.GetSpeedrunTimer().GetTime(), 0.0f);
            EXPECT_LT(world.GetPromptBox().GetText().GetColor().a, 1.0f) << "the prompt's fade advanced";
            ASSERT_EQ(VfxManager::GetInstance().GetInstances().size(), 1u);
            EXPECT_FLOAT_EQ(VfxManager::GetInstance().GetInstances()[0].myElapsed, 0.25f);
        }
        EXPECT_EQ(renders, 0);
        VfxManager::GetInstance().Update(1000.0f);
        EXPECT_TRUE(VfxManager::GetInstance().GetInstances().empty());
    }

    TEST_F(GameWorldTest, TheOverlaysRegisterThemselvesAndLeaveWithTheWorld)
    {
        {
            GameWorld world;
            int renders = 0;
            world.InitWithState(std::make_unique<EndingScreen>(world.GetSceneStateStack(), renders), myInput);
            EXPECT_EQ(PromptBox::GetInstance(), &world.GetPromptBox());
            EXPECT_EQ(SpeedrunTimer::GetInstance(), &world.GetSpeedrunTimer());
        }
        EXPECT_EQ(PromptBox::GetInstance(), nullptr);
        EXPECT_EQ(SpeedrunTimer::GetInstance(), nullptr);
        PromptBox::ShowMessage("nobody shows this", 1.0f); // no box: nothing happens
        SpeedrunTimer::Start(true);
        EXPECT_FALSE(SpeedrunTimer::IsVisible());
    }

    TEST_F(GameWorldTest, ASceneThatFailsToLoadStartsAtTheMainMenu)
    {
        GameWorld world;
        testing::internal::CaptureStdout();
        world.InitWithScene("levels/missing_level.vrs", myInput);
        const std::string output = testing::internal::GetCapturedStdout();

        EXPECT_NE(output.find("Loading Scene: levels/missing_level.vrs"), std::string::npos);
        EXPECT_EQ(output.find("Scene Pushed"), std::string::npos);
        EXPECT_NE(dynamic_cast<MainMenuState*>(world.GetSceneStateStack().GetTopState()), nullptr);
        EXPECT_EQ(world.GetSceneStateStack().GetLayerCount(), 1u);
    }

    TEST_F(GameWorldTest, MalformedSoundAndEffectTablesDoNotStopTheGame)
    {
        // Both tables are opened relative to the working folder.
        const TestSupport::TemporaryFolder folder;
        folder.Write("settings/LoadSounds.json", "{ \"sounds\": [ { \"name\": ");
        folder.Write("settings/LoadVFX.json", "{ \"VFX\": [ 1, ");
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.Path());
        GameWorld world;
        testing::internal::CaptureStdout();
        EXPECT_NO_THROW(world.InitMainMenu(myInput));
        const std::string output = testing::internal::GetCapturedStdout();
        std::filesystem::current_path(previous);
        EXPECT_NE(output.find("Could not read the sound table"), std::string::npos);
        EXPECT_NE(output.find("Invalid VFX definitions file"), std::string::npos);
        EXPECT_NE(dynamic_cast<MainMenuState*>(world.GetSceneStateStack().GetTopState()), nullptr);
    }

    TEST_F(GameWorldTest, InitMainMenuShowsTheMainMenu)
    {
        GameWorld world;
        world.InitMainMenu(myInput);
        EXPECT_NE(dynamic_cast<MainMenuState*>(world.GetSceneStateStack().GetTopState()), nullptr);
        EXPECT_EQ(PromptBox::GetInstance(), &world.GetPromptBox());
    }
}
