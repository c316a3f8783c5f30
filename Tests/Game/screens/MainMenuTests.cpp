#include "screens/MainMenuState.h"

#include "ScreenTestSupport.h"

#include "overlays/SpeedrunTimer.h"
#include "screens/CreditsState.h"
#include "screens/LevelSelectState.h"
#include "screens/MenuStyle.h"
#include "screens/OptionsState.h"

#include "video/Video.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <thread>

namespace
{
    using namespace ScreenTestSupport;

    class MainMenuTest : public ScreenTest
    {
    protected:
        void SetUp() override
        {
            ScreenTest::SetUp();
            // A plain background, so that what covers it shows in a read-back.
            AddSprite(MenuStyle::BACKGROUND_TEXTURE, GameTestSupport::GREEN, 16, 9);
            // A small logo, clear of the screen's centre.
            AddSprite(MainMenuState::LOGO_TEXTURE, GameTestSupport::GREEN, 4, 4);
        }

        // The menu with its splash skipped.
        MainMenuState& StartMenu()
        {
            MainMenuState& menu = Start<MainMenuState>(StandInLevels(myLevels));
            Press(Platform::VK_ESCAPE);
            EXPECT_TRUE(menu.GetSplashScreen().IsFinished());
            return menu;
        }

        void SelectAndChoose(MainMenuState& aMenu, int anIndex)
        {
            while (aMenu.GetSelectedIndex() != anIndex)
            {
                Press(Platform::VK_DOWN);
            }
            Press(Platform::VK_RETURN);
        }

        // Frames while the menu loads, at most 5 s.
        void FramesWhileLoading(const MainMenuState& aMenu)
        {
            for (int frame = 0; frame < 320 && aMenu.IsLoadingLevel(); ++frame)
            {
                Frame();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ASSERT_FALSE(aMenu.IsLoadingLevel());
        }

        void HoldLoads() { myLevels.myGate = myGate.get_future().share(); }
        void ReleaseLoads() { myGate.set_value(); }

        LevelLog myLevels;
        std::promise<void> myGate;
    };

    TEST_F(MainMenuTest, ButtonsAreCentredAtTheirHeightsAndFollowAResize)
    {
        MainMenuState& menu = StartMenu();
        const std::vector<Vra::Text>& buttons = menu.GetButtons();
        const std::vector<std::string> labels{ "START", "LEVEL SELECT", "OPTIONS", "CREDITS", "EXIT" };
        const std::vector<float> heights{ 0.45f, 0.40f, 0.35f, 0.30f, 0.25f };
        ASSERT_EQ(buttons.size(), labels.size());
        for (const auto& [width, height] : { std::pair{ 1280u, 720u }, std::pair{ 1600u, 900u } })
        {
            if (width != 1280u)
            {
                Resize(width, height);
            }
            for (std::size_t index = 0; index < labels.size(); ++index)
            {
                EXPECT_EQ(buttons[index].GetText(), labels[index]);
                EXPECT_NEAR(CentreX(buttons[index]), width * 0.5f, 0.01f) << labels[index];
                EXPECT_FLOAT_EQ(buttons[index].GetPosition().y, heights[index] * static_cast<float>(height)) << labels[index];
            }
            EXPECT_EQ(menu.GetLogo().GetSprite().myPosition, (Vra::Vector2f{ width * 0.5f, 0.6f * height }));
            EXPECT_EQ(menu.GetLogo().GetSprite().mySize, menu.GetLogo().GetTextureSize() * 0.5f);
            EXPECT_EQ(menu.GetFeather().GetSprite().myPosition, (Vra::Vector2f{ 0.85f * width, 0.2f * height }));
            EXPECT_EQ(menu.GetFeather().GetSprite().mySize, menu.GetFeather().GetTextureSize() * 0.1f);
            EXPECT_EQ(menu.GetBlackBar().GetSprite().mySize, (Vra::Vector2f{ static_cast<float>(width), static_cast<float>(height) }));
            EXPECT_FLOAT_EQ(menu.GetBackground().GetSprite().mySize.y, static_cast<float>(height)) << "the background fills the height";
            EXPECT_FLOAT_EQ(menu.GetBackground().GetSprite().mySize.x, 16.0f * height / 9.0f) << "and keeps its aspect";
        }
    }

