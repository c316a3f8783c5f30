#include "text/impl/TextLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
    using Vra::GlyphRecord;
    using Vra::InternalTextAndFontData;
    using Vra::impl::TextLayout;

    GlyphRecord Glyph(int16_t aWidth, int16_t aHeight, int16_t anAdvance, int16_t aLeft, int16_t aTop)
    {
        GlyphRecord glyph;
        glyph.myWidth = aWidth;
        glyph.myHeight = aHeight;
        glyph.myAdvanceX = anAdvance;
        glyph.myLeftBearing = aLeft;
        glyph.myTopBearing = aTop;
        return glyph;
    }

    // A made-up font with round numbers, so that every expected position can be worked out by hand.
    std::unique_ptr<InternalTextAndFontData> MadeUpFont()
    {
        auto font = std::make_unique<InternalTextAndFontData>();
        font->myGlyphs['A'] = Glyph(10, 12, 11, 1, 12);
        font->myGlyphs['B'] = Glyph(9, 20, 10, 2, 15);
        font->myGlyphs['g'] = Glyph(8, 10, 9, 0, 4);
        font->myGlyphs[' '] = Glyph(0, 0, 5, 0, 0);
        font->myExtraSpaceWidth = 3;
        return font;
    }

    struct Placed
    {
        char myCharacter;
        float myX;
        float myY;
    };

    std::vector<Placed> Lay(const InternalTextAndFontData& aFont, const std::string& aText, float aScale)
    {
        std::vector<Placed> placed;
        size_t index = 0;
        TextLayout::ForEachGlyph(aFont, aText, aScale, [&](float aX, float aY, const GlyphRecord&) {
            placed.push_back({ aText[index++], aX, aY });
        });
        return placed;
    }

    struct LayoutCase
    {
        const char* myName;
        std::string myText;
        float myScale;
        std::vector<Placed> myExpected;
    };

    void PrintTo(const LayoutCase& aCase, std::ostream* aStream) { *aStream << aCase.myName; }

    class TextLayoutCases : public testing::TestWithParam<LayoutCase>
    {
    };

    TEST_P(TextLayoutCases, EveryByteLandsWhereThePenPutsIt)
    {
        const LayoutCase& layout = GetParam();
        const auto font = MadeUpFont();
        const std::vector<Placed> placed = Lay(*font, layout.myText, layout.myScale);
        ASSERT_EQ(placed.size(), layout.myExpected.size());
        for (size_t i = 0; i < placed.size(); ++i)
        {
            EXPECT_FLOAT_EQ(placed[i].myX, layout.myExpected[i].myX) << "byte " << i;
            EXPECT_FLOAT_EQ(placed[i].myY, layout.myExpected[i].myY) << "byte " << i;
        }
    }

    INSTANTIATE_TEST_SUITE_P(
        Strings, TextLayoutCases,
        testing::Values(
            // A line feed sits where the pen stood; B's line starts line height (12, A's) + 6 below A's.
            LayoutCase{ "LineFeed", "A\nB", 1.0f, { { 'A', 1, 12 }, { '\n', 11, 0 }, { 'B', 2, 15 - 18 } } },
            // The space moves the pen by its advance (5) plus the extra width (3).
            LayoutCase{ "Space", "A A", 1.0f, { { 'A', 1, 12 }, { ' ', 11, 0 }, { 'A', 11 + 8 + 1, 12 } } },
            LayoutCase{ "Scaled", "AB", 2.0f, { { 'A', 2, 24 }, { 'B', 2 * (11 + 2), 30 } } },
            // The line height is the tallest glyph of the whole string so far, not of the line.
            LayoutCase{ "TallestSoFar", "B\nA\ng", 1.0f,
                        { { 'B', 2, 15 }, { '\n', 10, 0 }, { 'A', 1, 12 - 26 }, { '\n', 11, -26 }, { 'g', 0, 4 - 52 } } },
            LayoutCase{ "LineFeedResetsX", "AA\nA", 1.0f, { { 'A', 1, 12 }, { 'A', 12, 12 }, { '\n', 22, 0 }, { 'A', 1, -6 } } }),
        [](const testing::TestParamInfo<LayoutCase>& anInfo) { return anInfo.param.myName; });

    TEST(TextLayout, UnknownBytesAdvanceNothing)
    {
        const auto font = MadeUpFont();
        const std::string text = std::string("A") + char(200) + "A";
        const std::vector<Placed> placed = Lay(*font, text, 1.0f);
        ASSERT_EQ(placed.size(), 3u);
        EXPECT_FLOAT_EQ(placed[1].myX, 11.0f);
        EXPECT_FLOAT_EQ(placed[2].myX, 12.0f);
    }

    TEST(TextLayout, WidthIsTheRightmostGlyphEdgeWithUnscaledWidths)
    {
        const auto font = MadeUpFont();
        EXPECT_FLOAT_EQ(TextLayout::Width(*font, "AB", 1.0f), 11 + 2 + 9);
        EXPECT_FLOAT_EQ(TextLayout::Width(*font, "AB", 2.0f), 2 * (11 + 2) + 9);
        EXPECT_FLOAT_EQ(TextLayout::Width(*font, "AB\nA", 1.0f), 22);
        EXPECT_FLOAT_EQ(TextLayout::Width(*font, "A\nAB", 1.0f), 22);
        EXPECT_FLOAT_EQ(TextLayout::Width(*font, "", 1.0f), 0.0f);
        EXPECT_GT(TextLayout::Width(*font, " ", 1.0f), 0.0f);
        EXPECT_LT(TextLayout::Width(*font, " ", 1.0f), 1e-30f);
    }

    TEST(TextLayout, HeightIsTheTopmostGlyphEdgeWithUnscaledHeights)
    {
        const auto font = MadeUpFont();
        EXPECT_FLOAT_EQ(TextLayout::Height(*font, "AB", 1.0f), 15 + 20);
        EXPECT_FLOAT_EQ(TextLayout::Height(*font, "AB", 0.5f), 7.5f + 20);
        EXPECT_FLOAT_EQ(TextLayout::Height(*font, "A\nB", 1.0f), 12 + 12);
        EXPECT_FLOAT_EQ(TextLayout::Height(*font, "", 1.0f), 0.0f);
    }

    TEST(TextLayout, CentreIsTheMiddleOfTheGlyphBox)
    {
        const auto font = MadeUpFont();
        // A spans x 1..11, y 12..24; B spans x 13..22, y 15..35.
        const TextLayout::Point centre = TextLayout::Centre(*font, "AB", 1.0f);
        EXPECT_FLOAT_EQ(centre.myX, (1 + 22) / 2.0f);
        EXPECT_FLOAT_EQ(centre.myY, (12 + 35) / 2.0f);
        // Lines wholly below the origin still find their own top edge.
        auto below = MadeUpFont();
        below->myGlyphs['A'] = Glyph(10, 4, 11, -20, -10);
        const TextLayout::Point low = TextLayout::Centre(*below, "AA", 1.0f);
        EXPECT_FLOAT_EQ(low.myX, (-20 + (-9 + 10)) / 2.0f);
        EXPECT_FLOAT_EQ(low.myY, (-10 + -6) / 2.0f);
    }
}
