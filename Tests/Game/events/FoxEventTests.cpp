#include "../level/LevelTestSupport.h"

#include "events/FoxAttackEvent.h"
#include "events/FoxSneakEvent.h"

#include "Engine.h"
#include "graphics/TextureResource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
    using namespace LevelTestSupport;

    constexpr float STEP = 1.0f / 32.0f;

    CommonUtilities::Matrix4x4 Placed(float anX, float aY, float aZ, float aScale = 1.0f)
    {
        CommonUtilities::Matrix4x4 transform;
        for (int axis = 1; axis <= 3; ++axis)
        {
            transform(axis, axis) = aScale;
        }
        transform(4, 1) = anX;
        transform(4, 2) = aY;
        transform(4, 3) = aZ;
        return transform;
    }

    // The fox's model and clips, as the content holds them.
    class FoxEventTest : public LevelTest
    {
    protected:
        void SetUp() override
        {
            LevelTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            const fs::path content = fs::path(std::getenv("VRA_SOURCE_DIR")) / "Content" / "Game" / "animation" / "Fox";
            fs::create_directories(GameFolder() / "animation" / "Fox");
            for (const fs::directory_entry& entry : fs::directory_iterator(content))
            {
                fs::copy_file(entry.path(), GameFolder() / "animation" / "Fox" / entry.path().filename());
            }
            LoadTestSounds(GameFolder(), { "Fox_Running", "Fox_Vocal", "Fox_Vocal2" });
        }

        static void ExpectBox(const Box& aBox, const CommonUtilities::Vector3f& aCenter, const CommonUtilities::Vector3f& aHalf)
        {
            EXPECT_NEAR(aBox.myMin.x, aCenter.x - aHalf.x, 1e-3f);
            EXPECT_NEAR(aBox.myMin.y, aCenter.y - aHalf.y, 1e-3f);
            EXPECT_NEAR(aBox.myMin.z, aCenter.z - aHalf.z, 1e-3f);
            EXPECT_NEAR(aBox.myMax.x, aCenter.x + aHalf.x, 1e-3f);
            EXPECT_NEAR(aBox.myMax.y, aCenter.y + aHalf.y, 1e-3f);
            EXPECT_NEAR(aBox.myMax.z, aCenter.z + aHalf.z, 1e-3f);
        }

        static CommonUtilities::Vector3f Position(const FoxAttackEvent& anEvent)
        {
            const CommonUtilities::Matrix4x4& transform = anEvent.GetWorldTransform();
            return { transform(4, 1), transform(4, 2), transform(4, 3) };
        }
    };

    // Draw calls of one render of the fox.
    std::uint32_t DrawsOf(FoxAttackEvent& aFox)
    {
        const std::uint32_t before = Vra::Engine::GetDrawCallCount();
        aFox.Render();
        return Vra::Engine::GetDrawCallCount() - before;
    }

    TEST_F(FoxEventTest, TheAttackAnticipatesThenChargesForItsDurationWithItsBoxes)
    {
        FoxAttackEvent fox;
        fox.Init(Placed(1000.0f, 100.0f, 0.0f, 2.0f), 2, 300.0f, 1.0f, true, 0.5f);
        EXPECT_EQ(fox.GetHalfExtents(), (CommonUtilities::Vector3f{ 400.0f, 160.0f, 200.0f }));
        EXPECT_EQ(fox.GetDirection(), (CommonUtilities::Vector3f{ -1.0f, 0.0f, 0.0f }));
        EXPECT_FALSE(fox.IsTriggered());
        EXPECT_FALSE(fox.IsAttackActive());

        fox.OnTriggerEnter();
        EXPECT_TRUE(fox.IsTriggered());
        EXPECT_TRUE(fox.IsAttackActive());
        EXPECT_EQ(PlayCount("Fox_Vocal"), 1u);
        // Facing its charge: forward along -x, up stays up.
        EXPECT_NEAR(fox.GetWorldTransform()(3, 1), -1.0f, 1e-6f);
        EXPECT_NEAR(fox.GetWorldTransform()(2, 2), 1.0f, 1e-6f);
        EXPECT_NEAR(fox.GetWorldTransform()(1, 3), 1.0f, 1e-6f);

        // Nothing moves before the charge is ready; the anticipation waits for the delay.
        for (int step = 0; step < 400 && !fox.IsChargeReady(); ++step)
        {
            fox.Update(STEP);
            if (!fox.IsChargeReady())
            {
                EXPECT_FLOAT_EQ(Position(fox).x, 1000.0f);
            }
            if (!fox.HasAnticipated())
            {
                EXPECT_LE(static_cast<float>(step + 1) * STEP, 0.5f);
            }
        }
        ASSERT_TRUE(fox.IsChargeReady());
        EXPECT_TRUE(fox.HasAnticipated());
        ASSERT_TRUE(fox.HasCollider());
        EXPECT_EQ(PlayCount("Fox_Vocal2"), 1u);
        EXPECT_FLOAT_EQ(fox.GetElapsed(), 0.0f);
        // The update that readies the charge already takes its first stride toward -x.
        EXPECT_NEAR(Position(fox).x, 1000.0f - 300.0f * STEP, 1e-3f);
        ExpectBox(fox.GetAttackBox(), Position(fox), fox.GetHalfExtents() * 0.9f);
        ExpectBox(fox.GetChargeBox(), Position(fox), fox.GetHalfExtents() * 1.2f);

        fox.Update(STEP);
        EXPECT_NEAR(Position(fox).x, 1000.0f - 2.0f * 300.0f * STEP, 1e-3f);
        ExpectBox(fox.GetAttackBox(), Position(fox), fox.GetHalfExtents() * 0.9f);
        for (int frame = 0; frame < 40; ++frame)
        {
            fox.Update(STEP);
        }
        // Strides while the time since the charge was readied stays below the 1 s duration.
        EXPECT_NEAR(Position(fox).x, 1000.0f - 300.0f, 1e-2f);
        EXPECT_FALSE(fox.IsAttackActive());
        EXPECT_EQ(PlayCount("Fox_Vocal2"), 1u);
    }

    TEST_F(FoxEventTest, AChargeNeedsTheChargeReadyAndLastsTwoSeconds)
    {
        FoxAttackEvent fox;
        fox.Init(Placed(0.0f, 0.0f, 0.0f), 2, 100.0f, 100.0f, false, 0.0f);
        fox.OnTriggerEnter();
        fox.StartCharge();
        EXPECT_FALSE(fox.IsCharging());

        // Delay 0: the attack anticipation starts on the first update.
        fox.Update(STEP);
        EXPECT_TRUE(fox.HasAnticipated());
        EXPECT_TRUE(fox.HasCollider());
        for (int step = 0; step < 400 && !fox.IsChargeReady(); ++step)
        {
            fox.Update(STEP);
        }
        ASSERT_TRUE(fox.IsChargeReady());
        fox.StartCharge();
        EXPECT_TRUE(fox.IsCharging());
        for (int step = 0; step < 63; ++step)
        {
            fox.Update(STEP);
        }
        EXPECT_TRUE(fox.IsCharging());
        fox.Update(STEP);
        fox.Update(STEP);
        EXPECT_FALSE(fox.IsCharging());
        // Going right it ran toward +x.
        EXPECT_GT(Position(fox).x, 0.0f);
    }

    TEST_F(FoxEventTest, AnAttackWithoutDurationNeverMoves)
    {
        FoxAttackEvent fox;
        fox.Init(Placed(500.0f, 0.0f, 0.0f), 2, 300.0f, 0.0f, false, 0.0f);
        fox.OnTriggerEnter();
        for (int step = 0; step < 200; ++step)
        {
            fox.Update(STEP);
            EXPECT_FLOAT_EQ(Position(fox).x, 500.0f);
            EXPECT_EQ(DrawsOf(fox), 0u) << "drawn in update " << step + 1;
        }
        EXPECT_FALSE(fox.IsAttackActive());
    }

    TEST_F(FoxEventTest, ADelayLongerThanTheDurationLeavesTheWholeChargeOnStageAndDangerous)
    {
        constexpr float FRAME = 0.04f;
        constexpr float SPEED = 300.0f;
        constexpr float DURATION = 0.2f;
        FoxAttackEvent fox;
        fox.Init(Placed(1000.0f, 100.0f, 0.0f), 2, SPEED, DURATION, false, 0.3f);
        fox.OnTriggerEnter();
        struct Frame
        {
            bool myMoved;
            bool myIsAttackActive;
            bool myIsDrawn;
        };
        std::vector<Frame> frames;
        for (int update = 0; update < 200; ++update)
        {
            const float before = Position(fox).x;
            fox.Update(FRAME);
            frames.push_back({ Position(fox).x != before, fox.IsAttackActive(), DrawsOf(fox) > 0 });
        }
        const auto lastMove = std::find_if(frames.rbegin(), frames.rend(), [](const Frame& aFrame) { return aFrame.myMoved; });
        ASSERT_NE(lastMove, frames.rend()) << "the fox never charged";
        const std::size_t end = static_cast<std::size_t>(frames.rend() - lastMove);
        for (std::size_t update = 0; update < end; ++update)
        {
            EXPECT_TRUE(frames[update].myIsAttackActive) << "harmless in update " << update + 1;
            EXPECT_TRUE(frames[update].myIsDrawn) << "not drawn in update " << update + 1;
        }
        // It ran for its duration, then left the stage.
        EXPECT_NEAR(Position(fox).x - 1000.0f, SPEED * DURATION, SPEED * FRAME + 1e-2f);
        EXPECT_FALSE(frames.back().myIsAttackActive);
        EXPECT_FALSE(frames.back().myIsDrawn);
    }

    TEST_F(FoxEventTest, TheSneakingFoxMirrorsByItsSideAndPlaysOnce)
    {
        struct Case
        {
            bool myIsGoingLeft;
            bool myIsInBackground;
            float mySignX;
            float mySignZ;
            const char* myTexture;
        };
        const Case cases[] = {
            { true, false, 1.0f, 1.0f, "T_SM_CH_Fox_C_DarkV.dds" },
            { false, false, -1.0f, 1.0f, "T_SM_CH_Fox_C_DarkV.dds" },
            { true, true, 1.0f, -1.0f, "T_SM_CH_Fox_C.dds" },
            { false, true, -1.0f, -1.0f, "T_SM_CH_Fox_C.dds" },
        };
        for (const Case& entry : cases)
        {
            AudioManager::GetInstance().StopAll();
            FoxSneakEvent fox;
            fox.Init(Placed(300.0f, 50.0f, 700.0f, 2.0f), 1, entry.myIsGoingLeft, entry.myIsInBackground, 3, 1.5f);
            EXPECT_EQ(fox.GetStartPosition(), (CommonUtilities::Vector3f{ 300.0f, 50.0f, 700.0f }));
            EXPECT_NEAR(fox.GetAnimatedObject().GetScale().x, 0.6f, 1e-5f);
            const auto& textures = fox.GetAnimatedObject().GetModelInstance().GetTextures();
            ASSERT_NE(textures[0][0], nullptr);
            EXPECT_NE(textures[0][0]->myRequestedPath.find(entry.myTexture), std::string::npos) << textures[0][0]->myRequestedPath;

            fox.OnTriggerEnter();
            fox.OnTriggerEnter();
            EXPECT_EQ(PlayCount("Fox_Running"), 1u);
            EXPECT_NEAR(fox.GetAnimatedObject().GetScale().x, 0.6f * entry.mySignX, 1e-5f);
            EXPECT_NEAR(fox.GetAnimatedObject().GetScale().z, 0.6f * entry.mySignZ, 1e-5f);
            EXPECT_NE(fox.GetAnimatedObject().GetCurrentAnimation(), nullptr);
        }
    }
}
