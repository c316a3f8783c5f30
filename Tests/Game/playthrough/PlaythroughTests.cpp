// The levels of the content pack played with the bird's real moves: scripted key tracks (beside
// this file, in tracks/) go through the input handler frame by frame with a fixed frame time.
#include "ContentGame.h"

namespace
{
    using namespace ContentGame;

    struct LevelTrack
    {
        const char* myName;
        const char* myScenePath;
        const char* myTrack;
    };

    // Each track plays its level from the start to the hand-over to the next one (the last level
    // to the end of its outro); the cave is played on the gamepad.
    constexpr LevelTrack LEVEL_TRACKS[] = {
        { "ForestToCave", "levels/level1.vrs", "level1.track" },
        { "CaveToFinalOnTheGamepad", "levels/level_2_01.vrs", "level_2_01.track" },
        { "FinalToTheEndOfTheOutro", "levels/level_3_01.vrs", "level_3_01_alone.track" },
    };

    class LevelPlaythrough : public ContentGameTest, public ::testing::WithParamInterface<LevelTrack>
    {
    };

    TEST_P(LevelPlaythrough, TheTrackPlaysTheLevelToItsEnd)
    {
        CapturedOutput output;
        myWorld->InitWithScene(GetParam().myScenePath, myInput);
        ASSERT_NE(TopLevel(), nullptr) << output.Text();
        EXPECT_TRUE(PlayTrack(GetParam().myTrack));
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    INSTANTIATE_TEST_SUITE_P(Levels, LevelPlaythrough, ::testing::ValuesIn(LEVEL_TRACKS),
                             [](const ::testing::TestParamInfo<LevelTrack>& anInfo) { return std::string(anInfo.param.myName); });

    using Playthrough = ContentGameTest;

    TEST_F(Playthrough, TheWholeGameFromTheSplashThroughTheThreeLevelsBackToTheMenu)
    {
        CapturedOutput output;
        myWorld->InitMainMenu(myInput);
        EXPECT_TRUE(PlayTrack("game.track"));
        EXPECT_NE(dynamic_cast<MainMenuState*>(TopScreen()), nullptr);
        EXPECT_EQ(myWorld->GetSceneStateStack().GetLayerCount(), 1u);
        const std::string text = output.Text();
        for (const char* handOver : { "Level Loaded: levels/level1.vrs", "Level Loaded: levels/level_2_01.vrs", "Level Loaded: levels/level_3_01.vrs",
                                      "Playing outro Cutscene" })
        {
            EXPECT_NE(text.find(handOver), std::string::npos) << handOver;
        }
        EXPECT_EQ(LinesWith(text, ContentErrorMarks()), "");
    }

    TEST_F(Playthrough, ADeathOnTheThornsRespawnsTheBirdAtTheCheckpoint)
    {
        CapturedOutput output;
        myWorld->InitWithScene("levels/level1.vrs", myInput);
        ASSERT_NE(TopLevel(), nullptr) << output.Text();
        ASSERT_TRUE(PlayTrack("death.track"));
        const LevelState& level = *TopLevel();
        ASSERT_EQ(level.GetLevelPath(), "levels/level1.vrs");
        ASSERT_FALSE(level.GetCheckpoints().empty());
        const CommonUtilities::Vector3f& spawn = level.GetCheckpoints().front().myBox.myMin;
        const CommonUtilities::Vector3f& bird = level.GetPlayer()->GetPosition();
        EXPECT_NEAR(bird.x, spawn.x, 1.0f);
        EXPECT_NEAR(bird.y, spawn.y, 1.0f);
        EXPECT_FALSE(level.GetPlayer()->IsHazardHit());
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }
}
