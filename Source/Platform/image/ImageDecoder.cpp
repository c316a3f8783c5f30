#include "image/ImageDecoder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

// Static, so another layer may compile its own copy of the decoder without clashing symbols.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image.h>
#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>
#pragma GCC diagnostic pop

namespace Platform
{
    namespace
    {
        struct StbFree
        {
            void operator()(stbi_uc* somePixels) const { stbi_image_free(somePixels); }
        };

        std::uint32_t ReadBigEndian32(const std::uint8_t* someBytes)
        {
            return std::uint32_t{someBytes[0]} << 24 | std::uint32_t{someBytes[1]} << 16 | std::uint32_t{someBytes[2]} << 8 | someBytes[3];
        }

        // A PNG declares sRGB content with an "sRGB" chunk before its image data.
        bool HasPngSrgbChunk(const std::vector<std::uint8_t>& someBytes)
        {
            static constexpr std::uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
            if (someBytes.size() < 8 || std::memcmp(someBytes.data(), SIGNATURE, 8) != 0)
            {
                return false;
            }
            std::size_t offset = 8;
            while (someBytes.size() - offset >= 12)
            {
                const std::uint32_t length = ReadBigEndian32(someBytes.data() + offset);
                const char* type = reinterpret_cast<const char*>(someBytes.data() + offset + 4);
                if (std::memcmp(type, "sRGB", 4) == 0)
                {
                    return true;
                }
                if (std::memcmp(type, "IDAT", 4) == 0 || someBytes.size() - offset - 12 < length)
                {
                    return false;
                }
                offset += 12 + std::size_t{length};
            }
            return false;
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
        if (!file || aMaxSize == 0)
        {
            return std::nullopt;
        }
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX))
        {
            return std::nullopt;
        }
        int width = 0;
        int height = 0;
        int channels = 0;
        std::unique_ptr<stbi_uc, StbFree> pixels(
            stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4));
        if (!pixels || width <= 0 || height <= 0)
        {
            return std::nullopt;
        }

        DecodedImage image;
        image.myWidth = static_cast<std::uint32_t>(width);
        image.myHeight = static_cast<std::uint32_t>(height);
        image.myIsSrgb = HasPngSrgbChunk(bytes);
        FitInto(aMaxSize, image.myWidth, image.myHeight);
        image.myPixels.resize(std::size_t{image.myWidth} * image.myHeight * 4);
        if (image.myWidth == static_cast<std::uint32_t>(width) && image.myHeight == static_cast<std::uint32_t>(height))
        {
            std::memcpy(image.myPixels.data(), pixels.get(), image.myPixels.size());
        }
        else if (!stbir_resize_uint8(pixels.get(), width, height, 0, image.myPixels.data(),
                                     static_cast<int>(image.myWidth), static_cast<int>(image.myHeight), 0, 4))
        {
            return std::nullopt;
        }
        return image;
    }
}
