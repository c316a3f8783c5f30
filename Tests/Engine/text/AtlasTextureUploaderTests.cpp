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

    TEST_F(AtlasUploadTest, AtlasOfTheWrongSizeIsRefused)
    {
        const std::vector<uint32_t> pixels(16, 0xFFFFFFFF);
        EXPECT_FALSE(AtlasTextureUploader::Upload(*myDevice, *myContext, pixels, ATLAS));
    }
}
