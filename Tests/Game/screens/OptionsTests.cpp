#include "screens/OptionsState.h"

#include "ScreenTestSupport.h"

#include "audio/AudioManager.h"
#include "overlays/SpeedrunTimer.h"

#include "Engine.h"

#include <gtest/gtest.h>

namespace
{
    using namespace ScreenTestSupport;

    class OptionsTest : public ScreenTest
    {
    protected:
        OptionsTest() : ScreenTest(1920, 1080) {}

        void TearDown() override
        {
            AudioManager::GetInstance().SetMasterVolume(1.0f);
            ScreenTest::TearDown();
        }

        OptionsState& Open()
        {
            Start<IdleScreen>();
            auto screen = std::make_unique<OptionsState>(Stack());
            OptionsState& opened = *screen;
            Stack().PushState(std::move(screen));
            return opened;
        }

        void Select(const OptionsState& aScreen, int aRow)
        {
            while (aScreen.GetSelectedIndex() != aRow)
            {
                Press(Platform::VK_DOWN);
            }
        }

        static float Volume() { return AudioManager::GetInstance().GetMasterVolume(); }
    };

    TEST_F(OptionsTest, RowsLieOnTheSixHundredPixelPanel)
    {
        const OptionsState& screen = Open();
        ASSERT_EQ(screen.GetTitles().size(), 1u);
        EXPECT_FLOAT_EQ(screen.GetTitles()[0].GetPosition().y, 750.0f);
        EXPECT_NEAR(CentreX(screen.GetTitles()[0]), 960.0f, 0.01f);
        EXPECT_EQ(screen.GetTitleBar().GetSprite().myPosition, (Vra::Vector2f{ 960.0f, 725.0f }));
        EXPECT_FLOAT_EQ(screen.GetTitleBar().GetSprite().mySize.x, 600.0f);

        const std::vector<std::pair<std::string, float>> rows{ { "VOLUME", 630.0f }, { "FULLSCREEN MODE", 540.0f }, { "SPEEDRUN MODE", 450.0f }, { "BACK", 300.0f } };
        const std::vector<Vra::Text>& buttons = screen.GetButtons();
        ASSERT_EQ(buttons.size(), rows.size());
        for (std::size_t index = 0; index < rows.size(); ++index)
        {
            EXPECT_EQ(buttons[index].GetText(), rows[index].first);
            EXPECT_FLOAT_EQ(buttons[index].GetPosition().y, rows[index].second) << rows[index].first;
        }
        for (std::size_t index = 0; index < 3; ++index)
        {
            EXPECT_NEAR(buttons[index].GetPosition().x + buttons[index].GetWidth(), 920.0f, 0.01f) << "labels end 40 pixels left of the centre";
        }
        EXPECT_NEAR(CentreX(buttons[3]), 960.0f, 0.01f);

        const Vra::Text& fullscreen = buttons[OptionsState::Fullscreen];
        const Vra::Vector2f box = screen.GetFullscreenCheckbox().GetSprite().myPosition;
        EXPECT_FLOAT_EQ(box.x, fullscreen.GetPosition().x + fullscreen.GetWidth() + 50.0f);
        EXPECT_FLOAT_EQ(box.y, 540.0f + fullscreen.GetHeight() * 0.25f);
        EXPECT_FLOAT_EQ(screen.GetSpeedrunCheckbox().GetSprite().myPosition.x, box.x) << "the boxes form one column";

        const Vra::Text& volume = buttons[OptionsState::Volume];
        const VolumeSlider& slider = *screen.GetVolumeSlider();
        EXPECT_FLOAT_EQ(slider.GetBarSprite().myPosition.x, 960.0f - volume.GetWidth() + slider.GetSize().x - 80.0f);
        EXPECT_FLOAT_EQ(slider.GetBarSprite().myPosition.y, 630.0f + volume.GetHeight() / 3.5f);

        Resize(1280, 500);
        EXPECT_FLOAT_EQ(buttons[OptionsState::Back].GetPosition().y, 50.0f) << "a panel as high as the screen";
        EXPECT_FLOAT_EQ(screen.GetTitleBar().GetSprite().mySize.x, 600.0f);
    }

