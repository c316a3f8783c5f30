#include "../level/LevelTestSupport.h"
#include "../level/StandInScreen.h"

#include "events/FoxAttackEvent.h"
#include "events/TriggeredEvent.h"
#include "level/LevelState.h"
#include "overlays/Transition.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace
{
    using namespace LevelTestSupport;

    constexpr float FRAME = 1.0f / 60.0f;
    constexpr int KEY_RIGHT = 39;

    // A level loaded from its folder and pushed over a menu, run frame by frame.
    class PlayerInLevelTest : public LevelTest
    {
    protected:
        void SetUp() override
        {
            LevelTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            Transition::GetInstance()->Init(0.7f, 1.5f);
            FinishSweep();
        }

        void TearDown() override
        {
            myStack.reset();
            LevelTest::TearDown();
        }

        LevelState& Start(const LevelFolder& aFolder)
        {
            myStack->PushState(std::make_unique<StandInScreen>(*myStack));
            auto level = std::make_unique<LevelState>(*myStack);
            testing::internal::CaptureStdout();
            EXPECT_TRUE(level->LoadScene(aFolder.GetScenePath()));
            LevelState& result = *level;
            myStack->PushLayer(std::move(level));
            testing::internal::GetCapturedStdout();
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

        void Frame()
        {
            myInput.Update();
            testing::internal::CaptureStdout();
            myStack->Update(FRAME, myInput);
            testing::internal::GetCapturedStdout();
        }

        // Frames until the bird's x passes anX; false when it does not within a few seconds.
        bool WalkRightPast(LevelState& aLevel, float anX)
        {
            myInput.HandleMessage(Platform::WM_KEYDOWN, KEY_RIGHT, 0);
            for (int frame = 0; frame < 600; ++frame)
            {
                Frame();
                if (aLevel.GetPlayer()->GetPosition().x > anX)
                {
                    return true;
                }
            }
            return false;
        }

        std::unique_ptr<SceneStateStack> myStack = std::make_unique<SceneStateStack>();
        CommonUtilities::InputHandler myInput;
    };

    // The floor's top lies at y 100; a trigger box spans x 600 to 800.
    LevelFolder& AddBarZone(LevelFolder& aFolder)
    {
        AddFloorAndPlayer(aFolder);
        aFolder.Add("Bars", "EventEffect", { 0.0f, 0.0f, 0.0f }, { Int("Flag", 6), Int("Order", 5), Float("Duration", 0.2f) });
        aFolder.Add("BarZone", "EventTrigger", { 600.0f, 100.0f, 0.0f }, { Int("Order", 5) }, { 2.0f, 3.0f, 1.0f });
        return aFolder;
    }

    TEST_F(PlayerInLevelTest, WalkingThroughATriggerBoxEntersAndLeavesItsEvents)
    {
        LevelFolder folder = MakeLevel("barzone");
        LevelState& level = Start(AddBarZone(folder));
        ASSERT_EQ(level.GetEvents().size(), 1u);
        const std::shared_ptr<TriggeredEvent> bars = level.GetEvents()[0];

        // The event starts on the first frame the sphere's centre comes within 40 units.
        float before = level.GetPlayer()->GetPosition().x;
        myInput.HandleMessage(Platform::WM_KEYDOWN, KEY_RIGHT, 0);
        for (int frame = 0; frame < 600 && !bars->IsTriggered(); ++frame)
        {
            before = level.GetPlayer()->GetPosition().x;
            Frame();
        }
        ASSERT_TRUE(bars->IsTriggered());
        EXPECT_LT(before, 560.0f);
        EXPECT_GE(level.GetPlayer()->GetPosition().x, 560.0f);
        EXPECT_TRUE(level.GetPlayer()->GetInsideTriggers()[0]);

        // Inside until the centre is 40 units past the box's end at x 800 (a frame's walk short of
        // it, and a frame's walk beyond).
        ASSERT_TRUE(WalkRightPast(level, 832.0f));
        EXPECT_TRUE(bars->IsTriggered());
        ASSERT_TRUE(WalkRightPast(level, 848.0f));
        EXPECT_FALSE(bars->IsTriggered()) << "leaving the box exits the bars' event";
        EXPECT_FALSE(level.GetPlayer()->GetInsideTriggers()[0]);
    }

    TEST_F(PlayerInLevelTest, RespawningInsideATriggerBoxExitsItsEvents)
    {
        LevelFolder folder = MakeLevel("respawnzone");
        LevelState& level = Start(AddBarZone(folder));
        const std::shared_ptr<TriggeredEvent> bars = level.GetEvents()[0];
        ASSERT_TRUE(WalkRightPast(level, 700.0f));
        ASSERT_TRUE(bars->IsTriggered());
        level.GetPlayer()->Respawn({ 200.0f, 100.0f, 50.0f });
        EXPECT_FALSE(bars->IsTriggered());
        EXPECT_FALSE(level.GetPlayer()->GetInsideTriggers()[0]);
    }

    TEST_F(PlayerInLevelTest, TouchingAnAttackingFoxKillsTheBird)
    {
        LevelFolder folder = MakeLevel("fox");
        AddFloorAndPlayer(folder);
        folder.Add("Fox", "EventEffect", { 1000.0f, 100.0f, 0.0f }, { Int("Flag", 2), Int("Order", 7), Float("Duration", 5.0f), Float("Speed", 0.0f) });
        LevelState& level = Start(folder);
        Player& player = *level.GetPlayer();
        ASSERT_EQ(player.GetFoxAttackEvents().size(), 1u);

        // In the fox's reach before it attacks: nothing happens.
        player.SetPosition({ 1000.0f, 100.0f, 50.0f });
        Frame();
        Frame();
        EXPECT_FALSE(player.IsHazardHit());

        level.EnterTrigger(7);
        ASSERT_TRUE(player.GetFoxAttackEvents()[0]->IsAttackActive());
        Frame(); // the fox takes its boxes
        player.SetPosition({ 1000.0f, 100.0f, 50.0f });
        Frame();
        EXPECT_TRUE(player.IsHazardHit() || player.IsDead());
    }

    TEST_F(PlayerInLevelTest, NearAnAttackingFoxItsChargeStartsWithoutKillingTheBird)
    {
        // The fox's clips decide when its charge is ready.
        const fs::path clips = fs::path(std::getenv("VRA_SOURCE_DIR")) / "Content" / "Game" / "animation" / "Fox";
        fs::create_directories(GameFolder() / "animation" / "Fox");
        for (const fs::directory_entry& entry : fs::directory_iterator(clips))
        {
            fs::copy_file(entry.path(), GameFolder() / "animation" / "Fox" / entry.path().filename());
        }
        LevelFolder folder = MakeLevel("foxcharge");
        AddFloorAndPlayer(folder);
        // High enough that the bird standing on the floor is level with the fox's boxes; it never moves.
        folder.Add("Fox", "EventEffect", { 2000.0f, 200.0f, 0.0f },
                   { Int("Flag", 2), Int("Order", 7), Float("Duration", 100.0f), Float("Speed", 0.0f), Float("Delay", 0.0f) });
        LevelState& level = Start(folder);
        Player& player = *level.GetPlayer();
        ASSERT_EQ(player.GetFoxAttackEvents().size(), 1u);
        FoxAttackEvent& fox = *player.GetFoxAttackEvents()[0];

        level.EnterTrigger(7);
        for (int frame = 0; frame < 600 && !fox.IsChargeReady(); ++frame)
        {
            Frame();
        }
        ASSERT_TRUE(fox.IsChargeReady());
        ASSERT_TRUE(fox.IsAttackActive());
        EXPECT_FALSE(fox.IsCharging()) << "the bird is far away";
        EXPECT_FALSE(player.IsHazardHit());

        // The sphere's centre 30 units right of the charge box: in its reach, 90 units clear of the
        // attack box, whose edge lies 60 units inside.
        const Box charge = fox.GetChargeBox();
        const Box attack = fox.GetAttackBox();
        ASSERT_NEAR(charge.myMax.x - attack.myMax.x, 60.0f, 1e-3f);
        const float centreY = player.GetPosition().y + Player::SPHERE_HEIGHT;
        ASSERT_GT(centreY, charge.myMin.y);
        ASSERT_LT(centreY, charge.myMax.y);
        ASSERT_GT(centreY, attack.myMin.y);
        ASSERT_LT(centreY, attack.myMax.y);
        player.SetPosition({ charge.myMax.x + 30.0f, player.GetPosition().y, Player::DEPTH });
        Frame();
        EXPECT_TRUE(fox.IsCharging());
        EXPECT_FALSE(player.IsHazardHit());
        EXPECT_FALSE(player.IsDead());

        // Inside the attack box's reach: the bird dies.
        player.SetPosition({ attack.myMax.x + 30.0f, player.GetPosition().y, Player::DEPTH });
        Frame();
        Frame();
        EXPECT_TRUE(player.IsDead());
    }
}
