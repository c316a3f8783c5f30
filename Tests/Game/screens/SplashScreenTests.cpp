#include "screens/SplashScreen.h"

#include "../GameTestSupport.h"

#include "Engine.h"
#include "InputHandler.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "window/VirtualKeys.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace
{
    constexpr std::array<std::uint8_t, 4> BLUE{ 0, 0, 255, 255 };

    class SplashScreenTest : public GameTestSupport::GameEngineTest
    {
    protected:
        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddSprite(SplashScreen::LOGO_TEXTURES[0], GameTestSupport::RED, 16, 8);
            AddSprite(SplashScreen::LOGO_TEXTURES[1], GameTestSupport::GREEN, 8, 8);
            AddSprite(SplashScreen::LOGO_TEXTURES[2], BLUE, 24, 4);
        }

        static Vra::SpriteDrawer& Drawer() { return Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer(); }

        // The logo each update drew (-1 for none), until the splash ends or aLimit updates ran.
        std::vector<int> RunUntilFinished(SplashScreen& aSplash, float aDeltaTime, int aLimit = 1000)
        {
            std::vector<int> shown;
            while (!aSplash.IsFinished() && static_cast<int>(shown.size()) < aLimit)
            {
                myInput.Update();
                aSplash.Update(&Drawer(), aDeltaTime, myInput);
                shown.push_back(aSplash.GetShownLogo());
            }
            return shown;
        }

        CommonUtilities::InputHandler myInput;
    };

    TEST_F(SplashScreenTest, LogosAreCentredAtTheirTexturesSizesInOrder)
    {
        SplashScreen splash;
        splash.Init();
        const std::vector<SplashScreen::Logo>& logos = splash.GetLogos();
        ASSERT_EQ(logos.size(), 3u);
        const std::array<Vra::Vector2f, 3> sizes{ { { 16.0f, 8.0f }, { 8.0f, 8.0f }, { 24.0f, 4.0f } } };
        for (std::size_t index = 0; index < logos.size(); ++index)
        {
            EXPECT_EQ(logos[index].mySprite.myPosition, (Vra::Vector2f{ 64.0f, 32.0f })) << "half the render size";
            EXPECT_EQ(logos[index].mySprite.myPivot, (Vra::Vector2f{ 0.5f, 0.5f }));
            EXPECT_EQ(logos[index].mySprite.mySize, sizes[index]);
            EXPECT_EQ(logos[index].myTimer, 0.0f);
        }
    }

    TEST_F(SplashScreenTest, EachLogoShowsForTwoSecondsOfUpdatesAndTheNextUpdateEndsTheSplash)
    {
        struct Case
        {
            float myDeltaTime;
            int myUpdatesPerLogo;
        };
        // 1/64 s adds up to exactly 2 s: the update that reaches it is the logo's last.
        for (const Case& test : { Case{ 1.0f / 64.0f, 128 }, Case{ 2.5f, 1 }, Case{ 0.5f, 4 } })
        {
            SplashScreen splash;
            splash.Init();
            const std::vector<int> shown = RunUntilFinished(splash, test.myDeltaTime);
            ASSERT_EQ(shown.size(), static_cast<std::size_t>(3 * test.myUpdatesPerLogo + 1)) << "frame time " << test.myDeltaTime;
            for (int logo = 0; logo < 3; ++logo)
            {
                EXPECT_EQ(std::count(shown.begin(), shown.end(), logo), test.myUpdatesPerLogo) << "logo " << logo;
            }
            EXPECT_EQ(shown.back(), -1) << "the finishing update draws nothing";
            EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end() - 1));
        }
    }

    TEST_F(SplashScreenTest, TheUpdateDrawsTheCurrentLogo)
    {
        SplashScreen splash;
        splash.Init();
        splash.Update(&Drawer(), 2.0f, myInput);
        Screen screen = ReadScreen();
        EXPECT_EQ(screen.At(64, 32).r, 255);
        EXPECT_EQ(screen.At(57, 32).r, 255) << "16 wide";
        EXPECT_EQ(screen.At(50, 32).r, 0);

        NextFrame();
        splash.Update(&Drawer(), 2.0f, myInput);
        screen = ReadScreen();
        EXPECT_EQ(screen.At(64, 32).g, 255);
        EXPECT_EQ(screen.At(57, 32).g, 0) << "8 wide";
    }

    TEST_F(SplashScreenTest, EscapeOrStartDuringTheFirstLogoSkipsAllThree)
    {
        for (const bool byPad : { false, true })
        {
            SplashScreen splash;
            splash.Init();
            myInput.Update();
            splash.Update(&Drawer(), 0.1f, myInput);
            ASSERT_EQ(splash.GetShownLogo(), 0);
            if (byPad)
            {
                std::uint32_t packet = 0;
                Platform::SetGamepadStateSource([&packet](std::uint32_t aUser, Platform::GamepadInputState& aState) {
                    aState.myPacketNumber = ++packet;
                    aState.myGamepad.myButtons = Platform::GAMEPAD_START;
                    return aUser == 0;
                });
            }
            else
            {
                myInput.HandleMessage(Platform::WM_KEYDOWN, Platform::VK_ESCAPE, 0);
            }
            myInput.Update();
            splash.Update(&Drawer(), 0.1f, myInput);
            EXPECT_TRUE(splash.IsFinished()) << (byPad ? "START" : "Escape");
            EXPECT_EQ(splash.GetShownLogo(), -1);
            EXPECT_FLOAT_EQ(splash.GetLogos()[0].myTimer, 0.1f) << "the skipping update advances nothing";
            Platform::SetGamepadStateSource({});
            myInput.HandleMessage(Platform::WM_KEYUP, Platform::VK_ESCAPE, 0);
            myInput.Update();
        }
    }
}
