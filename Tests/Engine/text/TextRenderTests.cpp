#include "EngineTestSupport.h"
#include "FontFiles.h"

#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "text/Text.h"
#include "text/TextService.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace
{
    using namespace EngineTestSupport;
    using Vra::GlyphRecord;
    using Vra::InternalTextAndFontData;

    constexpr std::uint32_t WIDTH = 256;
    constexpr std::uint32_t HEIGHT = 128;
    constexpr int ATLAS = static_cast<int>(InternalTextAndFontData::ATLAS_SIZE);

    // White glyphs blend over black as coverage times coverage (the atlas is white with
    // coverage alpha), and the sRGB back buffer encodes that.
    int ExpectedLevel(std::uint32_t aCoverage)
    {
        const double linear = std::pow(aCoverage / 255.0, 2.0);
        const double encoded = linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
        return static_cast<int>(std::lround(encoded * 255.0));
    }

    // A glyph's quad on screen: its top-left corner in screen space (y up) and the magnification.
    struct Placement
    {
        unsigned char myCharacter;
        int myLeft;
        int myTop;
    };

    class TextRenderTest : public EngineFrameTest
    {
    protected:
        TextRenderTest() : EngineFrameTest(WIDTH, HEIGHT) {}

        // The game folder holds the font before the engine starts.
        void SetUp() override
        {
            fs::create_directories(myFolder.GetRoot() / "game" / "Text");
            fs::copy_file(TestSupport::FontFile("arial.ttf"), myFolder.GetRoot() / "game" / "Text" / "arial.ttf");
            EngineFrameTest::SetUp();
        }

        static Vra::GraphicsStateStack& States() { return Vra::Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack(); }

        // Compares the back buffer with the atlas copied to each placement at aScale (each atlas
        // pixel an aScale x aScale block), and expects black everywhere else. Pixels that two
        // quads share are skipped. Returns the number of wrong pixels.
        static int WrongPixels(const InternalTextAndFontData& aFont, const std::vector<Placement>& somePlacements, int aScale = 1)
        {
            const Image image(BackBufferTexture());
            std::vector<int> expected(static_cast<std::size_t>(WIDTH) * HEIGHT, 0);
            std::vector<int> covers(expected.size(), 0);
            for (const Placement& placement : somePlacements)
            {
                const GlyphRecord& glyph = aFont.myGlyphs[placement.myCharacter];
                const int atlasLeft = static_cast<int>(std::lround(glyph.myTextureRect[0] * ATLAS));
                const int atlasTop = static_cast<int>(std::lround(glyph.myTextureRect[1] * ATLAS));
                for (int y = 0; y < glyph.myHeight * aScale; ++y)
                {
                    for (int x = 0; x < glyph.myWidth * aScale; ++x)
                    {
                        const int column = placement.myLeft + x;
                        const int row = static_cast<int>(HEIGHT) - placement.myTop + y;
                        EXPECT_TRUE(column >= 0 && column < static_cast<int>(WIDTH) && row >= 0 && row < static_cast<int>(HEIGHT))
                            << "the test's text must lie on screen";
                        const std::uint32_t texel = aFont.myAtlasPixels[static_cast<std::size_t>(atlasTop + y / aScale) * ATLAS + atlasLeft + x / aScale];
                        const std::size_t index = static_cast<std::size_t>(row) * WIDTH + column;
                        expected[index] = ExpectedLevel(texel >> 24);
                        ++covers[index];
                    }
                }
            }
            int wrong = 0;
            for (std::uint32_t row = 0; row < HEIGHT; ++row)
            {
                for (std::uint32_t column = 0; column < WIDTH; ++column)
                {
                    const std::size_t index = static_cast<std::size_t>(row) * WIDTH + column;
                    if (covers[index] > 1)
                    {
                        continue;
                    }
                    const Pixel pixel = image.At(column, row);
                    if (std::abs(pixel.r - expected[index]) > 3 || pixel.g != pixel.r || pixel.b != pixel.r)
                    {
                        ++wrong;
                    }
                }
            }
            return wrong;
        }
    };

    struct LayoutCase
    {
        const char* myName;
        std::string myText;
        // Where each visible glyph's top-left corner goes, worked out from the glyph records
        // with the text at (0, 0).
        std::function<std::vector<Placement>(const InternalTextAndFontData&)> myPlacements;
    };

    void PrintTo(const LayoutCase& aCase, std::ostream* aStream) { *aStream << aCase.myName; }

    class TextLayoutOnScreen : public TextRenderTest, public ::testing::WithParamInterface<LayoutCase> {};

    TEST_P(TextLayoutOnScreen, GlyphsLandWhereTheLayoutPutsThem)
    {
        const LayoutCase& layout = GetParam();
        Vra::Text text("Text/arial.ttf", 14, 0);
        ASSERT_TRUE(text.GetFont());
        text.SetText(layout.myText);
        const int originX = 20;
        const int originY = 100;
        text.SetPosition({ static_cast<float>(originX), static_cast<float>(originY) });
        text.Render();

        std::vector<Placement> placements = layout.myPlacements(*text.GetFont());
        for (Placement& placement : placements)
        {
            placement.myLeft += originX;
            placement.myTop += originY;
        }
        EXPECT_EQ(WrongPixels(*text.GetFont(), placements), 0) << layout.myName;
    }

    Placement At(const InternalTextAndFontData& aFont, unsigned char aCharacter, int aPenX, int aPenY)
    {
        const GlyphRecord& glyph = aFont.myGlyphs[aCharacter];
        return { aCharacter, aPenX + glyph.myLeftBearing, aPenY + glyph.myTopBearing };
    }

    INSTANTIATE_TEST_SUITE_P(
        Strings, TextLayoutOnScreen,
        ::testing::Values(
            LayoutCase{ "OneGlyph", "A", [](const InternalTextAndFontData& f) { return std::vector<Placement>{ At(f, 'A', 0, 0) }; } },
            // The second line lies the first line's height plus 6 pixels lower.
            LayoutCase{ "LineFeed", "A\nB",
                        [](const InternalTextAndFontData& f) {
                            return std::vector<Placement>{ At(f, 'A', 0, 0), At(f, 'B', 0, -(f.myGlyphs['A'].myHeight + 6)) };
                        } },
            // The space advances by its own advance plus the extra space width.
            LayoutCase{ "Space", "A B",
                        [](const InternalTextAndFontData& f) {
                            const int afterSpace = f.myGlyphs['A'].myAdvanceX + f.myGlyphs[' '].myAdvanceX + f.myExtraSpaceWidth;
                            return std::vector<Placement>{ At(f, 'A', 0, 0), At(f, 'B', afterSpace, 0) };
                        } },
            // The tallest glyph so far sets the drop of every later line.
            LayoutCase{ "TallestGlyphSoFar", "l\na\nb",
                        [](const InternalTextAndFontData& f) {
                            const int tall = f.myGlyphs['l'].myHeight + 6;
                            return std::vector<Placement>{ At(f, 'l', 0, 0), At(f, 'a', 0, -tall), At(f, 'b', 0, -2 * tall) };
                        } }),
        [](const ::testing::TestParamInfo<LayoutCase>& anInfo) { return anInfo.param.myName; });

    struct FilterCase
    {
        std::uint32_t mySize;
        Platform::Gpu::Filter myFilter;
    };

    void PrintTo(const FilterCase& aCase, std::ostream* aStream) { *aStream << "size " << aCase.mySize; }

    class TextFiltering : public TextRenderTest, public ::testing::WithParamInterface<FilterCase> {};

    // Magnified twice, point sampling repeats each atlas pixel as a 2 x 2 block; linear sampling
    // blends neighbours and does not.
    TEST_P(TextFiltering, SmallTextIsPointSampledAndLargerTextLinearly)
    {
        const FilterCase filtering = GetParam();
        Vra::Text text("Text/arial.ttf", filtering.mySize, 0);
        ASSERT_TRUE(text.GetFont());
        text.SetText("W");
        text.SetScale(2.0f);
        text.SetPosition({ 40.0f, 10.0f });
        text.Render();

        const Platform::Gpu::Ref<Platform::Gpu::SamplerState> sampler = Vra::DX11::Context->PSGetSampler(0);
        ASSERT_TRUE(sampler);
        EXPECT_EQ(sampler->GetDesc().myFilter, filtering.myFilter);
        EXPECT_EQ(sampler->GetDesc().myAddressU, Platform::Gpu::TextureAddressMode::Clamp);

        const GlyphRecord& glyph = text.GetFont()->myGlyphs['W'];
        const Placement placement{ 'W', 40 + 2 * glyph.myLeftBearing, 10 + 2 * glyph.myTopBearing };
        const int wrong = WrongPixels(*text.GetFont(), { placement }, 2);
        if (filtering.myFilter == Platform::Gpu::Filter::MinMagMipPoint)
        {
            EXPECT_EQ(wrong, 0);
        }
        else
        {
            EXPECT_GT(wrong, glyph.myWidth);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Sizes, TextFiltering,
                             ::testing::Values(FilterCase{ 17, Platform::Gpu::Filter::MinMagMipPoint },
                                               FilterCase{ 18, Platform::Gpu::Filter::MinMagMipLinear }),
                             [](const ::testing::TestParamInfo<FilterCase>& anInfo) { return "Size" + std::to_string(anInfo.param.mySize); });

    TEST_F(TextRenderTest, OneBatchDrawsEveryByteInTheTextsColour)
    {
        Vra::Text text("Text/arial.ttf", 30, 0);
        ASSERT_TRUE(text.GetFont());
        text.SetText("Hi\nyou");
        text.SetPosition({ 10.0f, 90.0f });
        text.SetColor({ 1.0f, 0.0f, 0.0f, 1.0f });
        const std::size_t depth = States().GetDepth();
        const std::uint32_t drawCalls = Vra::Engine::GetDrawCallCount();
        Vra::DX11::Context->ResetCounters();

        EXPECT_TRUE(Vra::Engine::GetInstance()->GetTextService()->Render(text));

        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), drawCalls + 1);
        EXPECT_EQ(Vra::DX11::Context->GetCounters().myDrawCalls, 1u);
        EXPECT_EQ(Vra::DX11::Context->GetCounters().myInstancesDrawn, 6u) << "line feeds draw too";
        EXPECT_EQ(States().GetDepth(), depth);

        const Image image(BackBufferTexture());
        int red = 0;
        for (std::uint32_t row = 0; row < HEIGHT; ++row)
        {
            for (std::uint32_t column = 0; column < WIDTH; ++column)
            {
                const Pixel pixel = image.At(column, row);
                EXPECT_EQ(pixel.g, 0);
                EXPECT_EQ(pixel.b, 0);
                red += pixel.r > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(red, 50);
    }

    TEST_F(TextRenderTest, TextWithoutAFontDrawsNothing)
    {
        Vra::Text text("Text/missing.ttf", 14, 0);
        text.SetText("Hello");
        Vra::DX11::Context->ResetCounters();
        EXPECT_FALSE(Vra::Engine::GetInstance()->GetTextService()->Render(text));
        text.Render();
        EXPECT_EQ(Vra::DX11::Context->GetCounters().myDrawCalls, 0u);
        EXPECT_EQ(text.GetWidth(), 0.0f);
    }

    TEST(TextWithoutEngine, HasNoFontAndDrawsNothing)
    {
        ASSERT_EQ(Vra::Engine::GetInstance(), nullptr);
        Vra::Text text("Text/arial.ttf", 14, 0);
        text.SetText("Hello");
        EXPECT_FALSE(text.GetFont());
        text.Render();
        EXPECT_EQ(text.GetWidth(), 0.0f);
        EXPECT_EQ(text.GetHeight(), 0.0f);
    }
}
