#include "image/ImageDecoder.h"

#include "FileBytes.h"
#include "TemporaryFolder.h"
#include "TextureFixtureFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace
{
    std::string Fixture(const std::string& aName)
    {
        return TextureFixtureFiles::Path(aName).string();
    }

    const std::vector<std::uint8_t> THREE_BY_TWO = {
        255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
        255, 255, 255, 255, 0, 0, 0, 255, 128, 128, 128, 255,
    };

    TEST(ImageDecoder, DecodesPngBmpAndGifToRgbaTopRowFirst)
    {
        for (const char* file : {"image_3x2.png", "image_3x2_srgb.png", "image_3x2.bmp", "image_3x2.gif"})
        {
            const auto image = Platform::ImageDecoder::DecodeFile(Fixture(file));
            ASSERT_TRUE(image.has_value()) << file;
            EXPECT_EQ(image->myWidth, 3u) << file;
            EXPECT_EQ(image->myHeight, 2u) << file;
            EXPECT_EQ(image->myPixels, THREE_BY_TWO) << file;
        }
    }

    TEST(ImageDecoder, ReportsThePngSrgbDeclaration)
    {
        EXPECT_TRUE(Platform::ImageDecoder::DecodeFile(Fixture("image_3x2_srgb.png"))->myIsSrgb);
        EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(Fixture("image_3x2.png"))->myIsSrgb);
        EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(Fixture("image_3x2.bmp"))->myIsSrgb);
    }

    TEST(ImageDecoder, ScalesDownToTheSizeLimitKeepingTheAspect)
    {
        const auto image = Platform::ImageDecoder::DecodeFile(Fixture("image_40x10.png"), 8);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->myWidth, 8u);
        EXPECT_EQ(image->myHeight, 2u);
        ASSERT_EQ(image->myPixels.size(), 8u * 2 * 4);
        for (std::size_t i = 0; i < image->myPixels.size(); i += 4)
        {
            EXPECT_NEAR(image->myPixels[i + 1], 200, 2) << "pixel " << i / 4;
        }
        const auto unscaled = Platform::ImageDecoder::DecodeFile(Fixture("image_40x10.png"), 40);
        ASSERT_TRUE(unscaled.has_value());
        EXPECT_EQ(unscaled->myWidth, 40u);
        EXPECT_EQ(unscaled->myHeight, 10u);
    }

    TEST(ImageDecoder, RefusesTargaDdsMissingAndTruncatedFiles)
    {
        for (const char* file : {"targa_2x2_32.tga", "legacy_rgba8.dds", "no_such.png"})
        {
            EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(Fixture(file)).has_value()) << file;
        }
        const std::string bytes = TestSupport::ReadFileBytes(Fixture("image_3x2.png"));
        const TestSupport::TemporaryFolder folder;
        const std::filesystem::path cut = folder.Write("image_cut.png", std::string_view(bytes).substr(0, bytes.size() / 2));
        EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(cut.string()).has_value());
    }
}
