#include "overlays/SpeedrunTimer.h"

#include "../GameTestSupport.h"

#include <gtest/gtest.h>

namespace
{
    constexpr std::uint32_t WIDTH = 320;
    constexpr std::uint32_t HEIGHT = 180;

    class SpeedrunTimerTest : public GameTestSupport::GameEngineTest
    {
    protected:
        SpeedrunTimerTest() : GameEngineTest(WIDTH, HEIGHT) {}

        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddFont("CinzelDecorative-Bold.ttf");
            AddSprite(SpeedrunTimer::BAR_TEXTURE, GameTestSupport::BLACK);
            myTimer.Init();
        }

        SpeedrunTimer myTimer;
    };

    struct ShownTime
    {
        float mySeconds;
        const char* myShown;
    };

    TEST_F(SpeedrunTimerTest, ShowsMinutesSecondsAndMilliseconds)
    {
        const ShownTime cases[] = {
            { 0.0004f, "00:00.000" },
            { 75.25f, "01:15.250" },
            { 59.5f, "00:59.500" },
            { 600.0f, "10:00.000" },
            { 7000.0f, "99:59.999" },
        };
        for (const ShownTime& shown : cases)
        {
            SpeedrunTimer::Start(false);
            myTimer.Update(shown.mySeconds);
            EXPECT_EQ(myTimer.GetDisplayedTime(), shown.myShown) << shown.mySeconds;
        }
        EXPECT_FLOAT_EQ(myTimer.GetTime(), SpeedrunTimer::MAX_TIME) << "the time stops at its largest";
        myTimer.Update(1.0f);
        EXPECT_EQ(myTimer.GetDisplayedTime(), "99:59.999");
    }

    TEST_F(SpeedrunTimerTest, CountdownShowsThreeTwoOneWhileTheTimeWaits)
    {
        SpeedrunTimer::Start(true);
        myTimer.Update(0.5f);
        EXPECT_EQ(myTimer.GetCountdownText().GetText(), "3");
        EXPECT_FLOAT_EQ(myTimer.GetCountdownText().GetScale(), 1.25f);
        myTimer.Update(1.0f);
        EXPECT_EQ(myTimer.GetCountdownText().GetText(), "2");
        myTimer.Update(1.0f);
        EXPECT_EQ(myTimer.GetCountdownText().GetText(), "1");
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 0.0f);

        // Past zero in one step: "1" for that frame, the time starts with the next.
        myTimer.Update(0.55f);
        EXPECT_EQ(myTimer.GetCountdownText().GetText(), "1");
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 0.0f);
        myTimer.Update(0.25f);
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 0.25f);
        EXPECT_EQ(myTimer.GetDisplayedTime(), "00:00.250");
    }

    TEST_F(SpeedrunTimerTest, PauseAndStopFreezeTheTime)
    {
        SpeedrunTimer::Start(false);
        myTimer.Update(1.0f);
        SpeedrunTimer::SetPaused(true);
        myTimer.Update(1.0f);
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 1.0f);
        SpeedrunTimer::SetPaused(false);
        myTimer.Update(1.0f);
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 2.0f);
        SpeedrunTimer::Stop();
        myTimer.Update(1.0f);
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 2.0f) << "the time stays until the next start";
        EXPECT_FALSE(myTimer.IsRunning());
        SpeedrunTimer::Start(false);
        EXPECT_FLOAT_EQ(myTimer.GetTime(), 0.0f);
    }

    TEST_F(SpeedrunTimerTest, DigitsSitSideBySideInTheLowerLeftCorner)
    {
        float x = WIDTH * 0.02f;
        for (int index = 0; index < SpeedrunTimer::DIGIT_COUNT; ++index)
        {
            const Vra::Text& digit = myTimer.GetDigit(index);
            EXPECT_FLOAT_EQ(digit.GetPosition().x, x) << index;
            EXPECT_FLOAT_EQ(digit.GetPosition().y, HEIGHT * 0.95f) << index;
            x += digit.GetWidth() + 4.0f;
        }
        EXPECT_EQ(myTimer.GetDisplayedTime(), "00:00.000");
        EXPECT_GT(myTimer.GetDigit(0).GetHeight(), myTimer.GetDigit(6).GetHeight()) << "milliseconds are smaller";

        const float digitHeight = myTimer.GetDigit(0).GetHeight();
        const Vra::Sprite2DInstanceData& bar = myTimer.GetBarSprite();
        EXPECT_EQ(bar.myPivot, (Vra::Vector2f{ 0.0f, 0.5f }));
        EXPECT_FLOAT_EQ(bar.myPosition.y, HEIGHT * 0.95f + digitHeight * 0.125f);
        EXPECT_FLOAT_EQ(bar.mySize.x, x);
        EXPECT_FLOAT_EQ(bar.mySize.y, digitHeight * 0.5f);

        SpeedrunTimer::SetScreenSize(640.0f, 360.0f);
        EXPECT_FLOAT_EQ(myTimer.GetDigit(0).GetPosition().x, 640.0f * 0.02f);
        EXPECT_FLOAT_EQ(myTimer.GetDigit(0).GetPosition().y, 360.0f * 0.95f);
        EXPECT_FLOAT_EQ(myTimer.GetBarSprite().myPosition.y, 360.0f * 0.95f + digitHeight * 0.125f);
        EXPECT_FLOAT_EQ(myTimer.GetBarSprite().mySize.x, x) << "the bar keeps its size";
    }

    TEST_F(SpeedrunTimerTest, DrawsOnlyWithTheOptionOnAndTheDisplayAllowed)
    {
        SpeedrunTimer::Start(false);
        myTimer.Update(75.25f);
        const int barY = static_cast<int>(myTimer.GetBarSprite().myPosition.y);

        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        SpeedrunTimer::SetDisplayActive(true);
        myTimer.Render(); // the speedrun option is off
        EXPECT_EQ(ReadScreen().At(1, barY).r, 255);
        myTimer.Update(1.0f);
        EXPECT_EQ(myTimer.GetDisplayedTime(), "01:16.250") << "a started run is timed all the same";

        SpeedrunTimer::ToggleVisible();
        EXPECT_TRUE(SpeedrunTimer::IsVisible());
        SpeedrunTimer::SetDisplayActive(false);
        myTimer.Render();
        EXPECT_EQ(ReadScreen().At(1, barY).r, 255);

        SpeedrunTimer::SetDisplayActive(true);
        myTimer.Render();
        const Screen screen = ReadScreen();
        EXPECT_EQ(screen.At(1, barY).r, 0) << "the bar starts at the left edge";
        const int barEnd = static_cast<int>(myTimer.GetBarSprite().mySize.x);
        EXPECT_EQ(screen.At(barEnd + 3, barY).r, 255) << "and ends after the last digit";
        // The digits are white over the bar: some of the first digit's box is lit.
        int lit = 0;
        const Vra::Text& first = myTimer.GetDigit(0);
        for (int x = static_cast<int>(first.GetPosition().x); x < static_cast<int>(first.GetPosition().x + first.GetWidth()); ++x)
        {
            for (int y = static_cast<int>(first.GetPosition().y); y < static_cast<int>(first.GetPosition().y + first.GetHeight()) && y < static_cast<int>(HEIGHT); ++y)
            {
                lit += screen.At(x, y).r > 200 && screen.At(x, y).g > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(lit, 0);
    }

    TEST_F(SpeedrunTimerTest, DuringTheCountdownOnlyTheNumberIsDrawn)
    {
        SpeedrunTimer::ToggleVisible();
        SpeedrunTimer::SetDisplayActive(true);
        SpeedrunTimer::Start(true);
        myTimer.Update(0.5f);
        const int barY = static_cast<int>(myTimer.GetBarSprite().myPosition.y);
        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        myTimer.Render();
        EXPECT_EQ(ReadScreen().At(1, barY).r, 255);
    }
}
