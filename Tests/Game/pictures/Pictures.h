#pragma once
#include "EngineTestSupport.h"

#include "image/ImageDecoder.h"

#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Pictures of the game's screens: read back from the back buffer, kept as RGB, written as PNG and
// compared with the committed reference pictures under a tolerance.
namespace Pictures
{
    namespace fs = std::filesystem;

    struct Picture
    {
        std::uint32_t myWidth = 0;
        std::uint32_t myHeight = 0;
        // RGB, 8 bits a channel, top row first.
        std::vector<std::uint8_t> myPixels;

        const std::uint8_t* At(std::uint32_t anX, std::uint32_t aY) const { return &myPixels[(static_cast<std::size_t>(aY) * myWidth + anX) * 3]; }
        std::uint8_t* At(std::uint32_t anX, std::uint32_t aY) { return &myPixels[(static_cast<std::size_t>(aY) * myWidth + anX) * 3]; }
    };

    // The back buffer as the frame left it; aLowestAlpha gets the smallest alpha found in it.
    inline Picture CaptureBackBuffer(int* aLowestAlpha = nullptr)
    {
        const EngineTestSupport::Image image(EngineTestSupport::BackBufferTexture());
        Picture picture{ image.GetWidth(), image.GetHeight(), {} };
        picture.myPixels.reserve(static_cast<std::size_t>(picture.myWidth) * picture.myHeight * 3);
        int lowestAlpha = 255;
        for (std::uint32_t y = 0; y < picture.myHeight; ++y)
        {
            for (std::uint32_t x = 0; x < picture.myWidth; ++x)
            {
                const EngineTestSupport::Pixel pixel = image.At(x, y);
                picture.myPixels.insert(picture.myPixels.end(),
                                        { static_cast<std::uint8_t>(pixel.r), static_cast<std::uint8_t>(pixel.g), static_cast<std::uint8_t>(pixel.b) });
                lowestAlpha = std::min(lowestAlpha, pixel.a);
            }
        }
        if (aLowestAlpha)
        {
            *aLowestAlpha = lowestAlpha;
        }
        return picture;
    }

    // Each aFactor x aFactor block of pixels averaged into one (a partial block at the right or
    // bottom edge is left out).
    inline Picture Shrink(const Picture& aPicture, std::uint32_t aFactor)
    {
        Picture small{ aPicture.myWidth / aFactor, aPicture.myHeight / aFactor, {} };
        small.myPixels.resize(static_cast<std::size_t>(small.myWidth) * small.myHeight * 3);
        for (std::uint32_t y = 0; y < small.myHeight; ++y)
        {
            for (std::uint32_t x = 0; x < small.myWidth; ++x)
            {
                for (int channel = 0; channel < 3; ++channel)
                {
                    std::uint32_t sum = 0;
                    for (std::uint32_t dy = 0; dy < aFactor; ++dy)
                    {
                        for (std::uint32_t dx = 0; dx < aFactor; ++dx)
                        {
                            sum += aPicture.At(x * aFactor + dx, y * aFactor + dy)[channel];
                        }
                    }
                    small.At(x, y)[channel] = static_cast<std::uint8_t>((sum + aFactor * aFactor / 2) / (aFactor * aFactor));
                }
            }
        }
        return small;
    }

    inline bool WritePng(const fs::path& aPath, const Picture& aPicture)
    {
        fs::create_directories(aPath.parent_path());
        return stbi_write_png(aPath.string().c_str(), static_cast<int>(aPicture.myWidth), static_cast<int>(aPicture.myHeight), 3,
                              aPicture.myPixels.data(), static_cast<int>(aPicture.myWidth * 3)) != 0;
    }

    inline std::optional<Picture> ReadPng(const fs::path& aPath)
    {
        const std::optional<Platform::DecodedImage> decoded = Platform::ImageDecoder::DecodeFile(aPath.string());
        if (!decoded)
        {
            return std::nullopt;
        }
        Picture picture{ decoded->myWidth, decoded->myHeight, {} };
        picture.myPixels.reserve(decoded->myPixels.size() / 4 * 3);
        for (std::size_t pixel = 0; pixel + 3 < decoded->myPixels.size(); pixel += 4)
        {
            picture.myPixels.insert(picture.myPixels.end(), decoded->myPixels.begin() + static_cast<std::ptrdiff_t>(pixel),
                                    decoded->myPixels.begin() + static_cast<std::ptrdiff_t>(pixel + 3));
        }
        return picture;
    }

    // How far two pictures of one size lie apart: the mean absolute channel difference over every
    // pixel, and the largest channel difference between the means of BLOCK x BLOCK blocks, which
    // film grain and an edge rasterised a pixel over hardly move but a missing or moved piece of
    // scenery does.
    struct Difference
    {
        static constexpr std::uint32_t BLOCK = 4;
        double myMean = 0.0;
        int myLargestBlock = 0;
        // Each pixel's largest channel difference, four times brighter, as a grey picture.
        Picture myPicture;
    };

    inline Difference Compare(const Picture& aPicture, const Picture& aReference)
    {
        Difference difference;
        difference.myPicture = Picture{ aPicture.myWidth, aPicture.myHeight, std::vector<std::uint8_t>(aPicture.myPixels.size()) };
        double sum = 0.0;
        for (std::size_t index = 0; index < aPicture.myPixels.size(); index += 3)
        {
            int largest = 0;
            for (std::size_t channel = 0; channel < 3; ++channel)
            {
                const int delta = std::abs(int(aPicture.myPixels[index + channel]) - int(aReference.myPixels[index + channel]));
                sum += delta;
                largest = std::max(largest, delta);
            }
            std::fill_n(difference.myPicture.myPixels.begin() + static_cast<std::ptrdiff_t>(index), 3, static_cast<std::uint8_t>(std::min(255, largest * 4)));
        }
        difference.myMean = aPicture.myPixels.empty() ? 0.0 : sum / static_cast<double>(aPicture.myPixels.size());
        const Picture blocks = Shrink(aPicture, Difference::BLOCK);
        const Picture referenceBlocks = Shrink(aReference, Difference::BLOCK);
        for (std::size_t index = 0; index < blocks.myPixels.size(); ++index)
        {
            difference.myLargestBlock = std::max(difference.myLargestBlock, std::abs(int(blocks.myPixels[index]) - int(referenceBlocks.myPixels[index])));
        }
        return difference;
    }

