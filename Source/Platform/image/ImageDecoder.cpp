#include "image/ImageDecoder.h"

#include "image/impl/BoxFilter.h"
#include "image/impl/ImageLimits.h"
#include "image/impl/JpegReader.h"
#include "image/impl/PngReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

// Static, so another layer may compile its own copy of the decoder without clashing symbols.
// JPEG and PNG go through libjpeg-turbo and libpng; stb_image keeps the two simple formats.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace Platform
{
    namespace
    {
        using namespace impl;

        struct StbFree
        {
            void operator()(stbi_uc* somePixels) const { stbi_image_free(somePixels); }
        };

        bool IsBmp(std::span<const std::uint8_t> someBytes)
        {
            return someBytes.size() >= 2 && someBytes[0] == 'B' && someBytes[1] == 'M';
        }

        bool IsGif(std::span<const std::uint8_t> someBytes)
        {
            return someBytes.size() >= 6 && (std::memcmp(someBytes.data(), "GIF87a", 6) == 0 || std::memcmp(someBytes.data(), "GIF89a", 6) == 0);
        }

        // The decoder reads rows stored plainly or as bit fields (compressions 0 and 3); it refuses
        // run lengths and embedded JPEG or PNG, but takes any other number, negative ones among
        // them, for plain rows, so those are refused here. Every row, padded to four bytes, must
        // lie in the file after the pixel offset: nothing is decoded from bytes the file lacks.
        bool BmpFileCanHold(std::span<const std::uint8_t> someBytes)
        {
            if (someBytes.size() < 14 + 16)
            {
                return false;
            }
            const std::uint64_t pixelOffset = ReadLittleEndian32(someBytes.data() + 10);
            const std::uint8_t* info = someBytes.data() + 14;
            const std::uint32_t infoSize = ReadLittleEndian32(info);
            std::uint64_t width = 0;
            std::uint64_t height = 0;
            std::uint64_t bitsPerPixel = 0;
            std::uint32_t compression = 0;
            if (infoSize == 12)
            {
                width = ReadLittleEndian16(info + 4);
                height = ReadLittleEndian16(info + 6);
                bitsPerPixel = ReadLittleEndian16(info + 10);
            }
            else
            {
                if (someBytes.size() < 14 + 20)
                {
                    return false;
                }
                const auto signedWidth = static_cast<std::int32_t>(ReadLittleEndian32(info + 4));
                const auto signedHeight = static_cast<std::int32_t>(ReadLittleEndian32(info + 8));
                width = static_cast<std::uint64_t>(signedWidth < 0 ? -std::int64_t{signedWidth} : signedWidth);
                height = static_cast<std::uint64_t>(signedHeight < 0 ? -std::int64_t{signedHeight} : signedHeight);
                bitsPerPixel = ReadLittleEndian16(info + 14);
                compression = ReadLittleEndian32(info + 16);
            }
            if (width * height > MAX_DECODED_PIXELS || (compression != 0 && compression != 3))
            {
                return false;
            }
            // At most 2^28 pixels of at most 65535 bits: the product stays far below 2^64.
            const std::uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
            const std::uint64_t pixelBytes = pixelOffset < someBytes.size() ? someBytes.size() - pixelOffset : 0;
            return rowBytes * height <= pixelBytes;
        }

        // LZW codes are at least three bits each and none stands for more than 4096 pixels.
        bool GifFileCanHold(std::span<const std::uint8_t> someBytes)
        {
            if (someBytes.size() < 10)
            {
                return false;
            }
            const std::uint64_t pixels = std::uint64_t{ReadLittleEndian16(someBytes.data() + 6)} * ReadLittleEndian16(someBytes.data() + 8);
            return pixels <= MAX_DECODED_PIXELS && pixels <= std::uint64_t{someBytes.size()} * 8 / 3 * 4096;
        }

        bool DecodeWithStb(std::span<const std::uint8_t> someBytes, DecodedImage& anImage)
        {
            if (!(IsBmp(someBytes) ? BmpFileCanHold(someBytes) : IsGif(someBytes) && GifFileCanHold(someBytes)))
            {
                return false;
            }
            int width = 0;
            int height = 0;
            int channels = 0;
            const std::unique_ptr<stbi_uc, StbFree> pixels(
                stbi_load_from_memory(someBytes.data(), static_cast<int>(someBytes.size()), &width, &height, &channels, 4));
            if (!pixels || width <= 0 || height <= 0)
            {
                return false;
            }
            anImage.myWidth = static_cast<std::uint32_t>(width);
            anImage.myHeight = static_cast<std::uint32_t>(height);
            anImage.myPixels.assign(pixels.get(), pixels.get() + std::size_t{anImage.myWidth} * anImage.myHeight * 4);
            return true;
        }

        void FitInto(std::uint32_t aMaxSize, std::uint32_t& aWidth, std::uint32_t& aHeight)
        {
            if (aWidth <= aMaxSize && aHeight <= aMaxSize)
            {
                return;
            }
            const double aspect = static_cast<double>(aHeight) / aWidth;
            if (aWidth > aHeight)
            {
                aWidth = aMaxSize;
                aHeight = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(aMaxSize * aspect));
            }
            else
            {
                aHeight = aMaxSize;
                aWidth = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(aMaxSize / aspect));
            }
        }
    }

    std::optional<DecodedImage> ImageDecoder::DecodeFile(const std::string& aPath, std::uint32_t aMaxSize)
    {
        std::ifstream file(aPath, std::ios::binary);
        if (!file)
        {
            return std::nullopt;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        return DecodeMemory(bytes, aMaxSize);
    }

    std::optional<DecodedImage> ImageDecoder::DecodeMemory(std::span<const std::uint8_t> someBytes, std::uint32_t aMaxSize)
    {
        if (aMaxSize == 0 || someBytes.empty() || someBytes.size() > static_cast<std::size_t>(INT32_MAX))
        {
            return std::nullopt;
        }
        DecodedImage image;
        const bool decoded = IsPng(someBytes) ? DecodePng(someBytes, image) : IsJpeg(someBytes) ? DecodeJpeg(someBytes, image)
                                                                                              : DecodeWithStb(someBytes, image);
        if (!decoded || image.myWidth == 0 || image.myHeight == 0)
        {
            return std::nullopt;
        }
        image.myIsSrgb = HasPngSrgbChunk(someBytes);
        std::uint32_t width = image.myWidth;
        std::uint32_t height = image.myHeight;
        FitInto(aMaxSize, width, height);
        if (width != image.myWidth || height != image.myHeight)
        {
            image.myPixels = ShrinkRgba(image.myPixels.data(), image.myWidth, image.myHeight, width, height);
            image.myWidth = width;
            image.myHeight = height;
        }
        return image;
    }
}
