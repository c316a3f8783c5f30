#include "LevelTestSupport.h"
#include "StandInScreen.h"

#include "level/LevelState.h"
#include "overlays/Transition.h"
#include "objects/PogoPad.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <string>

namespace
{
    using namespace LevelTestSupport;

    // A level with a bit of everything the loader reads, sharing its files with the running one.
    void FillLevel(const LevelFolder& aFolder, int aCount)
    {
        AddFloorAndPlayer(aFolder);
        aFolder.Add("Checkpoint", "Checkpoint", { 900.0f, 100.0f, 0.0f });
        for (int index = 0; index < aCount; ++index)
        {
            const float x = 150.0f * static_cast<float>(index);
            aFolder.Add("Box", "Box", { x, 400.0f, 0.0f });
            aFolder.Add("Rock", "Scenery", { x, 200.0f, static_cast<float>(index % 7) * 50.0f }, { Tag(index % 2 ? "BG" : "FG") });
            aFolder.Add("Mushroom", "Mushroom", { x, 100.0f, 0.0f }, { Float("Radius", 0.5f) });
            aFolder.Add("Prompt", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 4), Int("Order", 10 + index), Int("Ability", 2) });
            aFolder.Add("Zone", "EventTrigger", { x, 100.0f, 0.0f }, { Int("Order", 10 + index) });
        }
    }

    class LevelConcurrencyTest : public LevelTest
    {
    protected:
        void TearDown() override
        {
            myStack.reset();
            LevelTest::TearDown();
        }

        std::unique_ptr<SceneStateStack> myStack = std::make_unique<SceneStateStack>();
        CommonUtilities::InputHandler myInput;
    };

    TEST_F(LevelConcurrencyTest, TheNextLevelLoadsOnItsTaskWhileTheLevelRuns)
    {
        Transition::GetInstance()->Init(0.7f, 1.5f);
        const LevelFolder next = MakeLevel("busy_next");
        FillLevel(next, 40);
        const LevelFolder first = MakeLevel("busy_first");
        FillLevel(first, 10);
        first.Add("Exit", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 3), Int("Order", 9), Text("LevelPath", next.GetScenePath()) });

        auto level = std::make_unique<LevelState>(*myStack);
        testing::internal::CaptureStdout();
        ASSERT_TRUE(level->LoadScene(first.GetScenePath()));
        LevelState* const running = level.get();
        myStack->PushState(std::make_unique<StandInScreen>(*myStack));
        // OnInit starts the preload; the frames below run beside it.
        myStack->PushLayer(std::move(level));
        ASSERT_TRUE(running->IsPreloading());
        for (int frame = 0; frame < 30; ++frame)
        {
            ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
            myInput.Update();
            Transition::GetInstance()->Update(1.0f / 60.0f);
            myStack->Update(1.0f / 60.0f, myInput);
            myStack->Render();
            Vra::Engine::GetInstance()->EndFrame();
        }
        running->EnterTrigger(9);
        for (int frame = 0; frame < 600 && myStack->GetTopState() == running; ++frame)
        {
            myInput.Update();
            Transition::GetInstance()->Update(1.0f / 60.0f);
            myStack->Update(1.0f / 60.0f, myInput);
        }
        const std::string output = testing::internal::GetCapturedStdout();
        LevelState* const handedOver = dynamic_cast<LevelState*>(myStack->GetTopState());
        ASSERT_NE(handedOver, nullptr) << output;
        EXPECT_NE(handedOver, running);
        EXPECT_EQ(handedOver->GetLevelPath(), next.GetScenePath());
        EXPECT_EQ(handedOver->GetPogoPads().size(), 40u);
        EXPECT_EQ(handedOver->GetCollisionSet()->GetWallBoxes().size(), 41u);
    }

    TEST_F(LevelConcurrencyTest, TwoLevelsLoadAtOnceOnTasks)
    {
        const LevelFolder a = MakeLevel("twin_a");
        FillLevel(a, 20);
        const LevelFolder b = MakeLevel("twin_b");
        FillLevel(b, 20);
        LevelState first(*myStack);
        LevelState second(*myStack);
        testing::internal::CaptureStdout();
        std::future<bool> loadA = std::async(std::launch::async, [&] { return first.LoadScene(a.GetScenePath()); });
        std::future<bool> loadB = std::async(std::launch::async, [&] { return second.LoadScene(b.GetScenePath()); });
        const bool isALoaded = loadA.get();
        const bool isBLoaded = loadB.get();
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(isALoaded);
        EXPECT_TRUE(isBLoaded);
        EXPECT_EQ(first.GetEvents().size(), 20u);
        EXPECT_EQ(second.GetParallaxLayers().GetTextures().size(), 1u);
        EXPECT_EQ(first.GetParallaxLayers().GetTextures()[0].myColorTexture, second.GetParallaxLayers().GetTextures()[0].myColorTexture);
    }
}