    TEST_F(MainMenuTest, TheSplashComesFirstAndTheMenuIgnoresInputMeanwhile)
    {
        AddSprite(SplashScreen::LOGO_TEXTURES[0], GameTestSupport::RED, 32, 32);
        MainMenuState& menu = Start<MainMenuState>(StandInLevels(myLevels));
        Press(Platform::VK_DOWN);
        EXPECT_EQ(menu.GetSelectedIndex(), 0);
        EXPECT_FALSE(menu.GetSplashScreen().IsFinished());
        Screen screen = StepAndRead();
        EXPECT_EQ(screen.At(640, 360).r, 255) << "the first logo";
        EXPECT_EQ(screen.At(100, 600).g, 0) << "nothing of the menu";

        Press(Platform::VK_ESCAPE);
        screen = StepAndRead();
        EXPECT_EQ(screen.At(100, 600).g, 255) << "the menu's background";
        EXPECT_EQ(screen.At(640, 360).r, 0);
    }

    TEST_F(MainMenuTest, KeysMoveTheSelectionOncePerPressAndWrapAround)
    {
        MainMenuState& menu = StartMenu();
        Press(Platform::VK_UP);
        EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::Exit) << "Up on START selects EXIT";
        Press(Platform::VK_DOWN);
        EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::Start) << "Down on EXIT selects START";

