#include "../level/LevelTestSupport.h"

#include "events/BlackBarEvent.h"
#include "events/LevelLoadEvent.h"
#include "events/TutorialPromptEvent.h"
#include "level/BlackBars.h"
#include "level/LevelState.h"
#include "overlays/Transition.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
    using namespace LevelTestSupport;

    class TriggeredEventTest : public LevelTest
    {
    protected:
        void SetUp() override
        {
            LevelTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            LoadTestSounds(GameFolder(), { "Cave_Event", "Sad_Violin_Event" });
            Transition::GetInstance()->Init(0.7f, 1.5f);
        }

        void TearDown() override
        {
            myLevel.reset();
            LevelTest::TearDown();
        }

        void Load(const LevelFolder& aFolder)
        {
            testing::internal::CaptureStdout();
            const bool isLoaded = myLevel->LoadScene(aFolder.GetScenePath());
            const std::string output = testing::internal::GetCapturedStdout();
            ASSERT_TRUE(isLoaded) << output;
        }

        Player& GetPlayer() const { return *myLevel->GetPlayer(); }

        SceneStateStack myStack;
        std::unique_ptr<LevelState> myLevel = std::make_unique<LevelState>(myStack);
    };

    TEST_F(TriggeredEventTest, EventsOfTheOrderEnterTogetherInListOrderAndOnlyOnce)
    {
        const LevelFolder folder = MakeLevel("order");
        AddFloorAndPlayer(folder);
        folder.Add("Jump", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 4), Int("Order", 4), Int("Ability", 2) });
        folder.Add("Pogo", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 4), Int("Order", 4), Int("Ability", 3) });
        folder.Add("Walk", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 4), Int("Order", 5), Int("Ability", 1) });
        Load(folder);
        const auto& events = myLevel->GetEvents();
        ASSERT_EQ(events.size(), 3u);

        myLevel->EnterTrigger(4);
        EXPECT_TRUE(events[0]->IsTriggered());
        EXPECT_TRUE(events[1]->IsTriggered());
        EXPECT_FALSE(events[2]->IsTriggered());
        EXPECT_EQ(GetPlayer().GetPromptCounter(Player::Prompt::Jump), 1);
        EXPECT_EQ(GetPlayer().GetPromptCounter(Player::Prompt::Pogo), 1);
        EXPECT_FLOAT_EQ(GetPlayer().GetWalkPromptTimer(), 0.0f);

        // Leaving keeps a prompt triggered, and entering again shows nothing again.
        myLevel->ExitTrigger(4);
        EXPECT_TRUE(events[0]->IsTriggered());
        GetPlayer().CountDownPrompt(Player::Prompt::Jump);
        ASSERT_EQ(GetPlayer().GetPromptCounter(Player::Prompt::Jump), 0);
        myLevel->EnterTrigger(4);
        EXPECT_EQ(GetPlayer().GetPromptCounter(Player::Prompt::Jump), 0);

        myLevel->EnterTrigger(5);
        EXPECT_TRUE(events[2]->IsTriggered());
        EXPECT_FLOAT_EQ(GetPlayer().GetWalkPromptTimer(), 1.0f);
    }

    TEST_F(TriggeredEventTest, TutorialKindsNameTheirPrompt)
    {
        const std::pair<int, const char*> cases[] = { { 1, "Walk" }, { 2, "Jump" }, { 3, "Pogo" }, { 4, "Squawk" }, { 5, "" }, { 0, "" }, { -1, "" } };
        for (const auto& [kind, word] : cases)
        {
            TutorialPromptEvent event;
            event.Init(kind, 3, nullptr);
            EXPECT_EQ(event.GetPromptWord(), word) << kind;
            EXPECT_EQ(event.GetOrder(), 3);
            event.OnTriggerEnter();
            EXPECT_TRUE(event.IsTriggered());
        }
    }

    TEST_F(TriggeredEventTest, TheSquawkPromptReachesThePlayerAndKindFiveShowsNothing)
    {
        const LevelFolder folder = MakeLevel("squawk");
        AddFloorAndPlayer(folder);
        Load(folder);
        TutorialPromptEvent squawk;
        squawk.Init(4, 1, &GetPlayer());
        squawk.OnTriggerEnter();
        EXPECT_EQ(GetPlayer().GetPromptCounter(Player::Prompt::Squawk), 1);

        TutorialPromptEvent none;
        none.Init(5, 1, &GetPlayer());
        none.OnTriggerEnter();
        for (int prompt = 0; prompt < static_cast<int>(Player::Prompt::Count); ++prompt)
        {
            if (prompt != static_cast<int>(Player::Prompt::Squawk))
            {
                EXPECT_EQ(GetPlayer().GetPromptCounter(static_cast<Player::Prompt>(prompt)), 0) << prompt;
            }
        }
    }

    TEST_F(TriggeredEventTest, TheExitStartsOneSweepAndCountsOnceItHasFinished)
    {
        Transition& transition = *Transition::GetInstance();
        LevelLoadEvent exit;
        exit.Init("levels/next.vrs", 7);
        EXPECT_EQ(exit.GetName(), "LevelExitTrigger");
        EXPECT_EQ(exit.GetLevelPath(), "levels/next.vrs");
        EXPECT_EQ(exit.GetOrder(), 7);
        EXPECT_FALSE(exit.IsTriggered());

        testing::internal::CaptureStdout();
        exit.OnTriggerEnter();
        EXPECT_TRUE(transition.IsSweeping());
        EXPECT_FALSE(exit.IsTriggered());
        transition.Update(0.05f);
        const float progress = transition.GetProgress();
        exit.OnTriggerEnter();
        const std::string output = testing::internal::GetCapturedStdout();
        // A second enter does not restart the sweep.
        EXPECT_FLOAT_EQ(transition.GetProgress(), progress);
        EXPECT_EQ(output.find("START TRANSITION"), output.rfind("START TRANSITION")) << output;

        for (int frame = 0; frame < 200 && transition.IsSweeping(); ++frame)
        {
            transition.Update(0.05f);
        }
        ASSERT_FALSE(transition.IsSweeping());
        EXPECT_TRUE(exit.IsTriggered());
        // Touching the exit again once the sweep is over starts no new one.
        exit.OnTriggerEnter();
        EXPECT_FALSE(transition.IsSweeping());
        EXPECT_TRUE(exit.IsTriggered());
    }

    TEST_F(TriggeredEventTest, BlackBarsSlowTheBirdWhileShownAndLeaveWithIt)
    {
        const LevelFolder folder = MakeLevel("bars");
        AddFloorAndPlayer(folder);
        folder.Add("Bars", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 6), Int("Order", 6), Float("Duration", 0.5f) });
        Load(folder);
        const BlackBars& bars = myLevel->GetBlackBars();
        const auto& event = myLevel->GetEvents()[0];
        ASSERT_FALSE(bars.IsShowing());

        myLevel->EnterTrigger(6);
        EXPECT_TRUE(event->IsTriggered());
        EXPECT_TRUE(bars.IsShowing());
        EXPECT_FLOAT_EQ(bars.GetTransitionTime(), 0.5f);
        EXPECT_EQ(PlayCount("Cave_Event"), 1u);
        BlackBars& mutableBars = const_cast<BlackBars&>(bars);
        for (int frame = 0; frame < 10; ++frame)
        {
            mutableBars.Update(0.1f);
        }
        EXPECT_FLOAT_EQ(GetPlayer().GetSpeedFactor(), 0.5f);

        myLevel->ExitTrigger(6);
        EXPECT_FALSE(event->IsTriggered());
        EXPECT_TRUE(bars.IsHiding());
        EXPECT_FLOAT_EQ(GetPlayer().GetSpeedFactor(), 1.0f);

        // The zone fires again: the bars and the music come back.
        myLevel->EnterTrigger(6);
        EXPECT_TRUE(event->IsTriggered());
        EXPECT_TRUE(bars.IsShowing());
        EXPECT_EQ(PlayCount("Cave_Event"), 2u);
    }
}
