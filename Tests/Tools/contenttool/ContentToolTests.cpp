// The content tool's own pieces: what they promise the pack's files.
#include "SpriteSheet.h"
#include "StrokeText.h"
#include "Synth.h"
#include "TextureWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
    using namespace ContentTool;

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
