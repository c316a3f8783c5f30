#include "overlays/Transition.h"

#include "../GameTestSupport.h"

#include "graphics/Camera.h"
#include "shell/EventBus.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
    constexpr float SPEED = 0.7f;
    constexpr float ACCELERATION = 1.5f;
    constexpr float FADE_SPEED = SPEED * 3.5f;

    // One sweep step as the transition takes it: speed, then acceleration on the new progress.
    float SweepStep(float aProgress, float aStep)
    {
        const float moved = aProgress + aStep * SPEED;
        return moved + moved * ACCELERATION * aStep;
    }

    // The render size is 128 by 64, so the cover is 256 by 128 centred on (128, 64).
    class TransitionTest : public GameTestSupport::GameEngineTest
    {
    protected:
        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddSprite(Transition::COVER_TEXTURE, GameTestSupport::BLACK);
            myTransition.Init(SPEED, ACCELERATION);
        }

        // Updates until no phase runs, at most a few seconds' worth.
        void RunOut(float aStep = 1.0f / 60.0f)
        {
            for (int frame = 0; frame < 600 && (myTransition.IsSweeping() || myTransition.IsFading()); ++frame)
            {
                myTransition.Update(aStep);
                myTransition.Render();
            }
        }

        Transition myTransition;
    };

    TEST_F(TransitionTest, InitSizesTheCoverAtTwiceTheRenderSize)
    {
        EXPECT_EQ(myTransition.GetCoverSprite().mySize, (Vra::Vector2f{ 256.0f, 128.0f }));
        EXPECT_EQ(myTransition.GetCoverSprite().myPivot, (Vra::Vector2f{ 0.5f, 0.5f }));
        EXPECT_NE(myTransition.GetCoverSpriteData().myColorTexture, nullptr);
        EXPECT_TRUE(myTransition.IsHidden());
    }

    TEST_F(TransitionTest, ALongFrameAdvancesAsIfATenthOfASecondHadPassed)
    {
        myTransition.FadeToBlack({});
        myTransition.Update(2.0f);
        EXPECT_FLOAT_EQ(myTransition.GetProgress(), 0.1f * FADE_SPEED);

        Transition sweep;
        sweep.Init(SPEED, ACCELERATION);
        sweep.Start();
        sweep.Update(2.0f);
        EXPECT_FLOAT_EQ(sweep.GetProgress(), SweepStep(0.0f, 0.1f));
    }

    TEST_F(TransitionTest, FadeToBlackRunsOnlyTheFirstCallbackOnceWhenTheScreenIsCovered)
    {
        int first = 0;
        int second = 0;
        myTransition.FadeToBlack([&] { ++first; });
        myTransition.FadeToBlack([&] { ++second; }); // a second button in the same frame
        int frames = 0;
        while (first == 0 && frames < 100)
        {
            myTransition.Update(0.05f);
            ++frames;
        }
        EXPECT_EQ(first, 1);
        // 1.2 at 2.45 per second: the callback comes after about 0.49 s.
        EXPECT_EQ(frames, 10);
        for (int frame = 0; frame < 50; ++frame)
        {
            myTransition.Update(0.05f);
            myTransition.Render();
        }
        EXPECT_EQ(first, 1);
        EXPECT_EQ(second, 0);
        EXPECT_TRUE(myTransition.IsHidden()) << "without a fade back the cover goes after its last frame";
    }

    TEST_F(TransitionTest, FadeAlphaRisesToOpaqueThenTheFadeBackStartsNextFrame)
    {
        myTransition.FadeToBlack([this] { myTransition.FadeFromBlack(); });
        myTransition.Update(0.1f);
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myColor.a, 0.245f);
        myTransition.Update(0.1f);
        myTransition.Update(0.1f);
        myTransition.Update(0.1f);
        myTransition.Update(0.05f); // progress 1.1: black, but the fade has not ended
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myColor.a, 1.0f);
        EXPECT_TRUE(myTransition.IsFading());
        myTransition.Update(0.05f); // progress 1.225: covered, the callback starts the fade back
        myTransition.Render();
        EXPECT_TRUE(myTransition.IsHidden()) << "the frame that ended a fade is its last";

        myTransition.Update(0.1f);
        EXPECT_FALSE(myTransition.IsHidden());
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myColor.a, 1.0f - 0.245f);
        RunOut(0.1f);
        EXPECT_TRUE(myTransition.IsHidden());
    }

    TEST_F(TransitionTest, StartWhileStartingKeepsItsProgressAndEndRestartsFromZero)
    {
        myTransition.Start();
        myTransition.Update(0.05f);
        const float progress = myTransition.GetProgress();
        ASSERT_GT(progress, 0.0f);
        myTransition.Start();
        EXPECT_FLOAT_EQ(myTransition.GetProgress(), progress);
        myTransition.End();
        EXPECT_FLOAT_EQ(myTransition.GetProgress(), 0.0f);
        EXPECT_TRUE(myTransition.IsSweeping());
        RunOut();
        EXPECT_FALSE(myTransition.IsSweeping());
        EXPECT_TRUE(myTransition.IsHidden()) << "the reveal ends hidden after its last frame";
    }

    TEST_F(TransitionTest, StartSweepSlidesFromOneCoverWidthLeftToTheCentreAndStaysThere)
    {
        myTransition.Start();
        myTransition.Update(0.05f);
        myTransition.Render();
        const float progress = SweepStep(0.0f, 0.05f);
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myPosition.x, 128.0f - 256.0f + 256.0f * progress);
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myPosition.y, 64.0f);
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myColor.a, 1.0f);

        float lastX = myTransition.GetCoverSprite().myPosition.x;
        RunOut();
        EXPECT_FALSE(myTransition.IsSweeping());
        EXPECT_FALSE(myTransition.IsHidden()) << "a finished start sweep keeps covering";
        EXPECT_GT(myTransition.GetCoverSprite().myPosition.x, lastX);
        EXPECT_LE(myTransition.GetCoverSprite().myPosition.x, 128.0f);
        lastX = myTransition.GetCoverSprite().myPosition.x;
        myTransition.Update(0.05f);
        myTransition.Render();
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myPosition.x, lastX);
    }

    TEST_F(TransitionTest, EndSweepSlidesFromTheCentreToTheRight)
    {
        myTransition.End();
        myTransition.Update(0.05f);
        myTransition.Render();
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myPosition.x, 128.0f + 256.0f * SweepStep(0.0f, 0.05f));
    }

    TEST_F(TransitionTest, ResizeDuringASweepChangesTheCoverFromTheNextUpdateAndKeepsTheProgress)
    {
        myTransition.Start();
        myTransition.Update(0.05f);
        const float progress = myTransition.GetProgress();
        EventBus<ResizeEvent>::Broadcast({ 200, 100 });
        EXPECT_EQ(myTransition.GetCoverSprite().mySize, (Vra::Vector2f{ 400.0f, 200.0f }));
        EXPECT_FLOAT_EQ(myTransition.GetProgress(), progress);
        myTransition.Update(0.05f);
        myTransition.Render();
        const float next = SweepStep(progress, 0.05f);
        EXPECT_FLOAT_EQ(myTransition.GetProgress(), next);
        EXPECT_FLOAT_EQ(myTransition.GetCoverSprite().myPosition.x, 200.0f - 400.0f + 400.0f * next);
    }

    TEST_F(TransitionTest, TheCameraCentresSweepsAndOnRequestFades)
    {
        // Without a camera the request has no effect.
        myTransition.FadeToBlack({});
        myTransition.Update(0.1f);
        myTransition.CenterOnCamera();
        myTransition.Render();
        EXPECT_EQ(myTransition.GetCoverSprite().myPosition, (Vra::Vector2f{ 128.0f, 64.0f }));

        auto camera = std::make_shared<Vra::Camera>();
        camera->myTransform.SetTranslation({ 500.0f, 300.0f, -1000.0f });
        myTransition.SetCamera(camera);
        myTransition.Update(0.01f);
        myTransition.Render();
        EXPECT_EQ(myTransition.GetCoverSprite().myPosition, (Vra::Vector2f{ 128.0f, 64.0f })) << "a fade is centred on the camera only when asked";
        myTransition.CenterOnCamera();
        myTransition.Update(0.01f);
        myTransition.Render();
        EXPECT_EQ(myTransition.GetCoverSprite().myPosition, (Vra::Vector2f{ 500.0f, 300.0f }));
        myTransition.Update(0.01f);
        myTransition.Render();
        EXPECT_EQ(myTransition.GetCoverSprite().myPosition, (Vra::Vector2f{ 128.0f, 64.0f })) << "the request lasts one frame";

        Transition sweep;
        sweep.Init(SPEED, ACCELERATION);
        sweep.SetCamera(camera);
        sweep.End();
        sweep.Update(0.05f);
        sweep.Render();
        EXPECT_FLOAT_EQ(sweep.GetCoverSprite().myPosition.x, 500.0f + 256.0f * SweepStep(0.0f, 0.05f));
        EXPECT_FLOAT_EQ(sweep.GetCoverSprite().myPosition.y, 300.0f);
    }

    TEST_F(TransitionTest, AFullFadeCoversTheWholeFrameInBlack)
    {
        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        myTransition.FadeToBlack({});
        myTransition.Update(0.1f);
        myTransition.Update(0.1f);
        myTransition.Update(0.1f);
        myTransition.Update(0.1f);
        myTransition.Update(0.05f); // progress 1.1: fully opaque, not yet at its end
        ASSERT_FLOAT_EQ(myTransition.GetCoverSprite().myColor.a, 1.0f);
        myTransition.Render();
        const Screen screen = ReadScreen();
        for (const auto& [x, y] : { std::pair{ 0, 0 }, std::pair{ 127, 63 }, std::pair{ 64, 32 }, std::pair{ 0, 63 }, std::pair{ 127, 0 } })
        {
            EXPECT_EQ(screen.At(x, y).r, 0) << x << ", " << y;
            EXPECT_EQ(screen.At(x, y).g, 0) << x << ", " << y;
        }
    }

    TEST_F(TransitionTest, AHalfWayFadeDarkensAndAHiddenCoverDrawsNothing)
    {
        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        myTransition.Render(); // hidden: nothing drawn
        EXPECT_EQ(ReadScreen().At(64, 32).r, 255);

        myTransition.FadeToBlack({});
        myTransition.Update(0.1f); // alpha 0.245
        myTransition.Render();
        const int level = ReadScreen().At(64, 32).r;
        EXPECT_LT(level, 255);
        EXPECT_GT(level, 128);
    }
}
