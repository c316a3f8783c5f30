#include "image/ImageDecoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
    std::string Fixture(const std::string& aName)
    {
        const std::filesystem::path local = std::filesystem::path("fixtures/textures") / aName;
        if (std::filesystem::exists(local))
        {
            return local.string();
        }
        // Beside the test executable, wherever it is started from.
        return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "fixtures" / "textures" / aName).string();
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
        std::ifstream source(Fixture("image_3x2.png"), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        const std::filesystem::path cut = std::filesystem::temp_directory_path() / "image_cut.png";
        std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
        EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(cut.string()).has_value());
        std::filesystem::remove(cut);
    }
}