        // A key held down moves once.
        myInput.HandleMessage(Platform::WM_KEYDOWN, Platform::VK_DOWN, 0);
        myInput.SetKeyboardMouseActive();
        Frames(40);
        myInput.HandleMessage(Platform::WM_KEYUP, Platform::VK_DOWN, 0);
        Frame();
        EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::LevelSelect);
        for (int press = 0; press < 3; ++press)
        {
            Press(Platform::VK_DOWN);
        }
        EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::Exit) << "one move for every press, without waiting";
        // The colours follow at the start of the next update.
        Frame();
        EXPECT_EQ(menu.GetButtons()[MainMenuState::Exit].GetColor(), MenuStyle::SELECTED_COLOR);
        EXPECT_EQ(menu.GetButtons()[MainMenuState::Start].GetColor(), MenuStyle::NORMAL_COLOR);
    }

    TEST_F(MainMenuTest, AHeldStickOrDpadMovesAtOnceThenEveryQuarterSecond)
    {
        struct Case
        {
            std::uint16_t myButtons;
            std::int16_t myStickY;
            int myDirection;
            // The D-pad counts as held from its second frame down.
            int myFirstFrame;
        };
        for (const Case& test : { Case{ 0, -30000, 1, 1 }, Case{ Platform::GAMEPAD_DPAD_DOWN, 0, 1, 2 }, Case{ Platform::GAMEPAD_DPAD_UP, 0, -1, 2 },
                                  Case{ 0, 30000, -1, 1 } })
        {
            MainMenuState& menu = StartMenu();
            HoldPad(test.myButtons, test.myStickY);
            std::vector<int> movedAt;
            int last = menu.GetSelectedIndex();
            for (int frame = 1; frame <= 64; ++frame)
            {
                Frame();
                if (menu.GetSelectedIndex() != last)
                {
                    EXPECT_EQ(menu.GetSelectedIndex(), (last + test.myDirection + MainMenuState::ButtonCount) % MainMenuState::ButtonCount);
                    last = menu.GetSelectedIndex();
                    movedAt.push_back(frame);
                }
            }
            // 16 frames of 1/64 s are 0.25 s.
            const int first = test.myFirstFrame;
            EXPECT_EQ(movedAt, (std::vector<int>{ first, first + 16, first + 32, first + 48 })) << "buttons " << test.myButtons << ", stick " << test.myStickY;
            HoldPad(0);
            Frame();
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(MainMenuTest, StartInSpeedrunModeShowsNoVideoAndTheLoadingScreenFromTheNextFrame)
    {
        MainMenuState& menu = StartMenu();
        SpeedrunTimer::ToggleVisible();
        ASSERT_TRUE(SpeedrunTimer::IsVisible());
        HoldLoads();
        EXPECT_EQ(StepAndRead().At(100, 600).g, 255) << "the menu's background";

        Press(Platform::VK_RETURN);
        EXPECT_TRUE(menu.IsLoadingLevel());
        EXPECT_FALSE(menu.IsIntroPlaying());
        EXPECT_EQ(menu.GetIntroCutscene().GetVideo(), nullptr);
        EXPECT_FALSE(menu.IsShowingLoadingScreen());
        Frame();
        EXPECT_TRUE(menu.IsShowingLoadingScreen());
        Frames(30);
        EXPECT_TRUE(menu.IsShowingLoadingScreen()) << "until the level is ready";
        EXPECT_NEAR(menu.GetFeather().GetSprite().myRotation, -30.0f * DT, 1e-4f) << "one radian a second";
        EXPECT_EQ(StepAndRead().At(100, 600).g, 0) << "the black bar covers the menu";
        EXPECT_EQ(Stack().GetLayerCount(), 1u);

        ReleaseLoads();
        FramesWhileLoading(menu);
        EXPECT_FALSE(menu.IsShowingLoadingScreen());
        EXPECT_EQ(Stack().GetLayerCount(), 2u) << "the level is on a layer of its own";
        EXPECT_NE(dynamic_cast<StandInLevel*>(Stack().GetTopState()), nullptr);
        EXPECT_EQ(myLevels.myInits, 1);
        EXPECT_EQ(myLevels.myLoadedPaths, (std::vector<std::string>{ MainMenuState::FIRST_LEVEL }));
    }

    TEST_F(MainMenuTest, TheLevelLoadsOnAThreadOfItsOwnWhileTheMenuRuns)
    {
        MainMenuState& menu = StartMenu();
        SpeedrunTimer::ToggleVisible();
        HoldLoads();
        Press(Platform::VK_RETURN);
        // The load cannot finish: were it deferred to the menu's thread, these frames would hang.
        Frames(20);
        const auto loadStarted = [this] {
            const std::lock_guard<std::mutex> lock(myLevels.myMutex);
            return !myLevels.myLoadThreads.empty();
        };
        for (int wait = 0; wait < 500 && !loadStarted(); ++wait)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        {
            const std::lock_guard<std::mutex> lock(myLevels.myMutex);
            ASSERT_EQ(myLevels.myLoadThreads.size(), 1u) << "the load started without the menu asking for its result";
            EXPECT_NE(myLevels.myLoadThreads[0], std::this_thread::get_id());
        }
        EXPECT_TRUE(menu.IsLoadingLevel());
        ReleaseLoads();
        FramesWhileLoading(menu);
    }

    TEST_F(MainMenuTest, EnterDuringTheIntroStopsTheVideoShowsTheLoadingScreenAndFadesTheMusic)
    {
        const GameTestSupport::AudioProbe audio({ "Intro", "Main Menu", "UI_Button" });
        MainMenuState& menu = StartMenu();
        HoldLoads();
        Press(Platform::VK_RETURN);
        ASSERT_TRUE(menu.IsIntroPlaying()) << "the build's intro video plays";
        const std::shared_ptr<Vra::Video> video = menu.GetIntroCutscene().GetVideo();
        ASSERT_NE(video, nullptr);
        EXPECT_EQ(audio.Plays("Intro"), 1u);
        EXPECT_EQ(menu.GetIntroCutscene().GetSprite().myPosition, (Vra::Vector2f{ 0.0f, 720.0f }));
        EXPECT_FLOAT_EQ(menu.GetIntroCutscene().GetSprite().mySize.x, 1280.0f / video->GetVideoSize().x * video->GetTextureSize().x);
        Frames(12, 0.05f);
        const std::uint32_t shown = video->GetPicturesShown();
        EXPECT_GT(shown, 0u);
        EXPECT_FALSE(menu.IsShowingLoadingScreen());

        Press(Platform::VK_RETURN);
        EXPECT_FALSE(menu.IsIntroPlaying());
        EXPECT_TRUE(menu.IsShowingLoadingScreen()) << "in the same frame";
        const float fullVolume = audio.Volume("Intro");
        Frames(32); // half the fade
        EXPECT_EQ(video->GetPicturesShown(), shown) << "the video stopped at its picture";
        EXPECT_NEAR(audio.Volume("Intro") / fullVolume, 0.5f, 0.05f);
        Frames(40);
        EXPECT_EQ(audio.Plays("Intro"), 0u) << "faded out to a stop over 1 s";

        ReleaseLoads();
        FramesWhileLoading(menu);
        EXPECT_EQ(Stack().GetLayerCount(), 2u);
    }

    TEST_F(MainMenuTest, AnUnplayableIntroVideoIsSkipped)
    {
        std::filesystem::create_directories(GameFolder() / "video");
        std::ofstream(GameFolder() / IntroCutscene::VIDEO_PATH) << "not a video at all";
        const GameTestSupport::AudioProbe audio({ "Intro" });
        MainMenuState& menu = StartMenu();
        HoldLoads();
        testing::internal::CaptureStdout();
        Press(Platform::VK_RETURN);
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_NE(output.find("The intro video cannot be played"), std::string::npos) << output;
        EXPECT_FALSE(menu.IsIntroPlaying());
        EXPECT_EQ(audio.Plays("Intro"), 0u);
        Frame();
        EXPECT_TRUE(menu.IsShowingLoadingScreen());
        ReleaseLoads();
        FramesWhileLoading(menu);
        EXPECT_EQ(Stack().GetLayerCount(), 2u);
    }

    TEST_F(MainMenuTest, AFailingOrThrowingLoadLeavesTheMenuAtItsButtons)
    {
        for (const LoadOutcome outcome : { LoadOutcome::Fails, LoadOutcome::Throws })
        {
            myLevels.myOutcome = outcome;
            const int made = myLevels.myMade;
            MainMenuState& menu = StartMenu();
            SpeedrunTimer::ToggleVisible();
            testing::internal::CaptureStdout();
            Press(Platform::VK_RETURN);
            FramesWhileLoading(menu);
            const std::string output = testing::internal::GetCapturedStdout();
            EXPECT_EQ(Stack().GetLayerCount(), 1u);
            EXPECT_EQ(Stack().GetTopState(), &menu);
            EXPECT_EQ(myLevels.myMade, made + 1);
            EXPECT_EQ(myLevels.myDestroyed, myLevels.myMade) << "the level was deleted";
            EXPECT_EQ(myLevels.myInits, 0);
            EXPECT_FALSE(menu.IsShowingLoadingScreen());
            if (outcome == LoadOutcome::Throws)
            {
                EXPECT_NE(output.find("Failed to load scene: levels/level1.vrs: unexpected end of the object file"), std::string::npos) << output;
            }
            Press(Platform::VK_DOWN);
            EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::LevelSelect) << "the buttons answer again";
            SpeedrunTimer::ToggleVisible();
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(MainMenuTest, StartAgainAfterQuittingALevelBuildsAFreshOne)
    {
        MainMenuState& menu = StartMenu();
        SpeedrunTimer::ToggleVisible();
        Press(Platform::VK_RETURN);
        FramesWhileLoading(menu);
        ASSERT_EQ(Stack().GetLayerCount(), 2u);

        Stack().RequestPopLayer();
        Frame();
        ASSERT_EQ(Stack().GetTopState(), &menu);
        EXPECT_EQ(myLevels.myDestroyed, 1);

        Press(Platform::VK_RETURN);
        FramesWhileLoading(menu);
        ASSERT_EQ(Stack().GetLayerCount(), 2u);
        EXPECT_EQ(myLevels.myMade, 2);
        EXPECT_EQ(myLevels.myInits, 2);
        EXPECT_EQ(myLevels.myLoadedPaths, (std::vector<std::string>{ MainMenuState::FIRST_LEVEL, MainMenuState::FIRST_LEVEL }));
    }

    TEST_F(MainMenuTest, ExitEndsTheScreens)
    {
        MainMenuState& menu = StartMenu();
        Press(Platform::VK_UP);
        ASSERT_EQ(menu.GetSelectedIndex(), MainMenuState::Exit);
        EXPECT_FALSE(Press(Platform::VK_RETURN)) << "the top layer is empty: the game ends";
    }

    TEST_F(MainMenuTest, TheOtherButtonsOpenTheirScreensOverTheMenuUnderAFade)
    {
        struct Case
        {
            int myButton;
            std::function<bool(SceneState*)> myIsExpected;
        };
        const std::vector<Case> cases{
            { MainMenuState::LevelSelect, [](SceneState* aState) { return dynamic_cast<LevelSelectState*>(aState) != nullptr; } },
            { MainMenuState::Options, [](SceneState* aState) { return dynamic_cast<OptionsState*>(aState) != nullptr; } },
            { MainMenuState::Credits, [](SceneState* aState) { return dynamic_cast<CreditsState*>(aState) != nullptr; } },
        };
        for (const Case& test : cases)
        {
            const GameTestSupport::AudioProbe audio({ "UI_Button" });
            MainMenuState& menu = StartMenu();
            SelectAndChoose(menu, test.myButton);
            EXPECT_EQ(audio.Plays("UI_Button"), 1u);
            EXPECT_TRUE(Transition::GetInstance()->IsFading());
            EXPECT_EQ(Stack().GetTopState(), &menu) << "nothing changes before the screen is covered";

            // Input during the fade is ignored: "EXIT" cannot be reached, nor chosen.
            Press(Platform::VK_UP);
            Press(Platform::VK_RETURN);
            EXPECT_EQ(menu.GetSelectedIndex(), test.myButton);
            EXPECT_EQ(audio.Plays("UI_Button"), 1u);

            FinishTransition();
            EXPECT_TRUE(test.myIsExpected(Stack().GetTopState())) << "button " << test.myButton;
            EXPECT_EQ(Stack().GetLayerCount(), 1u) << "on the menu's own layer";
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(MainMenuTest, AFadeCallbackOfADeletedMenuDoesNothing)
    {
        MainMenuState& menu = StartMenu();
        SelectAndChoose(menu, MainMenuState::Options);
        ASSERT_TRUE(Transition::GetInstance()->IsFading());
        myWorld = std::make_unique<GameWorld>();
        Start<IdleScreen>();
        FinishTransition();
        EXPECT_EQ(dynamic_cast<OptionsState*>(Stack().GetTopState()), nullptr);
    }
}
