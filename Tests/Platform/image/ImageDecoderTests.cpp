#include "image/ImageDecoder.h"
#include "image/impl/BoxFilter.h"

#include "AddressSpaceCeiling.h"
#include "BadInputFiles.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"
#include "TextureFixtureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

    // Red, green / blue, white in 8x8 quadrants, as the texture tool writes them.
    std::vector<std::uint8_t> Quadrant(const Platform::DecodedImage& anImage, std::uint32_t aX, std::uint32_t aY)
    {
        const std::uint8_t* pixel = &anImage.myPixels[(std::size_t{aY} * anImage.myWidth + aX) * 4];
        return {pixel, pixel + 4};
    }

    void ExpectNear(const std::vector<std::uint8_t>& aPixel, const std::vector<std::uint8_t>& anExpected, const std::string& aWhere)
    {
        ASSERT_EQ(aPixel.size(), anExpected.size());
        for (std::size_t channel = 0; channel < aPixel.size(); ++channel)
        {
            EXPECT_LE(std::abs(int{aPixel[channel]} - int{anExpected[channel]}), 3) << aWhere << " channel " << channel;
        }
    }

    TEST(ImageDecoder, DecodesJpegKindsToRgba)
    {
        const std::vector<std::uint8_t> red = {255, 0, 0, 255};
        const std::vector<std::uint8_t> green = {0, 255, 0, 255};
        const std::vector<std::uint8_t> blue = {0, 0, 255, 255};
        const std::vector<std::uint8_t> white = {255, 255, 255, 255};
        for (const char* file : {"quadrants_16x16.jpg", "quadrants_16x16_progressive.jpg", "quadrants_16x16_cmyk.jpg"})
        {
            const auto image = Platform::ImageDecoder::DecodeFile(Fixture(file));
            ASSERT_TRUE(image.has_value()) << file;
            EXPECT_EQ(image->myWidth, 16u) << file;
            EXPECT_EQ(image->myHeight, 16u) << file;
            EXPECT_FALSE(image->myIsSrgb) << file;
            ExpectNear(Quadrant(*image, 2, 3), red, std::string(file) + " top left");
            ExpectNear(Quadrant(*image, 13, 1), green, std::string(file) + " top right");
            ExpectNear(Quadrant(*image, 4, 12), blue, std::string(file) + " bottom left");
            ExpectNear(Quadrant(*image, 15, 15), white, std::string(file) + " bottom right");
        }
        // Luminance alone: the red channel the tool wrote, in every colour channel.
        const auto gray = Platform::ImageDecoder::DecodeFile(Fixture("quadrants_16x16_gray.jpg"));
        ASSERT_TRUE(gray.has_value());
        ExpectNear(Quadrant(*gray, 2, 3), white, "gray top left");
        ExpectNear(Quadrant(*gray, 13, 1), {0, 0, 0, 255}, "gray top right");
    }

    TEST(ImageDecoder, RefusesArithmeticCodedAndCutJpegs)
    {
        EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(Fixture("quadrants_16x16_arithmetic.jpg")).has_value());
        const std::string bytes = TestSupport::ReadFileBytes(Fixture("quadrants_16x16.jpg"));
        const TestSupport::TemporaryFolder folder;
        for (const std::size_t length : {bytes.size() - 2, bytes.size() * 2 / 3, std::size_t{20}})
        {
            const std::filesystem::path cut = folder.Write("cut.jpg", std::string_view(bytes).substr(0, length));
            EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(cut.string()).has_value()) << length << " of " << bytes.size();
        }
    }

    TEST(ImageDecoder, DamagedFilesAreRefusedWithoutTakingTheirHeadersAtTheirWord)
    {
        // A JPEG table whose code counts overflow it; a PNG declaring 60,000 by 60,000 pixels
        // with 64 bytes of image data; a BMP declaring 327,699 by 1 pixels in 338 bytes; a BMP
        // header cut short at 51 bytes declaring 4,194,311 by 40 pixels in a negative compression.
        const TestSupport::AddressSpaceCeiling ceiling(256 * TestSupport::AddressSpaceCeiling::MEGABYTE);
        for (const char* file : {"huffman_counts_past_256.jpg", "png_declares_60000_squared.png", "bmp_declares_327699x1.bmp",
                                 "bmp_declares_4194311x40.bmp"})
        {
            EXPECT_FALSE(Platform::ImageDecoder::DecodeFile(BadInputFiles::Path("image", file).string()).has_value()) << file;
        }
    }

    TEST(ImageDecoder, ASmallFileIsDecodedInTimeForItsRealData)
    {
        for (const char* file : {"bmp_declares_327699x1.bmp", "bmp_declares_4194311x40.bmp"})
        {
            const std::string path = BadInputFiles::Path("image", file).string();
            auto fastest = std::chrono::steady_clock::duration::max();
            for (int attempt = 0; attempt < 3; ++attempt)
            {
                const auto start = std::chrono::steady_clock::now();
                (void)Platform::ImageDecoder::DecodeFile(path);
                fastest = std::min(fastest, std::chrono::steady_clock::now() - start);
            }
            EXPECT_LT(fastest, std::chrono::milliseconds(50)) << file;
        }
    }

    TEST(ImageDecoder, ScalingAveragesTheAreaEachPixelCovers)
    {
        // One row of four pixels, red 0, 100, 200, 40. Halved, each target is the mean of two; to
        // three, each target covers four thirds of a source, the middle one half of each of the
        // two middle sources.
        std::vector<std::uint8_t> row;
        for (const std::uint8_t red : {0, 100, 200, 40})
        {
            row.insert(row.end(), {red, 10, 20, 255});
        }
        const auto reds = [](const std::vector<std::uint8_t>& somePixels) {
            std::vector<int> result;
            for (std::size_t i = 0; i < somePixels.size(); i += 4)
            {
                result.push_back(somePixels[i]);
                EXPECT_EQ(somePixels[i + 1], 10);
                EXPECT_EQ(somePixels[i + 3], 255);
            }
            return result;
        };
        EXPECT_EQ(reds(Platform::impl::ShrinkRgba(row.data(), 4, 1, 2, 1)), (std::vector<int>{50, 120}));
        // (0 * 3 + 100) / 4, (100 * 2 + 200 * 2) / 4, (200 + 40 * 3) / 4
        EXPECT_EQ(reds(Platform::impl::ShrinkRgba(row.data(), 4, 1, 3, 1)), (std::vector<int>{25, 150, 80}));
        // The same row stacked four times and shrunk both ways averages the columns alike.
        std::vector<std::uint8_t> block;
        for (int copy = 0; copy < 4; ++copy)
        {
            block.insert(block.end(), row.begin(), row.end());
        }
        EXPECT_EQ(reds(Platform::impl::ShrinkRgba(block.data(), 4, 4, 3, 3)), (std::vector<int>{25, 150, 80, 25, 150, 80, 25, 150, 80}));

        const auto fitted = Platform::ImageDecoder::DecodeMemory(TextureFixtureFiles::Read("image_40x10.png"), 10);
        ASSERT_TRUE(fitted.has_value());
        EXPECT_EQ(fitted->myWidth, 10u);
        EXPECT_EQ(fitted->myHeight, 2u);
        for (std::size_t i = 0; i < fitted->myPixels.size(); i += 4)
        {
            EXPECT_EQ(std::vector<std::uint8_t>(fitted->myPixels.begin() + i, fitted->myPixels.begin() + i + 4),
                      (std::vector<std::uint8_t>{10, 200, 30, 255})) << "pixel " << i / 4;
        }
    }
}
