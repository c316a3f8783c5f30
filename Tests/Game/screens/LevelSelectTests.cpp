#include "screens/LevelSelectState.h"

#include "ScreenTestSupport.h"

#include "overlays/SpeedrunTimer.h"
#include "screens/MenuStyle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace
{
    using namespace ScreenTestSupport;

    class LevelSelectTest : public ScreenTest
    {
    protected:
        // Over a screen standing for the main menu.
        LevelSelectState& Open()
        {
            Start<IdleScreen>();
            auto screen = std::make_unique<LevelSelectState>(Stack(), StandInLevels(myLevels));
            LevelSelectState& opened = *screen;
            Stack().PushState(std::move(screen));
            return opened;
        }

        void Choose(LevelSelectState& aScreen, int anIndex)
        {
            while (aScreen.GetSelectedIndex() != anIndex)
            {
                Press(Platform::VK_DOWN);
            }
            Press(Platform::VK_RETURN);
            FinishTransition();
        }

        void FramesWhileLoading(const LevelSelectState& aScreen)
        {
            for (int frame = 0; frame < 320 && aScreen.IsLoadingLevel(); ++frame)
            {
                Frame();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ASSERT_FALSE(aScreen.IsLoadingLevel());
        }

        void HoldLoads() { myLevels.myGate = myGate.get_future().share(); }

        LevelLog myLevels;
        std::promise<void> myGate;
    };

    TEST_F(LevelSelectTest, TitleAndButtonsAreCentredAtTheirHeights)
    {
        const LevelSelectState& screen = Open();
        ASSERT_EQ(screen.GetTitles().size(), 1u);
        EXPECT_EQ(screen.GetTitles()[0].GetText(), "LEVEL SELECT");
        EXPECT_NEAR(CentreX(screen.GetTitles()[0]), 640.0f, 0.01f);
        EXPECT_FLOAT_EQ(screen.GetTitles()[0].GetPosition().y, 612.0f);
        EXPECT_EQ(screen.GetTitleBar().GetSprite().myPosition, (Vra::Vector2f{ 640.0f, 587.0f }));
        EXPECT_EQ(screen.GetTitleBar().GetSprite().mySize, (Vra::Vector2f{ 640.0f, screen.GetTitleBar().GetTextureSize().y * 0.5f }));

        const std::vector<std::pair<std::string, float>> rows{ { "LEVEL 1", 396.0f }, { "LEVEL 2", 324.0f }, { "LEVEL 3", 252.0f }, { "BACK", 72.0f } };
        ASSERT_EQ(screen.GetButtons().size(), rows.size());
        for (std::size_t index = 0; index < rows.size(); ++index)
        {
            EXPECT_EQ(screen.GetButtons()[index].GetText(), rows[index].first);
            EXPECT_NEAR(CentreX(screen.GetButtons()[index]), 640.0f, 0.01f);
            EXPECT_FLOAT_EQ(screen.GetButtons()[index].GetPosition().y, rows[index].second);
        }
        EXPECT_GT(screen.GetButtons()[2].GetHeight(), screen.GetButtons()[3].GetHeight()) << "levels at 24, BACK at 18";

        Resize(1920, 1080);
        EXPECT_FLOAT_EQ(screen.GetButtons()[0].GetPosition().y, 594.0f);
        EXPECT_NEAR(CentreX(screen.GetButtons()[3]), 960.0f, 0.01f);
    }

    TEST_F(LevelSelectTest, SelectionWrapsBetweenBackAndTheFirstLevel)
    {
        const LevelSelectState& screen = Open();
        Press(Platform::VK_UP);
        EXPECT_EQ(screen.GetSelectedIndex(), LevelSelectState::BACK_INDEX);
        Press(Platform::VK_DOWN);
        EXPECT_EQ(screen.GetSelectedIndex(), 0) << "Down from BACK selects LEVEL 1";
    }

    TEST_F(LevelSelectTest, LevelsAfterTheFirstStartTheTimerBeforeTheyHaveLoaded)
    {
        for (const int level : { 0, 1, 2 })
        {
            std::promise<void> gate;
            myLevels.myGate = gate.get_future().share();
            LevelSelectState& screen = Open();
            SpeedrunTimer::Stop();
            Choose(screen, level);
            ASSERT_TRUE(screen.IsLoadingLevel());
            EXPECT_TRUE(screen.IsShowingLoadingScreen());
            EXPECT_TRUE(Transition::GetInstance()->IsHidden()) << "no fade from black: the loading screen shows";
            EXPECT_EQ(myWorld->GetSpeedrunTimer().IsRunning(), level > 0) << "level " << level + 1;
            gate.set_value();
            FramesWhileLoading(screen);
            {
                const std::lock_guard<std::mutex> lock(myLevels.myMutex);
                EXPECT_EQ(myLevels.myLoadedPaths.back(), LevelSelectState::LEVELS[level].myScenePath);
            }
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(LevelSelectTest, TheLevelsMusicStartsOnlyOnceTheLevelIsPushed)
    {
        const GameTestSupport::AudioProbe audio({ "Level2", "Cave Ambience", "UI_Button" });
        HoldLoads();
        LevelSelectState& screen = Open();
        Choose(screen, 1);
        Frames(10);
        EXPECT_EQ(audio.Plays("Level2"), 0u);
        EXPECT_EQ(Stack().GetLayerCount(), 1u);
        const float rotation = screen.GetFeather().GetSprite().myRotation;
        EXPECT_LT(rotation, 0.0f) << "the feather turns while the level loads";

        myGate.set_value();
        FramesWhileLoading(screen);
        EXPECT_EQ(Stack().GetLayerCount(), 2u);
        EXPECT_EQ(myLevels.myInits, 1);
        EXPECT_EQ(audio.Plays("Level2"), 1u);
        EXPECT_EQ(audio.Plays("Cave Ambience"), 1u);
        EXPECT_FALSE(screen.IsShowingLoadingScreen());
    }

    TEST_F(LevelSelectTest, AFailingOrThrowingLoadStartsNoAudioAndReturnsToTheButtons)
    {
        for (const LoadOutcome outcome : { LoadOutcome::Fails, LoadOutcome::Throws })
        {
            const GameTestSupport::AudioProbe audio({ "Level3", "Forest Ambience" });
            myLevels.myOutcome = outcome;
            LevelSelectState& screen = Open();
            testing::internal::CaptureStdout();
            Choose(screen, 2);
            FramesWhileLoading(screen);
            const std::string output = testing::internal::GetCapturedStdout();
            EXPECT_EQ(Stack().GetLayerCount(), 1u);
            EXPECT_EQ(Stack().GetTopState(), &screen);
            EXPECT_EQ(myLevels.myDestroyed, myLevels.myMade);
            EXPECT_EQ(audio.Plays("Level3") + audio.Plays("Forest Ambience"), 0u);
            EXPECT_FALSE(myWorld->GetSpeedrunTimer().IsRunning()) << "the run it started is stopped again";
            if (outcome == LoadOutcome::Throws)
            {
                EXPECT_NE(output.find("Failed to load scene: levels/level_3_01.vrs: unexpected end"), std::string::npos) << output;
            }
            Press(Platform::VK_DOWN);
            EXPECT_EQ(screen.GetSelectedIndex(), LevelSelectState::BACK_INDEX);
            myWorld = std::make_unique<GameWorld>();
        }
    }

    TEST_F(LevelSelectTest, BackFadesToBlackAndUncoversTheMenu)
    {
        LevelSelectState& screen = Open();
        Choose(screen, LevelSelectState::BACK_INDEX);
        EXPECT_NE(dynamic_cast<IdleScreen*>(Stack().GetTopState()), nullptr);
        EXPECT_EQ(myLevels.myMade, 0);
    }
}
