#include "../../Platform/gpu/GpuTestSupport.h"
#include "FontFiles.h"

#include "text/InternalTextAndFontData.h"
#include "text/impl/AtlasTextureUploader.h"
#include "text/impl/GlyphAtlasBuilder.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>

namespace
{
    using namespace GpuTestSupport;
    using Vra::InternalTextAndFontData;
    using Vra::impl::AtlasTextureUploader;

    constexpr uint32_t ATLAS = InternalTextAndFontData::ATLAS_SIZE;

    class AtlasUploadTest : public GpuTest
    {
    };

    std::vector<uint32_t> FontAtlas()
    {
        FT_Library library = nullptr;
        EXPECT_EQ(FT_Init_FreeType(&library), 0);
        InternalTextAndFontData font;
        font.myAtlasPixels.assign(static_cast<size_t>(ATLAS) * ATLAS, 0);
        EXPECT_TRUE(Vra::impl::GlyphAtlasBuilder::Build(library, TestSupport::FontFile("arial.ttf"), 40, 2, font));
        FT_Done_FreeType(library);
        return font.myAtlasPixels;
    }

    TEST_F(AtlasUploadTest, AtlasUploadsUnchangedWithAFullMipChain)
    {
        const std::vector<uint32_t> pixels = FontAtlas();
        const Ref<ShaderResourceView> view = AtlasTextureUploader::Upload(*myDevice, *myContext, pixels, ATLAS);
        ASSERT_TRUE(view);
        const Ref<Texture2D>& texture = view->GetTexture2D();
        EXPECT_EQ(texture->GetDesc().myWidth, ATLAS);
        EXPECT_EQ(texture->GetDesc().myFormat, Format::R8G8B8A8_UNORM);
        EXPECT_EQ(texture->GetDesc().myMipLevels, 11u);

        const std::vector<uint8_t> top = ReadBack(*myDevice, texture, 0);
        ASSERT_EQ(top.size(), pixels.size() * sizeof(uint32_t));
        EXPECT_EQ(std::memcmp(top.data(), pixels.data(), top.size()), 0) << "mip 0 differs from the atlas pixels";

        // The smallest mips are made from the glyphs, not left empty.
        uint64_t sum = 0;
        for (const uint32_t pixel : pixels)
        {
            sum += pixel >> 24;
        }
        const std::vector<uint8_t> last = ReadBack(*myDevice, texture, 10);
        ASSERT_EQ(last.size(), 4u);
        const double average = static_cast<double>(sum) / pixels.size();
        // Repeated rounding while halving drifts a little from the true mean.
        EXPECT_NEAR(last[3], average, average * 0.15 + 1.0);
        EXPECT_GT(last[3], 0);
    }

    // Each level is the rounded 2 x 2 average of the one above, channel by channel.
    TEST_F(AtlasUploadTest, EachMipAveragesTheFourTexelsAboveIt)
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(ATLAS) * ATLAS, 0);
        // Red 10, 20, 30, 41 in the top-left quad; alpha 255, 0, 0, 0 in the one beside it.
        pixels[0] = 10;
        pixels[1] = 20;
        pixels[ATLAS] = 30;
        pixels[ATLAS + 1] = 41;
        pixels[2] = 0xFF000000u;
        const Ref<ShaderResourceView> view = AtlasTextureUploader::Upload(*myDevice, *myContext, pixels, ATLAS);
        ASSERT_TRUE(view);
        const std::vector<uint8_t> mip1 = ReadBack(*myDevice, view->GetTexture2D(), 1);
        ASSERT_EQ(mip1.size(), static_cast<size_t>(ATLAS / 2) * (ATLAS / 2) * 4);
        EXPECT_EQ(mip1[0], 25); // (10 + 20 + 30 + 41 + 2) / 4
        EXPECT_EQ(mip1[3], 0);
        EXPECT_EQ(mip1[4 + 3], 64); // (255 + 2) / 4
        EXPECT_EQ(mip1[8], 0);
        const std::vector<uint8_t> mip2 = ReadBack(*myDevice, view->GetTexture2D(), 2);
        EXPECT_EQ(mip2[0], 6); // (25 + 0 + 0 + 0 + 2) / 4
        EXPECT_EQ(mip2[3], 16); // (0 + 64 + 0 + 0 + 2) / 4
    }

    TEST_F(AtlasUploadTest, AtlasOfTheWrongSizeIsRefused)
    {
        const std::vector<uint32_t> pixels(16, 0xFFFFFFFF);
        EXPECT_FALSE(AtlasTextureUploader::Upload(*myDevice, *myContext, pixels, ATLAS));
    }
}
