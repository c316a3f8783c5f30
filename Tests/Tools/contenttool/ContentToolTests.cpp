// The content tool's own pieces: what they promise the pack's files.
#include "EngineTestSupport.h"
#include "Parallel.h"
#include "SpritePack.h"
#include "SpriteSheet.h"
#include "Terrain.h"
#include "StrokeText.h"
#include "Synth.h"
#include "TextureWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>

namespace
{
    using namespace ContentTool;
    namespace fs = std::filesystem;

    TEST(ContentToolMipChain, TransparentTexelsTakeTheColourAroundThem)
    {
        // A red half and a transparent half: filtering across the edge must not darken the red.
        Image image(8, 8);
        for (int y = 0; y < 8; ++y)
        {
            for (int x = 0; x < 4; ++x)
            {
                image.Over(x, y, {1.0f, 0.0f, 0.0f, 1.0f}, 1.0f);
            }
        }
        const MipChain chain = MakeMipChain(image, true);
        ASSERT_EQ(chain.size(), 4u);
        const std::vector<std::uint8_t>& top = chain[0].myBytes;
        const std::size_t transparent = (3 * 8 + 6) * 4;
        EXPECT_EQ(top[transparent + 3], 0);
        EXPECT_EQ(top[transparent + 0], 255);
        EXPECT_EQ(top[transparent + 1], 0);
        // The 1 x 1 level is the premultiplied average: half covered, still pure red.
        const std::vector<std::uint8_t>& last = chain[3].myBytes;
        EXPECT_EQ(last[0], 255);
        EXPECT_EQ(last[1], 0);
        EXPECT_NEAR(last[3], 128, 1);
    }

    TEST(ContentToolMipChain, KeepsOneLevelWhereMipsCannotHalveEvenly)
    {
        const Image image(12, 8);
        EXPECT_EQ(MakeMipChain(image, true).size(), 1u);
        EXPECT_EQ(MakeMipChain(Image(16, 8), false).size(), 1u);
        EXPECT_EQ(MakeMipChain(Image(16, 8), true).size(), 5u);
    }

    Image Filled(int aWidth, int aHeight, const Colour& aColour)
    {
        Image image(aWidth, aHeight);
        image.Clear(aColour);
        return image;
    }

    TEST(ContentToolBlocks, OpaquePicturesTakeBc1AndOthersBc3)
    {
        EXPECT_EQ(ChooseBlockFormat(MakeMipChain(Filled(8, 8, {0.2f, 0.4f, 0.6f, 1.0f}), true)), BlockFormat::Bc1);
        Image oneClear = Filled(8, 8, {0.2f, 0.4f, 0.6f, 1.0f});
        for (int c = 0; c < 4; ++c)
        {
            oneClear.At(5, 6)[c] *= 0.5f;
        }
        EXPECT_EQ(ChooseBlockFormat(MakeMipChain(oneClear, true)), BlockFormat::Bc3);
        EXPECT_EQ(ChooseBlockFormat(MakeMipChain(Image(8, 8), false)), BlockFormat::Bc3);
    }

    // Blocks of 8 or 16 bytes, row by row; a level smaller than a block still takes one.
    TEST(ContentToolBlocks, LevelsTakeOneBlockPerFourByFourTexels)
    {
        struct Case
        {
            std::uint32_t myWidth;
            std::uint32_t myHeight;
            BlockFormat myFormat;
            std::size_t myBytes;
        };
        const Case cases[] = {
            {16, 8, BlockFormat::Bc1, 4 * 2 * 8}, {16, 8, BlockFormat::Bc3, 4 * 2 * 16}, {2, 1, BlockFormat::Bc1, 8},
            {1, 1, BlockFormat::Bc3, 16},         {6, 10, BlockFormat::Bc3, 2 * 3 * 16},
        };
        for (const Case& aCase : cases)
        {
            const MipLevel level{aCase.myWidth, aCase.myHeight, std::vector<std::uint8_t>(std::size_t{aCase.myWidth} * aCase.myHeight * 4, 200)};
            EXPECT_EQ(CompressLevel(level, aCase.myFormat).size(), aCase.myBytes) << aCase.myWidth << " x " << aCase.myHeight;
        }
    }

