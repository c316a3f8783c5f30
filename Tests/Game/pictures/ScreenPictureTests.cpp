// The game's screens and levels as a player sees them: the real game objects on the content pack,
// driven by picture tracks (tracks/, beside this file) with a fixed frame time and seeded
// randomness, each shot compared with its committed reference picture (reference/).
//
// With VRA_SCREENSHOT_DIR set, every shot is written there as a PNG instead, at the window's full
// size, and at the end one contact sheet of them all (scripts/screenshots does this at the game's
// own 1600 x 900). VRA_UPDATE_PICTURES rewrites the references (scripts/update-pictures).
#include "Pictures.h"

#include "../playthrough/ContentGame.h"

#include "shell/RandomFloat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace
{
    using namespace ContentGame;
    using Pictures::Picture;

    // The pictures are taken at the game's own size and kept and compared at a quarter of it.
    constexpr std::uint32_t PICTURE_WIDTH = 1600;
    constexpr std::uint32_t PICTURE_HEIGHT = 900;
    constexpr std::uint32_t REFERENCE_SHRINK = 4;
    constexpr std::uint32_t PICTURE_SEED = 20261211;

    fs::path PictureTrackFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const fs::path here = source ? fs::path(source) / "Tests" / "Game" / "pictures" : fs::path(__FILE__).parent_path();
        return here / "tracks";
    }

    fs::path ScreenshotFolder()
    {
        const char* folder = std::getenv("VRA_SCREENSHOT_DIR");
        return folder && *folder ? fs::path(folder) : fs::path();
    }

    // "<width>x<height>" from VRA_PICTURE_SIZE, else the size the references were taken at.
    std::pair<std::uint32_t, std::uint32_t> PictureSize()
    {
        unsigned width = PICTURE_WIDTH;
        unsigned height = PICTURE_HEIGHT;
        if (const char* size = std::getenv("VRA_PICTURE_SIZE"); size && !ScreenshotFolder().empty())
        {
            if (std::sscanf(size, "%ux%u", &width, &height) != 2 || width < 64 || height < 36)
            {
                width = PICTURE_WIDTH;
                height = PICTURE_HEIGHT;
            }
        }
        return { width, height };
    }

    // Every shot of the process, in order, for the contact sheet.
    std::vector<Picture>& TakenShots()
    {
        static std::vector<Picture> shots;
        return shots;
    }

    class ScreenPictures : public ContentGameTest
    {
    protected:
        ScreenPictures()
        {
            std::tie(myScreenWidth, myScreenHeight) = PictureSize();
            SeedGameRandomness(PICTURE_SEED);
            myRunner.SetShotHandler([this](const std::string& aName) { OnShot(aName); });
        }

        ~ScreenPictures() override { SeedGameRandomness(std::nullopt); }

        ::testing::AssertionResult PlayPictureTrack(const std::string& aName) { return PlayTrackFile(PictureTrackFolder() / aName); }

        // The last shot taken under each name.
        std::map<std::string, Picture> myShots;

    private:
        void OnShot(const std::string& aName)
        {
            int lowestAlpha = 0;
            Picture picture = Pictures::CaptureBackBuffer(&lowestAlpha);
            // A compositing window system would show through wherever the picture is not opaque.
            EXPECT_EQ(lowestAlpha, 255) << aName << " leaves pixels that are not opaque";
            if (const fs::path folder = ScreenshotFolder(); !folder.empty())
            {
                EXPECT_TRUE(Pictures::WritePng(folder / (aName + ".png"), picture)) << folder;
                TakenShots().push_back(picture);
                EXPECT_TRUE(Pictures::WritePng(folder / "contact_sheet.png", Pictures::ContactSheet(TakenShots(), 4, 4))) << folder;
            }
            else
            {
                EXPECT_TRUE(Pictures::MatchesReference(aName, Pictures::Shrink(picture, REFERENCE_SHRINK)));
            }
            myShots[aName] = std::move(picture);
        }
    };

    TEST_F(ScreenPictures, TheMenus)
    {
        CapturedOutput output;
        myWorld->InitMainMenu(myInput);
        EXPECT_TRUE(PlayPictureTrack("screens.track"));
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    struct LevelPictures
    {
        const char* myName;
        const char* myScenePath;
        const char* myTrack;
    };

    constexpr LevelPictures LEVEL_PICTURES[] = {
        { "Forest", "levels/level1.vrs", "level1.track" },
        { "Cave", "levels/level_2_01.vrs", "level_2_01.track" },
        { "Summit", "levels/level_3_01.vrs", "level_3_01.track" },
    };

    class LevelScreenPictures : public ScreenPictures, public ::testing::WithParamInterface<LevelPictures>
    {
    };

    TEST_P(LevelScreenPictures, AtTheStartTheCheckpointAndTheExit)
    {
        CapturedOutput output;
        myWorld->InitWithScene(GetParam().myScenePath, myInput);
        ASSERT_NE(TopLevel(), nullptr) << output.Text();
        EXPECT_TRUE(PlayPictureTrack(GetParam().myTrack));
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    INSTANTIATE_TEST_SUITE_P(Levels, LevelScreenPictures, ::testing::ValuesIn(LEVEL_PICTURES),
                             [](const ::testing::TestParamInfo<LevelPictures>& anInfo) { return std::string(anInfo.param.myName); });
}
