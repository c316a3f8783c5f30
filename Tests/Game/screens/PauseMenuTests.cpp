#include "screens/PauseState.h"

#include "ScreenTestSupport.h"

#include "overlays/PromptBox.h"
#include "overlays/SpeedrunTimer.h"
#include "screens/MainMenuState.h"
#include "screens/MenuSprite.h"
#include "screens/OptionsState.h"

#include <gtest/gtest.h>

namespace
{
    using namespace ScreenTestSupport;

    class PauseMenuTest : public ScreenTest
    {
    protected:
        // A level paused as the level pauses itself: the overlays hidden, the menu pushed on top.
        PauseState& Pause()
        {
            PromptBox::SetEnabled(false);
            SpeedrunTimer::SetDisplayActive(false);
            SpeedrunTimer::SetPaused(true);
            auto pause = std::make_unique<PauseState>(Stack());
            PauseState& pushed = *pause;
            Stack().PushState(std::move(pause));
            return pushed;
        }

        // A level on a layer of its own over a menu, paused.
        PauseState& PauseALevel()
        {
            Start<IdleScreen>();
            Stack().PushLayer(std::make_unique<IdleScreen>(Stack()));
            myLevel = Stack().GetTopState();
            return Pause();
        }

        void Choose(const PauseState& aPause, int anIndex)
        {
            while (aPause.GetSelectedIndex() != anIndex)
            {
                Press(Platform::VK_DOWN);
            }
            Press(Platform::VK_RETURN);
        }

        void ExpectResumed()
        {
            EXPECT_TRUE(myWorld->GetPromptBox().IsEnabled());
            EXPECT_EQ(Stack().GetTopState(), myLevel);
        }

        SceneState* myLevel = nullptr;
    };

    TEST_F(PauseMenuTest, TheButtonsLieOnAPanelOfAtMostSixHundredByThreeHundred)
    {
        const PauseState& pause = PauseALevel();
        const std::vector<Vra::Text>& buttons = pause.GetButtons();
        const std::vector<std::string> labels{ "CONTINUE", "RESET", "OPTIONS", "QUIT TO MENU" };
        const std::vector<float> heights{ 0.70f, 0.55f, 0.40f, 0.25f };
        struct Case
        {
            std::uint32_t myWidth;
            std::uint32_t myHeight;
            float myPanelWidth;
            float myPanelHeight;
            float myBottom;
        };
        for (const Case& test : { Case{ 1280, 720, 600.0f, 300.0f, 210.0f }, Case{ 1280, 250, 600.0f, 250.0f, 0.0f }, Case{ 400, 900, 400.0f, 300.0f, 300.0f } })
        {
            if (test.myHeight != 720)
            {
                Resize(test.myWidth, test.myHeight);
            }
            ASSERT_EQ(buttons.size(), labels.size());
            for (std::size_t index = 0; index < labels.size(); ++index)
            {
                EXPECT_EQ(buttons[index].GetText(), labels[index]);
                EXPECT_NEAR(CentreX(buttons[index]), test.myWidth * 0.5f, 0.01f);
                EXPECT_FLOAT_EQ(buttons[index].GetPosition().y, test.myPanelHeight * heights[index] + test.myBottom) << labels[index] << " at height " << test.myHeight;
            }
            const float centre = test.myWidth * 0.5f;
            EXPECT_EQ(pause.GetTopBar().GetSprite().myPosition, (Vra::Vector2f{ centre, test.myBottom + test.myPanelHeight }));
            EXPECT_EQ(pause.GetBottomBar().GetSprite().myPosition, (Vra::Vector2f{ centre, test.myBottom }));
            EXPECT_FLOAT_EQ(pause.GetTopBar().GetSprite().mySize.x, 0.8f * test.myPanelWidth);
            EXPECT_EQ(pause.GetBackground().GetSprite().mySize, (Vra::Vector2f{ static_cast<float>(test.myWidth), static_cast<float>(test.myHeight) }));
        }
        EXPECT_FLOAT_EQ(buttons[0].GetPosition().y, 510.0f);
    }

    TEST_F(PauseMenuTest, ItIsAnOverlayDrawnOverTheLevel)
    {
        AddSprite(PauseState::BACKGROUND_TEXTURE, { 0, 0, 255, 128 }, 4, 4);
        class GreenLevel : public IdleScreen
        {
        public:
            using IdleScreen::IdleScreen;
            void Render() override
            {
                MenuSprite fill;
                fill.Load("sprites/green.dds");
                fill.Place({ 640.0f, 360.0f }, { 1280.0f, 720.0f });
                fill.Draw();
            }
        };
        AddSprite("sprites/green.dds", GameTestSupport::GREEN);
        Start<IdleScreen>();
        Stack().PushLayer(std::make_unique<GreenLevel>(Stack()));
        PauseState& pause = Pause();
        EXPECT_TRUE(pause.IsOverlay());
        const Screen screen = StepAndRead();
        const EngineTestSupport::Pixel pixel = screen.At(20, 20);
        EXPECT_GT(pixel.g, 60) << "the level shows through the translucent veil";
        EXPECT_GT(pixel.b, 60);
    }