    // The texels past a small level's edge are no part of its block's fit: a 2 x 2 level of two
    // colours (a block's two end points) decodes exactly, however the rest would have been filled.
    TEST(ContentToolBlocks, SmallLevelsFitOnlyTheirOwnTexels)
    {
        for (const BlockFormat format : {BlockFormat::Bc1, BlockFormat::Bc3})
        {
            const MipLevel level{2, 2, {255, 0, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 255, 0, 0, 255}};
            const MipLevel decoded = DecompressLevel(2, 2, CompressLevel(level, format), format);
            EXPECT_EQ(decoded.myBytes, level.myBytes);
        }
    }

    // Sums of the differences per channel between two levels' premultiplied texels (what shows on
    // screen), of 255.
    struct LevelError
    {
        double myColour = 0.0;
        double myAlpha = 0.0;
        double myTexels = 0.0;

        void Add(const MipLevel& anOriginal, const MipLevel& aDecoded)
        {
            for (std::size_t at = 0; at < anOriginal.myBytes.size(); at += 4)
            {
                for (std::size_t c = 0; c < 3; ++c)
                {
                    myColour += std::abs(anOriginal.myBytes[at + c] * anOriginal.myBytes[at + 3] - aDecoded.myBytes[at + c] * aDecoded.myBytes[at + 3]) / (3.0 * 255.0);
                }
                myAlpha += std::abs(anOriginal.myBytes[at + 3] - aDecoded.myBytes[at + 3]);
                myTexels += 1.0;
            }
        }
        double MeanColour() const { return myColour / myTexels; }
        double MeanAlpha() const { return myAlpha / myTexels; }
    };

    // Every sprite of the pack against its blocks: the mean difference per channel stays small on
    // the full-size level and over the whole chain (the few texels of the smallest levels differ
    // more, and weigh as little as they show).
    TEST(ContentToolBlocks, CompressedSpritesStayCloseToTheirPictures)
    {
        constexpr double MEAN_COLOUR_ERROR = 2.0;
        constexpr double MEAN_ALPHA_ERROR = 1.0;
        const fs::path table = EngineTestSupport::EnvironmentPath("VRA_BIN_DIR") / "settings" / "LoadVFX.json";
        const std::vector<SpriteJob> jobs = AllSpriteJobs(table);
        ASSERT_FALSE(jobs.empty());
        std::mutex failures;
        std::vector<std::string> messages;
        RunInParallel(jobs.size(), [&](std::size_t anIndex) {
            const SpriteJob& job = jobs[anIndex];
            const MipChain chain = MakeMipChain(job.myPaint(), job.myMips);
            const BlockFormat format = ChooseBlockFormat(chain);
            LevelError top;
            LevelError all;
            for (std::size_t mip = 0; mip < chain.size(); ++mip)
            {
                const MipLevel& level = chain[mip];
                const MipLevel decoded = DecompressLevel(level.myWidth, level.myHeight, CompressLevel(level, format), format);
                all.Add(level, decoded);
                if (mip == 0)
                {
                    top.Add(level, decoded);
                }
            }
            for (const auto& [what, error] : {std::pair{"full size", top}, std::pair{"whole chain", all}})
            {
                if (error.MeanColour() > MEAN_COLOUR_ERROR || error.MeanAlpha() > MEAN_ALPHA_ERROR)
                {
                    const std::lock_guard lock(failures);
                    messages.push_back(job.myPath + ", " + what + ": colour " + std::to_string(error.MeanColour()) + ", alpha " + std::to_string(error.MeanAlpha()));
                }
            }
        });
        for (const std::string& message : messages)
        {
            ADD_FAILURE() << message;
        }
    }

    // The mean channel difference between two columns (or rows) of a painted picture.
    double LineDifference(const ContentTool::Image& anImage, bool aColumns, int aFirst, int aSecond)
    {
        const int length = aColumns ? anImage.Height() : anImage.Width();
        double sum = 0.0;
        for (int i = 0; i < length; ++i)
        {
            const float* a = aColumns ? anImage.At(aFirst, i) : anImage.At(i, aFirst);
            const float* b = aColumns ? anImage.At(aSecond, i) : anImage.At(i, aSecond);
            for (int c = 0; c < 4; ++c)
            {
                sum += std::abs(a[c] - b[c]);
            }
        }
        return sum / (length * 4);
    }

