#include "../graphics/GraphicsFixture.h"
#include "FontFiles.h"

#include "text/Text.h"
#include "text/TextService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <future>
#include <memory>

namespace
{
    using Vra::InternalTextAndFontData;
    using Vra::Text;
    using Vra::TextService;

    // A started service with arial in the game asset folder, found as "Text/arial.ttf".
    class TextServiceTest : public GraphicsFixture::GraphicsTest
    {
    protected:
        void SetUp() override
        {
            GraphicsTest::SetUp();
            const std::filesystem::path fonts = Vra::GameAssetsPath() / "Text";
            std::filesystem::create_directories(fonts);
            std::filesystem::copy_file(TestSupport::FontFile("arial.ttf"), fonts / "arial.ttf");
            ASSERT_EQ(myService.Init(), 0);
        }

        TextService myService;
    };

    TEST_F(TextServiceTest, LoadedFontHasItsAtlasTexture)
    {
        const std::shared_ptr<InternalTextAndFontData> font = myService.LoadFont("Text/arial.ttf", 14, 0);
        ASSERT_TRUE(font);
        EXPECT_EQ(font->myAtlasWidth, 1024u);
        EXPECT_EQ(font->myAtlasHeight, 1024u);
        EXPECT_EQ(font->myFontSize, 14u);
        EXPECT_EQ(font->myFontPath, "Text/arial.ttf");
        ASSERT_TRUE(font->myAtlasView);
        EXPECT_EQ(font->myAtlasTexture.mySRV, font->myAtlasView);
        EXPECT_EQ(font->myAtlasTexture.GetSize(), (Vra::Vector2<std::uint32_t>{ 1024, 1024 }));
        EXPECT_GT(font->myGlyphs['A'].myWidth, 0);
    }

    TEST_F(TextServiceTest, EqualRequestsShareOneFontWhileItIsHeld)
    {
        const auto font = myService.LoadFont("Text/arial.ttf", 14, 0);
        ASSERT_TRUE(font);
        EXPECT_EQ(myService.LoadFont("Text/arial.ttf", 14, 0), font);

        const auto larger = myService.LoadFont("Text/arial.ttf", 15, 0);
        const auto outlined = myService.LoadFont("Text/arial.ttf", 14, 1);
        // Border 48 is the character '0': the key holds the raw byte, not the digits.
        const auto borderZeroCharacter = myService.LoadFont("Text/arial.ttf", 14, '0');
        ASSERT_TRUE(larger && outlined && borderZeroCharacter);
        EXPECT_NE(larger, font);
        EXPECT_NE(outlined, font);
        EXPECT_NE(borderZeroCharacter, font);
        EXPECT_NE(borderZeroCharacter, outlined);
        EXPECT_NE(larger->myAtlasView, font->myAtlasView);

        const Text first(myService, "Text/arial.ttf", 14, 0);
        const Text second(myService, "Text/arial.ttf", 14, 0);
        EXPECT_EQ(first.GetFont(), font);
        EXPECT_EQ(second.GetFont(), font);
    }

    TEST_F(TextServiceTest, FontIsLoadedAnewAfterItsLastHolderWent)
    {
        std::weak_ptr<InternalTextAndFontData> released;
        {
            const Text text(myService, "Text/arial.ttf", 20, 0);
            ASSERT_TRUE(text.GetFont());
            released = text.GetFont();
        }
        EXPECT_TRUE(released.expired());
        const auto again = myService.LoadFont("Text/arial.ttf", 20, 0);
        ASSERT_TRUE(again);
        EXPECT_TRUE(released.expired());
        EXPECT_TRUE(again->myAtlasView);
    }

    TEST_F(TextServiceTest, UnloadableFontsAreEmpty)
    {
        myFolder.Write("game/Text/broken.ttf", "not a font");
        EXPECT_FALSE(myService.LoadFont("Text/missing.ttf", 14, 0));
        EXPECT_FALSE(myService.LoadFont("Text/broken.ttf", 14, 0));
        EXPECT_FALSE(myService.LoadFont("Text/arial.ttf", 0xFFFFFFFF, 0));
        EXPECT_FALSE(myService.LoadFont("", 14, 0));

        TextService notStarted;
        EXPECT_FALSE(notStarted.LoadFont("Text/arial.ttf", 14, 0));
    }

    TEST_F(TextServiceTest, LoadFromAnotherThreadFails)
    {
        auto task = std::async(std::launch::async, [&] { return myService.LoadFont("Text/arial.ttf", 14, 0); });
        EXPECT_FALSE(task.get());
        EXPECT_TRUE(myService.LoadFont("Text/arial.ttf", 14, 0));
    }

    TEST_F(TextServiceTest, TextsWithoutAFontMeasureNothing)
    {
        Text missing(myService, "Text/missing.ttf", 14, 0);
        missing.SetText("Hello");
        EXPECT_FALSE(missing.GetFont());
        EXPECT_EQ(missing.GetWidth(), 0.0f);
        EXPECT_EQ(missing.GetHeight(), 0.0f);

        const Text empty(myService, "Text/arial.ttf", 14, 0);
        EXPECT_TRUE(empty.GetFont());
        EXPECT_EQ(empty.GetWidth(), 0.0f);
        EXPECT_EQ(empty.GetHeight(), 0.0f);
    }

    TEST_F(TextServiceTest, TextMeasuresThroughItsFontAndScale)
    {
        Text text(myService, "Text/arial.ttf", 30, 0);
        text.SetText("Hi");
        const auto& glyphs = text.GetFont()->myGlyphs;
        const float expectedWidth = static_cast<float>(glyphs['H'].myAdvanceX + glyphs['i'].myLeftBearing + glyphs['i'].myWidth);
        EXPECT_FLOAT_EQ(text.GetWidth(), expectedWidth);
        // The dot of the i stands above the H.
        EXPECT_FLOAT_EQ(text.GetHeight(), static_cast<float>(std::max(glyphs['H'].myTopBearing + glyphs['H'].myHeight,
                                                                      glyphs['i'].myTopBearing + glyphs['i'].myHeight)));

        text.SetScale(2.0f);
        EXPECT_FLOAT_EQ(text.GetWidth(), 2.0f * (glyphs['H'].myAdvanceX + glyphs['i'].myLeftBearing) + glyphs['i'].myWidth);

        // Lower lines sit below the first, so they widen a text but never raise it.
        text.SetScale(1.0f);
        const float oneLine = text.GetHeight();
        text.SetText("Hi\nHiHi");
        EXPECT_FLOAT_EQ(text.GetHeight(), oneLine);
        EXPECT_GT(text.GetWidth(), expectedWidth);
        EXPECT_EQ(text.GetText(), "Hi\nHiHi");
    }
}