    TEST_F(PauseMenuTest, EscapeOrContinueResumesAtOnce)
    {
        for (const bool byContinue : { false, true })
        {
            PauseALevel();
            Press(byContinue ? Platform::VK_RETURN : Platform::VK_ESCAPE);
            ExpectResumed();
            EXPECT_FALSE(Transition::GetInstance()->IsFading()) << "no fade";
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(PauseMenuTest, ResetFadesToBlackThenPopsTheMenuWithoutAButtonSound)
    {
        const GameTestSupport::AudioProbe audio({ "UI_Button" });
        const PauseState& pause = PauseALevel();
        Choose(pause, PauseState::Reset);
        EXPECT_EQ(Stack().GetTopState(), &pause) << "the fade runs first";
        FinishTransition();
        ExpectResumed();
        EXPECT_EQ(audio.Plays("UI_Button"), 0u);
    }

    TEST_F(PauseMenuTest, ASecondChoiceDuringTheFadeRunsNoSecondCallback)
    {
        const PauseState& pause = PauseALevel();
        Choose(pause, PauseState::Reset);
        // Escape would pop the menu at once and leave the reset to run for a deleted screen,
        // popping the level; another Enter would queue the options as well.
        Press(Platform::VK_ESCAPE);
        Press(Platform::VK_DOWN);
        Press(Platform::VK_RETURN);
        EXPECT_EQ(Stack().GetTopState(), &pause);
        FinishTransition();
        ExpectResumed();
        EXPECT_EQ(Stack().GetLayerCount(), 2u) << "the level is still there";
    }

    TEST_F(PauseMenuTest, OptionsOpenOverThePauseMenuAndReturnToIt)
    {
        const PauseState& pause = PauseALevel();
        SpeedrunTimer::ToggleVisible();
        Choose(pause, PauseState::Options);
        FinishTransition();
        const OptionsState* const options = dynamic_cast<OptionsState*>(Stack().GetTopState());
        ASSERT_NE(options, nullptr);
        EXPECT_TRUE(options->GetSpeedrunCheckbox().IsChecked()) << "the options show the current state";
        EXPECT_EQ(Stack().GetLayerCount(), 2u) << "on the level's layer";

        while (options->GetSelectedIndex() != OptionsState::Back)
        {
            Press(Platform::VK_DOWN);
        }
        Press(Platform::VK_RETURN);
        FinishTransition();
        EXPECT_EQ(Stack().GetTopState(), &pause);
        Press(Platform::VK_ESCAPE);
        ExpectResumed();
    }

    TEST_F(PauseMenuTest, QuitToMenuPopsTheLevelsLayerAndLeavesTheMenuIdle)
    {
        const GameTestSupport::AudioProbe audio({ "Main Menu" });
        LevelLog levels;
        MainMenuState& menu = Start<MainMenuState>(StandInLevels(levels));
        Press(Platform::VK_ESCAPE);
        SpeedrunTimer::ToggleVisible();
        Press(Platform::VK_RETURN);
        for (int frame = 0; frame < 200 && menu.IsLoadingLevel(); ++frame)
        {
            Frame();
        }
        ASSERT_EQ(Stack().GetLayerCount(), 2u);
        SpeedrunTimer::Start(false);
        const PauseState& pause = Pause();

        Choose(pause, PauseState::QuitToMenu);
        EXPECT_FALSE(myWorld->GetSpeedrunTimer().IsRunning()) << "the timer stops at once";
        EXPECT_EQ(Stack().GetLayerCount(), 2u);
        FinishTransition();
        EXPECT_EQ(Stack().GetLayerCount(), 1u);
        EXPECT_EQ(Stack().GetTopState(), &menu);
        EXPECT_EQ(levels.myDestroyed, 1);
        EXPECT_EQ(audio.Plays("Main Menu"), 1u) << "the menu's music starts over";

        Press(Platform::VK_DOWN);
        EXPECT_EQ(menu.GetSelectedIndex(), MainMenuState::LevelSelect) << "the menu is idle again";
        EXPECT_FALSE(menu.IsLoadingLevel());
    }
}