    // Tiles laid side by side (faces also above one another) join as smoothly as any two
    // neighbouring columns inside one tile; a face is opaque and a top covers the box's top edge.
    TEST(ContentToolTerrain, TilesJoinWithoutASeam)
    {
        for (const ContentTool::TerrainPiece& piece : ContentTool::TerrainPieces())
        {
            ContentTool::Image image(piece.myWidth, piece.myHeight);
            piece.myPaint(image);
            const std::string part = piece.myPart;
            const std::vector<bool> directions = part == "Face" ? std::vector<bool>{ true, false } : std::vector<bool>{ true };
            if (part != "Ledge")
            {
                for (const bool columns : directions)
                {
                    const int last = (columns ? image.Width() : image.Height()) - 1;
                    double inside = 0.0;
                    for (int line = 0; line < last; ++line)
                    {
                        inside += LineDifference(image, columns, line, line + 1);
                    }
                    inside /= last;
                    EXPECT_LE(LineDifference(image, columns, last, 0), 3.0 * inside + 0.01) << piece.myPath << (columns ? " across" : " down");
                }
            }
            int transparent = 0;
            for (int y = 0; y < image.Height(); ++y)
            {
                for (int x = 0; x < image.Width(); ++x)
                {
                    transparent += image.At(x, y)[3] < 0.999f ? 1 : 0;
                }
            }
            if (part == "Face")
            {
                EXPECT_EQ(transparent, 0) << piece.myPath;
            }
            else
            {
                EXPECT_GT(transparent, 0) << piece.myPath;
            }
            if (part == "Top")
            {
                for (int x = 0; x < image.Width(); ++x)
                {
                    ASSERT_GT(image.At(x, 0)[3], 0.99f) << piece.myPath << " leaves the box's top edge bare at " << x;
                }
            }
        }
    }

    TEST(ContentToolStrokeText, RefusesCharactersWithoutAGlyph)
    {
        EXPECT_NO_THROW(StrokeText("SDL2 \xB7 OPENGL", 20.0f, 3.0f));
        EXPECT_THROW(StrokeText("lower case", 20.0f, 3.0f), std::invalid_argument);
        EXPECT_THROW(StrokeText("A+B", 20.0f, 3.0f), std::invalid_argument);
    }

    TEST(ContentToolStrokeText, InksInsideItsBoxOnly)
    {
        StrokeText text("HI", 60.0f, 8.0f);
        text.CentreAt({100.0f, 50.0f});
        // The H's left stem and the cross bar are ink; the space above the text and the gap between
        // the letters are not.
        EXPECT_LT(text.Distance({text.Min().x + 4.0f, 50.0f}), 0.0f);
        EXPECT_GT(text.Distance({100.0f, text.Min().y - 10.0f}), 0.0f);
        EXPECT_GT(text.Width(), 60.0f);
        EXPECT_LT(text.Width(), 200.0f);
    }

    TEST(ContentToolSpriteSheet, FramesGoRowByRowTopRowFirst)
    {
        const Image sheet = PaintSheet(3, 2, 4, 4, [](Image& aCell, int aFrame, int aCount) {
            EXPECT_EQ(aCount, 6);
            aCell.Over(0, 0, {aFrame / 5.0f, 0.0f, 0.0f, 1.0f}, 1.0f);
        });
        ASSERT_EQ(sheet.Width(), 12);
        ASSERT_EQ(sheet.Height(), 8);
        EXPECT_FLOAT_EQ(sheet.At(4, 0)[0], 1.0f / 5.0f);  // frame 1: second column, top row
        EXPECT_FLOAT_EQ(sheet.At(0, 4)[0], 3.0f / 5.0f);  // frame 3: first column, second row
        EXPECT_FLOAT_EQ(sheet.At(8, 4)[0], 1.0f);         // frame 5: last cell
        EXPECT_FLOAT_EQ(sheet.At(1, 0)[3], 0.0f);         // the rest of a cell stays clear
    }

    TEST(ContentToolAudio, ALoopingBufferWrapsWhatRingsPastItsEnd)
    {
        AudioBuffer loop(1, 100, true);
        loop.Mix(std::vector<float>(30, 1.0f), 90, 1.0f);
        EXPECT_FLOAT_EQ(loop.At(95, 0), 1.0f);
        EXPECT_FLOAT_EQ(loop.At(10, 0), 1.0f);
        EXPECT_FLOAT_EQ(loop.At(20, 0), 0.0f);
        AudioBuffer once(1, 100, false);
        once.Mix(std::vector<float>(30, 1.0f), 90, 1.0f);
        EXPECT_FLOAT_EQ(once.At(10, 0), 0.0f);
    }
}
