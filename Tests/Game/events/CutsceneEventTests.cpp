#include "../level/LevelTestSupport.h"
#include "../level/StandInScreen.h"

#include "events/CutsceneEvent.h"
#include "level/LevelState.h"
#include "level/ParallaxLayers.h"
#include "overlays/SpeedrunTimer.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "graphics/Camera.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
    using namespace LevelTestSupport;

    // A power of two, so that the timer adds up without rounding.
    constexpr float STEP = 0.125f;

    class CutsceneEventTest : public LevelTest
    {
    protected:
        void SetUp() override
        {
            LevelTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            LoadTestSounds(GameFolder(), { "Outro", "Squeak", "Main Menu" });
            WriteDds(GameFolder() / "sprites" / "S_UI_Outro_Text.dds", 100, 50);
            const LevelFolder folder = MakeLevel("outro");
            AddFloorAndPlayer(folder);
            testing::internal::CaptureStdout();
            const bool isLoaded = myLevel->LoadScene(folder.GetScenePath());
            testing::internal::GetCapturedStdout();
            ASSERT_TRUE(isLoaded);
            myStack.PushState(std::make_unique<StandInScreen>(myStack));
            myStack.PushLayer(std::make_unique<StandInScreen>(myStack));
            myCamera->myTransform.SetTranslation({ 100.0f, 200.0f, -1000.0f });
        }

        void TearDown() override
        {
            myLevel.reset();
            LevelTest::TearDown();
        }

        void Run(CutsceneEvent& anEvent, int aSteps)
        {
            for (int step = 0; step < aSteps; ++step)
            {
                anEvent.Update(STEP);
            }
        }

        SceneStateStack myStack;
        std::unique_ptr<LevelState> myLevel = std::make_unique<LevelState>(myStack);
        std::shared_ptr<Vra::Camera> myCamera = std::make_shared<Vra::Camera>();
        ParallaxLayers myLayers;
        CommonUtilities::InputHandler myInput;
    };

    TEST_F(CutsceneEventTest, TheOutroRunsItsTimelineAndLeavesForTheMenu)
    {
        SpeedrunTimer timer;
        timer.Init();
        SpeedrunTimer::Start(false);
        ASSERT_TRUE(timer.IsRunning());

        CutsceneEvent outro;
        outro.Init(myLevel->GetPlayer(), 5, CutsceneEvent::KIND_OUTRO, &myStack, myCamera, &myLayers);
        EXPECT_FLOAT_EQ(outro.GetOutroCountdown(), 30.0f);
        EXPECT_FLOAT_EQ(outro.GetWidth(), 80.0f);
        EXPECT_FLOAT_EQ(outro.GetHeight(), 40.0f);
        EXPECT_FLOAT_EQ(outro.GetSprite().myTransform(1, 1), 80.0f);
        EXPECT_FLOAT_EQ(outro.GetSprite().myColor.a, 0.0f);

        outro.OnTriggerEnter();
        EXPECT_TRUE(outro.IsTriggered());
        EXPECT_TRUE(myLevel->GetPlayer()->IsInCutscene());
        EXPECT_EQ(myLevel->GetPlayer()->GetCutsceneFlag(), 2);
        EXPECT_EQ(myLayers.GetCutsceneSprite(), &outro.GetSprite());

        Run(outro, 1);
        EXPECT_EQ(PlayCount("Outro"), 1u);
        const Vra::Vector3f placed = outro.GetSprite().myTransform.GetTranslation();
        EXPECT_FLOAT_EQ(placed.x, 60.0f);
        EXPECT_FLOAT_EQ(placed.y, 220.0f);
        EXPECT_FLOAT_EQ(placed.z, -999.0f);

        Run(outro, 38); // 4.875 s
        EXPECT_EQ(PlayCount("Squeak"), 0u);
        Run(outro, 1); // 5.0 s
        EXPECT_EQ(PlayCount("Squeak"), 1u);
        Run(outro, 3); // 5.375 s
        EXPECT_EQ(PlayCount("Squeak"), 1u);
        Run(outro, 1); // 5.5 s
        EXPECT_EQ(PlayCount("Squeak"), 2u);
        Run(outro, 40);
        EXPECT_EQ(PlayCount("Squeak"), 2u);

        Run(outro, 75); // 19.875 s: the countdown is above 10 s
        EXPECT_FALSE(myLayers.IsShowingCutsceneSprite());
        EXPECT_FLOAT_EQ(outro.GetSprite().myColor.a, 0.0f);
        Run(outro, 1); // 20 s
        EXPECT_TRUE(myLayers.IsShowingCutsceneSprite());
        EXPECT_FLOAT_EQ(outro.GetSprite().myColor.a, STEP);
        Run(outro, 10);
        EXPECT_FLOAT_EQ(outro.GetSprite().myColor.a, 1.0f);

        Run(outro, 69); // 29.875 s
        EXPECT_FLOAT_EQ(outro.GetOutroCountdown(), STEP);
        EXPECT_EQ(PlayCount("Main Menu"), 0u);
        EXPECT_TRUE(timer.IsRunning());
        myStack.Update(STEP, myInput);
        ASSERT_EQ(myStack.GetLayerCount(), 2u);

        Run(outro, 1); // 30 s
        EXPECT_FALSE(timer.IsRunning());
        EXPECT_EQ(PlayCount("Squeak"), 0u);
        EXPECT_EQ(PlayCount("Outro"), 0u);
        EXPECT_EQ(PlayCount("Main Menu"), 1u);
        myStack.Update(STEP, myInput);
        EXPECT_EQ(myStack.GetLayerCount(), 1u);

        // The level is gone by then; further updates ask for nothing more.
        Run(outro, 2);
        EXPECT_EQ(PlayCount("Main Menu"), 1u);
    }

    TEST_F(CutsceneEventTest, OtherKindsOnlyCountTime)
    {
        for (const int kind : { CutsceneEvent::KIND_INTRO, CutsceneEvent::KIND_POWER_UP })
        {
            CutsceneEvent cutscene;
            cutscene.Init(myLevel->GetPlayer(), 5, kind, &myStack, myCamera, &myLayers);
            EXPECT_FLOAT_EQ(cutscene.GetOutroCountdown(), 0.0f);
            cutscene.OnTriggerEnter();
            EXPECT_EQ(myLevel->GetPlayer()->GetCutsceneFlag(), kind);
            Run(cutscene, 400);
            EXPECT_FLOAT_EQ(cutscene.GetTimer(), 50.0f);
            EXPECT_EQ(PlayCount("Outro"), 0u);
            EXPECT_EQ(PlayCount("Squeak"), 0u);
            EXPECT_EQ(PlayCount("Main Menu"), 0u);
            EXPECT_FALSE(myLayers.IsShowingCutsceneSprite());
        }
    }

    TEST_F(CutsceneEventTest, ACutsceneEntersOnce)
    {
        CutsceneEvent cutscene;
        cutscene.Init(myLevel->GetPlayer(), 5, CutsceneEvent::KIND_POWER_UP, &myStack, myCamera, &myLayers);
        cutscene.OnTriggerEnter();
        myLevel->GetPlayer()->Respawn({ 200.0f, 100.0f, 0.0f });
        ASSERT_FALSE(myLevel->GetPlayer()->IsInCutscene());
        cutscene.OnTriggerEnter();
        EXPECT_FALSE(myLevel->GetPlayer()->IsInCutscene());
    }
}
