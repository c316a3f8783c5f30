#include "FileBytes.h"
#include "FontFiles.h"
#include "TemporaryFolder.h"

#include "text/InternalTextAndFontData.h"
#include "text/impl/GlyphAtlasBuilder.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace
{
    using Vra::GlyphRecord;
    using Vra::InternalTextAndFontData;
    using Vra::impl::GlyphAtlasBuilder;

    constexpr int ATLAS = static_cast<int>(InternalTextAndFontData::ATLAS_SIZE);

    struct Rect
    {
        int myLeft, myTop, myRight, myBottom;
    };

    Rect PixelRect(const GlyphRecord& aGlyph)
    {
        return { static_cast<int>(aGlyph.myTextureRect[0] * ATLAS + 0.5f), static_cast<int>(aGlyph.myTextureRect[1] * ATLAS + 0.5f),
                 static_cast<int>(aGlyph.myTextureRect[2] * ATLAS + 0.5f), static_cast<int>(aGlyph.myTextureRect[3] * ATLAS + 0.5f) };
    }

    bool IsEmpty(const GlyphRecord& aGlyph)
    {
        return aGlyph.myWidth == 0 && aGlyph.myHeight == 0 && aGlyph.myAdvanceX == 0 && aGlyph.myTextureRect[2] == 0.0f;
    }

    class GlyphAtlasBuilderTest : public testing::Test
    {
    protected:
        void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&myLibrary), 0); }
        void TearDown() override { FT_Done_FreeType(myLibrary); }

        std::unique_ptr<InternalTextAndFontData> Build(const std::string& aFont, uint32_t aSize, uint8_t aBorder)
        {
            auto font = std::make_unique<InternalTextAndFontData>();
            font->myAtlasPixels.assign(static_cast<size_t>(ATLAS) * ATLAS, 0);
            EXPECT_TRUE(GlyphAtlasBuilder::Build(myLibrary, TestSupport::FontFile(aFont), aSize, aBorder, *font))
                << "font " << TestSupport::FontFile(aFont) << " (fetched by scripts/setup)";
            return font;
        }

        // What FreeType itself renders for one character, for comparison.
        struct Reference
        {
            int myWidth = 0, myRows = 0, myLeft = 0, myTop = 0, myAdvance = 0;
            std::vector<uint8_t> myPixels;
        };

        Reference Render(const std::string& aFont, uint32_t aSize, unsigned char aCharacter)
        {
            Reference reference;
            FT_Face face = nullptr;
            if (FT_New_Face(myLibrary, TestSupport::FontFile(aFont).c_str(), 0, &face) != 0)
            {
                ADD_FAILURE() << "no font " << TestSupport::FontFile(aFont);
                return reference;
            }
            FT_Set_Char_Size(face, aSize * 64, 0, 100, 100);
            EXPECT_EQ(FT_Load_Char(face, aCharacter, FT_LOAD_RENDER), 0);
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            reference.myWidth = static_cast<int>(bitmap.width);
            reference.myRows = static_cast<int>(bitmap.rows);
            reference.myLeft = face->glyph->bitmap_left;
            reference.myTop = face->glyph->bitmap_top;
            reference.myAdvance = static_cast<int>(face->glyph->advance.x >> 6);
            for (int y = 0; y < reference.myRows; ++y)
            {
                for (int x = 0; x < reference.myWidth; ++x)
                {
                    reference.myPixels.push_back(bitmap.buffer[y * bitmap.pitch + x]);
                }
            }
            FT_Done_Face(face);
            return reference;
        }

        FT_Library myLibrary = nullptr;
    };

    uint32_t PixelAt(const InternalTextAndFontData& aFont, int aX, int aY)
    {
        return aFont.myAtlasPixels[static_cast<size_t>(aY) * ATLAS + aX];
    }

    // Every non-zero atlas pixel lies in some placed glyph's rectangle, widened by aSlack pixels
    // to the left and top (a glyph whose first column or row is empty is drawn one pixel early).
    void ExpectNothingOutsideRectangles(const InternalTextAndFontData& aFont, int aSlack)
    {
        std::vector<bool> covered(static_cast<size_t>(ATLAS) * ATLAS, false);
        for (const GlyphRecord& glyph : aFont.myGlyphs)
        {
            const Rect rect = PixelRect(glyph);
            for (int y = std::max(0, rect.myTop - aSlack); y < rect.myBottom; ++y)
            {
                for (int x = std::max(0, rect.myLeft - aSlack); x < rect.myRight; ++x)
                {
                    covered[static_cast<size_t>(y) * ATLAS + x] = true;
                }
            }
        }
        int stray = 0;
        for (size_t i = 0; i < covered.size(); ++i)
        {
            stray += (!covered[i] && aFont.myAtlasPixels[i] != 0) ? 1 : 0;
        }
        EXPECT_EQ(stray, 0) << "atlas pixels written outside every glyph rectangle";
    }

    void ExpectRectanglesDisjoint(const InternalTextAndFontData& aFont)
    {
        for (int a = 32; a < 256; ++a)
        {
            const Rect first = PixelRect(aFont.myGlyphs[a]);
            if (first.myRight <= first.myLeft || first.myBottom <= first.myTop)
            {
                continue;
            }
            EXPECT_TRUE(first.myLeft >= 0 && first.myTop >= 0 && first.myRight <= ATLAS && first.myBottom <= ATLAS) << a;
            for (int b = a + 1; b < 256; ++b)
            {
                const Rect second = PixelRect(aFont.myGlyphs[b]);
                const bool apart = second.myLeft >= first.myRight || second.myRight <= first.myLeft ||
                                   second.myTop >= first.myBottom || second.myBottom <= first.myTop;
                EXPECT_TRUE(apart) << "glyphs " << a << " and " << b << " share atlas pixels";
            }
        }
    }

    struct FaceCase
    {
        const char* myFont;
        uint32_t mySize;
    };

    void PrintTo(const FaceCase& aCase, std::ostream* aStream) { *aStream << aCase.myFont << " at " << aCase.mySize; }

    class GlyphAtlasFaces : public GlyphAtlasBuilderTest, public testing::WithParamInterface<FaceCase>
    {
    };

    TEST_P(GlyphAtlasFaces, GlyphsAreFreeTypeBitmapsInWhiteWithCoverageAlpha)
    {
        const FaceCase face = GetParam();
        const auto font = Build(face.myFont, face.mySize, 0);
        for (int character = 33; character < 256; ++character)
        {
            const Reference reference = Render(face.myFont, face.mySize, static_cast<unsigned char>(character));
            const GlyphRecord& glyph = font->myGlyphs[character];
            ASSERT_EQ(glyph.myWidth, reference.myWidth) << character;
            ASSERT_EQ(glyph.myHeight, reference.myRows) << character;
            EXPECT_EQ(glyph.myAdvanceX, reference.myAdvance) << character;
            EXPECT_EQ(glyph.myLeftBearing, reference.myLeft) << character;
            EXPECT_EQ(glyph.myTopBearing, reference.myTop) << character;
            if (reference.myWidth == 0)
            {
                continue;
            }
            const Rect rect = PixelRect(glyph);
            ASSERT_EQ(rect.myRight - rect.myLeft, reference.myWidth) << character;
            ASSERT_EQ(rect.myBottom - rect.myTop, reference.myRows) << character;
            bool firstColumnEmpty = true;
            bool firstRowEmpty = true;
            for (int y = 0; y < reference.myRows; ++y)
            {
                firstColumnEmpty = firstColumnEmpty && reference.myPixels[y * reference.myWidth] == 0;
            }
            for (int x = 0; x < reference.myWidth; ++x)
            {
                firstRowEmpty = firstRowEmpty && reference.myPixels[x] == 0;
            }
            const int left = rect.myLeft - (firstColumnEmpty ? 1 : 0);
            const int top = rect.myTop - (firstRowEmpty ? 1 : 0);
            for (int y = 0; y < reference.myRows; ++y)
            {
                for (int x = 0; x < reference.myWidth; ++x)
                {
                    const uint32_t v = reference.myPixels[y * reference.myWidth + x];
                    ASSERT_EQ(PixelAt(*font, left + x, top + y), v | v << 8 | v << 16 | v << 24)
                        << "character " << character << " pixel " << x << ", " << y;
                }
            }
        }
        EXPECT_TRUE(IsEmpty(font->myGlyphs['\n']));
        EXPECT_EQ(font->myGlyphs[' '].myWidth, 0);
        EXPECT_GT(font->myGlyphs[' '].myAdvanceX, 0);
        ExpectRectanglesDisjoint(*font);
        ExpectNothingOutsideRectangles(*font, 1);
    }

    INSTANTIATE_TEST_SUITE_P(Fonts, GlyphAtlasFaces,
                             testing::Values(FaceCase{ "arial.ttf", 14 }, FaceCase{ "Cinzel-Bold.ttf", 30 },
                                             FaceCase{ "CinzelDecorative-Bold.ttf", 18 }),
                             [](const testing::TestParamInfo<FaceCase>& anInfo) {
                                 std::string name = std::string(anInfo.param.myFont) + std::to_string(anInfo.param.mySize);
                                 std::erase_if(name, [](char aCharacter) { return !std::isalnum(static_cast<unsigned char>(aCharacter)); });
                                 return name;
                             });

    TEST_F(GlyphAtlasBuilderTest, ExtraSpaceIsAQuarterOfTheWidthOfX)
    {
        const auto font = Build("arial.ttf", 40, 0);
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(myLibrary, TestSupport::FontFile("arial.ttf").c_str(), 0, &face), 0);
        FT_Set_Char_Size(face, 40 * 64, 0, 100, 100);
        FT_Load_Char(face, 'x', FT_LOAD_DEFAULT);
        const long quarter = face->glyph->metrics.width / 256;
        FT_Done_Face(face);
        EXPECT_GT(quarter, 0);
        EXPECT_EQ(font->myExtraSpaceWidth, quarter);
    }

    TEST_F(GlyphAtlasBuilderTest, BorderedGlyphsAreWhiteOverABlackOutline)
    {
        const uint8_t border = 2;
        const auto plain = Build("arial.ttf", 24, 0);
        const auto outlined = Build("arial.ttf", 24, border);
        const GlyphRecord& glyph = outlined->myGlyphs['O'];
        EXPECT_EQ(glyph.myWidth, plain->myGlyphs['O'].myWidth + 2 * border);
        EXPECT_EQ(glyph.myHeight, plain->myGlyphs['O'].myHeight + 2 * border);
        EXPECT_EQ(glyph.myAdvanceX, plain->myGlyphs['O'].myAdvanceX);
        const Rect rect = PixelRect(glyph);
        EXPECT_EQ(rect.myRight - rect.myLeft, glyph.myWidth);

        int outline = 0;
        int fill = 0;
        for (int y = rect.myTop; y < rect.myBottom; ++y)
        {
            for (int x = rect.myLeft; x < rect.myRight; ++x)
            {
                const uint32_t pixel = PixelAt(*outlined, x, y);
                const uint32_t red = pixel & 0xFF, green = (pixel >> 8) & 0xFF, blue = (pixel >> 16) & 0xFF;
                const uint32_t alpha = pixel >> 24;
                ASSERT_TRUE(red == green && green == blue) << x << ", " << y;
                ASSERT_LE(red, alpha) << "colour brighter than its coverage at " << x << ", " << y;
                outline += (alpha == 0xFF && red == 0) ? 1 : 0;
                fill += (alpha == 0xFF && red == 0xFF) ? 1 : 0;
            }
        }
        EXPECT_GT(outline, 20);
        EXPECT_GT(fill, 20);
        // The outline rings the fill: the rectangle's edges are not white.
        EXPECT_EQ(PixelAt(*outlined, (rect.myLeft + rect.myRight) / 2, rect.myTop) & 0xFF, 0u);
        ExpectRectanglesDisjoint(*outlined);
        ExpectNothingOutsideRectangles(*outlined, 1);
    }

    TEST_F(GlyphAtlasBuilderTest, WideBordersKeepGlyphsApart)
    {
        const auto font = Build("arial.ttf", 20, 7);
        ExpectRectanglesDisjoint(*font);
        ExpectNothingOutsideRectangles(*font, 1);
    }

    TEST_F(GlyphAtlasBuilderTest, GlyphsThatDoNotFitStayEmptyAndWriteNothing)
    {
        for (const uint8_t border : { uint8_t{ 0 }, uint8_t{ 3 } })
        {
            const auto font = Build("arial.ttf", 220, border);
            int placed = 0;
            int dropped = 0;
            for (int character = 33; character < 256; ++character)
            {
                const GlyphRecord& glyph = font->myGlyphs[character];
                if (IsEmpty(glyph))
                {
                    ++dropped;
                    continue;
                }
                ++placed;
                for (const float coordinate : glyph.myTextureRect)
                {
                    EXPECT_LE(coordinate, 1.0f) << character;
                }
            }
            EXPECT_GT(placed, 0) << "border " << int(border);
            EXPECT_GT(dropped, 0) << "border " << int(border);
            EXPECT_TRUE(IsEmpty(font->myGlyphs[255])) << "border " << int(border);
            ExpectRectanglesDisjoint(*font);
            ExpectNothingOutsideRectangles(*font, 1);
        }
    }

    TEST_F(GlyphAtlasBuilderTest, UnusableFacesFail)
    {
        const TestSupport::TemporaryFolder folder;
        const std::filesystem::path garbage = folder.Write("garbage.ttf", "this is not a font file at all");
        const std::filesystem::path truncated = folder.Write("truncated.ttf", TestSupport::ReadFileBytes(TestSupport::FontFile("arial.ttf")).substr(0, 64));
        for (const std::string& path : { (folder.Path() / "missing.ttf").string(), garbage.string(), truncated.string() })
        {
            InternalTextAndFontData font;
            font.myAtlasPixels.assign(static_cast<size_t>(ATLAS) * ATLAS, 0);
            EXPECT_FALSE(GlyphAtlasBuilder::Build(myLibrary, path, 14, 0, font)) << path;
        }
        InternalTextAndFontData font;
        font.myAtlasPixels.assign(static_cast<size_t>(ATLAS) * ATLAS, 0);
        EXPECT_FALSE(GlyphAtlasBuilder::Build(nullptr, TestSupport::FontFile("arial.ttf"), 14, 0, font));
    }
}