    // What a picture may differ from its reference by.
    struct Tolerance
    {
        double myMean = 2.0;
        int myLargestBlock = 40;
    };

    // The committed reference pictures, in the source tree.
    inline fs::path ReferenceFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const fs::path here = source ? fs::path(source) / "Tests" / "Game" / "pictures" : fs::path(__FILE__).parent_path();
        return here / "reference";
    }

    // Where a failed comparison leaves the new picture and the difference picture: <build>/tests/pictures.
    inline fs::path OutputFolder()
    {
        return TestSupport::BinFolder().parent_path() / "tests" / "pictures";
    }

    // Set (to anything) by the command that rewrites the references after a deliberate change.
    inline bool IsUpdatingReferences()
    {
        const char* update = std::getenv("VRA_UPDATE_PICTURES");
        return update && *update;
    }

    // Compares aPicture with the reference of that name; on a difference beyond the tolerance it
    // writes the new picture and the difference picture and names both. While the references are
    // being rewritten it writes the reference instead.
    inline ::testing::AssertionResult MatchesReference(const std::string& aName, const Picture& aPicture, const Tolerance& aTolerance = {})
    {
        const fs::path reference = ReferenceFolder() / (aName + ".png");
        if (IsUpdatingReferences())
        {
            return WritePng(reference, aPicture) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "cannot write " << reference;
        }
        const std::optional<Picture> expected = ReadPng(reference);
        const fs::path actual = OutputFolder() / (aName + ".png");
        const fs::path differencePath = OutputFolder() / (aName + ".difference.png");
        const std::string remedy = " (after a deliberate change, rewrite the references with scripts/update-pictures)";
        if (!expected)
        {
            WritePng(actual, aPicture);
            return ::testing::AssertionFailure() << "no reference picture " << reference << "; the new picture is " << actual << remedy;
        }
        if (expected->myWidth != aPicture.myWidth || expected->myHeight != aPicture.myHeight)
        {
            WritePng(actual, aPicture);
            return ::testing::AssertionFailure() << aName << " is " << aPicture.myWidth << " x " << aPicture.myHeight << ", its reference "
                                                 << expected->myWidth << " x " << expected->myHeight << "; the new picture is " << actual << remedy;
        }
        const Difference difference = Compare(aPicture, *expected);
        if (difference.myMean <= aTolerance.myMean && difference.myLargestBlock <= aTolerance.myLargestBlock)
        {
            return ::testing::AssertionSuccess();
        }
        WritePng(actual, aPicture);
        WritePng(differencePath, difference.myPicture);
        return ::testing::AssertionFailure() << aName << " differs from " << reference << ": mean " << difference.myMean << " (at most "
                                             << aTolerance.myMean << "), largest " << Difference::BLOCK << "-pixel block " << difference.myLargestBlock
                                             << " (at most " << aTolerance.myLargestBlock << "); the new picture is " << actual
                                             << ", the difference " << differencePath << remedy;
    }

    // Lays pictures of one size out in rows of aColumns, each shrunk by aFactor, on a dark ground.
    inline Picture ContactSheet(const std::vector<Picture>& somePictures, std::uint32_t aColumns, std::uint32_t aFactor)
    {
        if (somePictures.empty())
        {
            return {};
        }
        constexpr std::uint32_t GAP = 8;
        const std::uint32_t width = somePictures.front().myWidth / aFactor;
        const std::uint32_t height = somePictures.front().myHeight / aFactor;
        const std::uint32_t rows = static_cast<std::uint32_t>((somePictures.size() + aColumns - 1) / aColumns);
        Picture sheet{ aColumns * (width + GAP) + GAP, rows * (height + GAP) + GAP, {} };
        sheet.myPixels.assign(static_cast<std::size_t>(sheet.myWidth) * sheet.myHeight * 3, 40);
        for (std::size_t index = 0; index < somePictures.size(); ++index)
        {
            const Picture small = Shrink(somePictures[index], aFactor);
            const std::uint32_t left = GAP + static_cast<std::uint32_t>(index % aColumns) * (width + GAP);
            const std::uint32_t top = GAP + static_cast<std::uint32_t>(index / aColumns) * (height + GAP);
            for (std::uint32_t y = 0; y < std::min(height, small.myHeight); ++y)
            {
                std::copy_n(small.At(0, y), std::min(width, small.myWidth) * 3, sheet.At(left, top + y));
            }
        }
        return sheet;
    }

    // The share of pixels whose brightest channel is below aLevel.
    inline double DarkShare(const Picture& aPicture, int aLevel)
    {
        std::size_t dark = 0;
        for (std::size_t index = 0; index < aPicture.myPixels.size(); index += 3)
        {
            const int brightest = std::max({ aPicture.myPixels[index], aPicture.myPixels[index + 1], aPicture.myPixels[index + 2] });
            dark += brightest < aLevel ? 1 : 0;
        }
        return aPicture.myPixels.empty() ? 0.0 : static_cast<double>(dark) / static_cast<double>(aPicture.myPixels.size() / 3);
    }
}