    TEST_F(OptionsTest, TheSliderStepsTheMasterVolumeAndStopsAtBothEnds)
    {
        const OptionsState& screen = Open();
        AudioManager::GetInstance().SetMasterVolume(0.5f);
        ASSERT_EQ(screen.GetSelectedIndex(), OptionsState::Volume);
        Press(Platform::VK_RIGHT);
        EXPECT_FLOAT_EQ(Volume(), 0.6f);
        Press(Platform::VK_LEFT);
        Press(Platform::VK_LEFT);
        EXPECT_FLOAT_EQ(Volume(), 0.4f);
        for (int press = 0; press < 8; ++press)
        {
            Press(Platform::VK_LEFT);
        }
        EXPECT_FLOAT_EQ(Volume(), 0.0f);
        for (int press = 0; press < 12; ++press)
        {
            Press(Platform::VK_RIGHT);
        }
        EXPECT_FLOAT_EQ(Volume(), 1.0f);

        Press(Platform::VK_DOWN);
        Press(Platform::VK_LEFT);
        EXPECT_FLOAT_EQ(Volume(), 1.0f) << "the slider listens only while its row is selected";
    }

    TEST_F(OptionsTest, EnterOnVolumePlaysTheButtonSoundAndChangesNothing)
    {
        const GameTestSupport::AudioProbe audio({ "UI_Button" });
        const OptionsState& screen = Open();
        const bool fullscreen = Vra::Engine::GetInstance()->IsFullscreen();
        const float volume = Volume();
        Press(Platform::VK_RETURN);
        EXPECT_EQ(audio.Plays("UI_Button"), 1u);
        EXPECT_EQ(Volume(), volume);
        EXPECT_EQ(Vra::Engine::GetInstance()->IsFullscreen(), fullscreen);
        EXPECT_FALSE(SpeedrunTimer::IsVisible());
        EXPECT_FALSE(Transition::GetInstance()->IsFading());
        EXPECT_EQ(Stack().GetTopState(), &screen);
    }

    TEST_F(OptionsTest, TheFullscreenBoxTogglesTheEngine)
    {
        const OptionsState& screen = Open();
        Select(screen, OptionsState::Fullscreen);
        const bool before = Vra::Engine::GetInstance()->IsFullscreen();
        EXPECT_EQ(screen.GetFullscreenCheckbox().IsChecked(), before);
        Press(Platform::VK_RETURN);
        EXPECT_EQ(Vra::Engine::GetInstance()->IsFullscreen(), !before);
        EXPECT_EQ(screen.GetFullscreenCheckbox().IsChecked(), !before);
        Press(Platform::VK_RETURN);
        EXPECT_EQ(Vra::Engine::GetInstance()->IsFullscreen(), before) << "twice is back where it started";
        EXPECT_EQ(screen.GetFullscreenCheckbox().IsChecked(), before);
    }

    TEST_F(OptionsTest, TheSpeedrunBoxTogglesTheTimersVisibility)
    {
        const OptionsState& screen = Open();
        EXPECT_FALSE(screen.GetSpeedrunCheckbox().IsChecked());
        Select(screen, OptionsState::Speedrun);
        Press(Platform::VK_RETURN);
        EXPECT_TRUE(SpeedrunTimer::IsVisible());
        EXPECT_TRUE(screen.GetSpeedrunCheckbox().IsChecked());
        Press(Platform::VK_RETURN);
        EXPECT_FALSE(SpeedrunTimer::IsVisible());
        EXPECT_FALSE(screen.GetSpeedrunCheckbox().IsChecked());

        SpeedrunTimer::ToggleVisible();
        Resize(1920, 1080);
        EXPECT_TRUE(screen.GetSpeedrunCheckbox().IsChecked()) << "a new layout shows the flag as it is then";
    }

    TEST_F(OptionsTest, BackFadesAndEndsTheScreenIgnoringInputMeanwhile)
    {
        const GameTestSupport::AudioProbe audio({ "UI_Button" });
        const OptionsState& screen = Open();
        Select(screen, OptionsState::Back);
        Press(Platform::VK_RETURN);
        ASSERT_TRUE(Transition::GetInstance()->IsFading());
        Press(Platform::VK_UP);
        Press(Platform::VK_RETURN);
        EXPECT_EQ(screen.GetSelectedIndex(), OptionsState::Back);
        EXPECT_FALSE(SpeedrunTimer::IsVisible()) << "the speedrun row was not reached";
        EXPECT_EQ(audio.Plays("UI_Button"), 1u) << "the second Enter was not taken";
        FinishTransition();
        EXPECT_NE(dynamic_cast<IdleScreen*>(Stack().GetTopState()), nullptr);
    }
}
