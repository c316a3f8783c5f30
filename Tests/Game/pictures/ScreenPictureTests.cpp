// The game's screens and levels as a player sees them: the real game objects on the content pack,
// driven by picture tracks (tracks/, beside this file) with a fixed frame time and seeded
// randomness, each shot compared with its committed reference picture (reference/).
//
// With VRA_SCREENSHOT_DIR set, every shot is written there as a PNG instead, at the window's full
// size, and at the end one contact sheet of them all (scripts/screenshots does this at the game's
// own 1600 x 900). VRA_UPDATE_PICTURES rewrites the references (scripts/update-pictures).
#include "Pictures.h"

#include "../playthrough/ContentGame.h"

#include "graphics/Camera.h"
#include "graphics/TextureResource.h"
#include "level/LevelState.h"
#include "player/Player.h"
#include "shell/RandomFloat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
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

    // True while the shots are written as references or screenshots instead of being compared.
    bool IsOnlyTakingPictures()
    {
        return Pictures::IsUpdatingReferences() || !ScreenshotFolder().empty();
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
        // The first view: its first shot, and the most of it that may be near-black.
        const char* myStartShot;
        double myMostDark;
    };

    constexpr LevelPictures LEVEL_PICTURES[] = {
        { "Forest", "levels/level1.vrs", "level1.track", "level1_start", 0.35 },
        { "Cave", "levels/level_2_01.vrs", "level_2_01.track", "level2_start", 0.5 },
        { "Summit", "levels/level_3_01.vrs", "level_3_01.track", "level3_start", 0.5 },
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

    // What a player must see in each level's first view, without a reference picture: the sky or
    // the back wall over most of it, the ground art under the bird's feet, the thorn art inside
    // the boxes that kill; and the reference comparison catches a layer that is not drawn.
    class LevelViews : public LevelScreenPictures
    {
    protected:
        // The level's picture track up to its first shot, which is then taken and compared as
        // ever, or, with aStopBeforeTheShot, up to the frame that would take it.
        void PlayToTheFirstView(bool aStopBeforeTheShot = false)
        {
            std::ifstream track(PictureTrackFolder() / GetParam().myTrack);
            const fs::path start = myFolder.Path() / "start.track";
            std::ofstream firstView(start);
            for (std::string line; std::getline(track, line);)
            {
                const bool isShot = line.rfind("shot ", 0) == 0;
                if (!isShot || !aStopBeforeTheShot)
                {
                    firstView << line << "\n";
                }
                if (isShot)
                {
                    break;
                }
            }
            firstView.close();
            myWorld->InitWithScene(GetParam().myScenePath, myInput);
            ASSERT_NE(TopLevel(), nullptr);
            ASSERT_TRUE(PlayTrackFile(start));
            ASSERT_EQ(myShots.count(GetParam().myStartShot), aStopBeforeTheShot ? 0u : 1u);
        }

        // The first view's shot taken without one layer: the reference comparison must fail.
        void ExpectTheFirstViewFailsWithout(int aLayer)
        {
            if (IsOnlyTakingPictures())
            {
                GTEST_SKIP() << "the pictures are being written, not compared";
            }
            CapturedOutput output;
            ASSERT_NO_FATAL_FAILURE(PlayToTheFirstView(true));
            const fs::path referencePath = Pictures::ReferenceFolder() / (std::string(GetParam().myStartShot) + ".png");
            const std::optional<Picture> reference = Pictures::ReadPng(referencePath);
            ASSERT_TRUE(reference) << referencePath;
            const Picture without = NextFrameWithout(aLayer);
            const Pictures::Difference difference = Pictures::Compare(Pictures::Shrink(without, REFERENCE_SHRINK), *reference);
            const Pictures::Tolerance tolerance;
            EXPECT_TRUE(difference.myMean > tolerance.myMean && difference.myLargestBlock > tolerance.myLargestBlock)
                << "the picture test would pass without layer " << aLayer << ": mean " << difference.myMean << ", largest block "
                << difference.myLargestBlock;
            EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
        }

        // One more frame, its picture as it leaves it (kept from the reference comparison).
        Picture NextFrame()
        {
            Picture picture;
            myRunner.SetShotHandler([&picture](const std::string&) { picture = Pictures::CaptureBackBuffer(); });
            TrackStep shot;
            shot.myShot = "next";
            shot.mySource = "the next frame";
            EXPECT_EQ(myRunner.Play({ shot }), "");
            return picture;
        }

        // One more frame with a layer emptied for it, as if that layer were not drawn.
        Picture NextFrameWithout(int aLayer)
        {
            std::vector<ParallaxSprite>* const layer = TopLevel()->GetParallaxLayers().FindLayer(aLayer);
            std::vector<ParallaxSprite> kept;
            kept.swap(*layer);
            Picture picture = NextFrame();
            layer->swap(kept);
            return picture;
        }

        // How far the mean colour of a square of pixels around (anX, aY) lies apart in two pictures.
        static double SquareDifference(const Picture& aPicture, const Picture& anOther, int anX, int aY, int aHalf)
        {
            double sum = 0.0;
            int count = 0;
            for (int y = aY - aHalf; y <= aY + aHalf; ++y)
            {
                for (int x = anX - aHalf; x <= anX + aHalf; ++x)
                {
                    for (int channel = 0; channel < 3; ++channel)
                    {
                        sum += std::abs(int(aPicture.At(x, y)[channel]) - int(anOther.At(x, y)[channel]));
                        ++count;
                    }
                }
            }
            return sum / count;
        }
    };

    TEST_P(LevelViews, ShowTheirSkyAndTheGroundUnderTheBird)
    {
        if (IsOnlyTakingPictures())
        {
            GTEST_SKIP() << "the pictures are being written, not compared";
        }
        CapturedOutput output;
        ASSERT_NO_FATAL_FAILURE(PlayToTheFirstView());
        const Picture& first = myShots[GetParam().myStartShot];
        EXPECT_LE(Pictures::DarkShare(first, 48), GetParam().myMostDark) << "the first view is mostly black";

        const Picture next = NextFrame();
        const Picture withoutMiddle = NextFrameWithout(ParallaxLayers::MIDDLE_LAYER);

        // The pixels just under the bird's feet are the ground art's: they change when the middle
        // layer goes, and they are not near-black.
        const CommonUtilities::Vector3f feet = TopLevel()->GetPlayer()->GetPosition();
        const Vra::Vector3f camera = TopLevel()->GetCamera()->myTransform.GetTranslation();
        const float pixelsPerUnit = static_cast<float>(first.myWidth) / (2.0f * ParallaxLayers::VIEW_HALF_WIDTH);
        const int x = static_cast<int>(first.myWidth / 2.0f + (feet.x - camera.x) * pixelsPerUnit);
        const int y = static_cast<int>(first.myHeight / 2.0f - (feet.y - 12.0f - camera.y) * pixelsPerUnit);
        ASSERT_GT(x, 10);
        ASSERT_LT(x, static_cast<int>(first.myWidth) - 10);
        ASSERT_GT(y, 10);
        ASSERT_LT(y, static_cast<int>(first.myHeight) - 10);
        EXPECT_GT(SquareDifference(next, withoutMiddle, x, y, 6), 30.0) << "nothing of the ground art under the feet at " << x << ", " << y;
        EXPECT_GE(*std::max_element(next.At(x, y), next.At(x, y) + 3), 48) << "the ground under the feet is black";
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    TEST_P(LevelViews, FailTheirPictureWithoutTheMiddleLayer)
    {
        ExpectTheFirstViewFailsWithout(ParallaxLayers::MIDDLE_LAYER);
    }

    TEST_P(LevelViews, FailTheirPictureWithoutTheBackLayer)
    {
        ExpectTheFirstViewFailsWithout(ParallaxLayers::BACK_LAYER);
    }

    // Every box that kills is covered by the thorn art, and that art lies inside such boxes.
    TEST_P(LevelViews, DrawTheirThornsInsideTheBoxesThatKill)
    {
        CapturedOutput output;
        myWorld->InitWithScene(GetParam().myScenePath, myInput);
        ASSERT_NE(TopLevel(), nullptr) << output.Text();
        for (int frame = 0; frame < 600 && TopLevel()->GetLevelPath() != GetParam().myScenePath; ++frame)
        {
            ASSERT_TRUE(Frame());
        }
        ASSERT_EQ(TopLevel()->GetLevelPath(), GetParam().myScenePath);
        const ParallaxLayers& layers = TopLevel()->GetParallaxLayers();
        const std::vector<Box>& traps = TopLevel()->GetPlayer()->GetTrapBoxes();
        ASSERT_FALSE(traps.empty());
        constexpr float EDGE = 2.0f;
        std::vector<const ParallaxSprite*> thorns;
        for (int layer : { ParallaxLayers::BACK_LAYER, ParallaxLayers::MIDDLE_LAYER, ParallaxLayers::FRONT_LAYER })
        {
            for (const ParallaxSprite& sprite : layers.GetLayer(layer))
            {
                const Vra::TextureResource* texture = layers.GetTextures()[static_cast<std::size_t>(sprite.myTextureIndex)].myColorTexture;
                ASSERT_NE(texture, nullptr);
                if (texture->myPath.find("sprites/terrain/") != std::string::npos && texture->myPath.find("_Trap") != std::string::npos)
                {
                    EXPECT_EQ(layer, ParallaxLayers::MIDDLE_LAYER) << texture->myPath;
                    EXPECT_FALSE(texture->myIsPlaceholder) << texture->myPath;
                    thorns.push_back(&sprite);
                }
            }
        }
        const auto inside = [&](const ParallaxSprite& aSprite, const Box& aBox) {
            return aSprite.myCenterX - aSprite.myHalfWidth >= aBox.myMin.x - EDGE && aSprite.myCenterX + aSprite.myHalfWidth <= aBox.myMax.x + EDGE &&
                   aSprite.myCenterY - aSprite.myHalfHeight >= aBox.myMin.y - EDGE && aSprite.myCenterY + aSprite.myHalfHeight <= aBox.myMax.y + EDGE;
        };
        for (const ParallaxSprite* sprite : thorns)
        {
            EXPECT_TRUE(std::any_of(traps.begin(), traps.end(), [&](const Box& aBox) { return inside(*sprite, aBox); }))
                << "thorns at " << sprite->myCenterX << ", " << sprite->myCenterY << " outside every box that kills";
        }
        for (const Box& trap : traps)
        {
            // Points across the box, each under some thorn piece.
            for (int i = 0; i <= 10; ++i)
            {
                const float x = trap.myMin.x + (trap.myMax.x - trap.myMin.x) * static_cast<float>(i) / 10.0f;
                const float y = (trap.myMin.y + trap.myMax.y) / 2.0f;
                EXPECT_TRUE(std::any_of(thorns.begin(), thorns.end(), [&](const ParallaxSprite* aSprite) {
                    return std::abs(aSprite->myCenterX - x) <= aSprite->myHalfWidth + EDGE && std::abs(aSprite->myCenterY - y) <= aSprite->myHalfHeight + EDGE;
                })) << "no thorns at " << x << ", " << y;
            }
        }
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    INSTANTIATE_TEST_SUITE_P(Levels, LevelViews, ::testing::ValuesIn(LEVEL_PICTURES),
                             [](const ::testing::TestParamInfo<LevelPictures>& anInfo) { return std::string(anInfo.param.myName); });
}
