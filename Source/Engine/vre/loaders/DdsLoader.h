#pragma once
#include "loaders/ImageData.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace Vra
{
    // Reads DDS files (legacy and DX10 headers, 2D textures and cube maps with their mip chains)
    // into an ImageData for upload. A file it cannot fully account for yields no image.
    class DdsLoader
    {
    public:
        static constexpr std::uint32_t LOAD_DEFAULT = 0;
        static constexpr std::uint32_t FORCE_SRGB = 1;
        static constexpr std::uint32_t IGNORE_SRGB = 2;

        static std::optional<ImageData> LoadFile(const std::string& aPath, std::uint32_t someLoadFlags);
        static std::optional<ImageData> Parse(std::span<const std::uint8_t> someBytes, std::uint32_t someLoadFlags);

        // The sRGB and linear forms of a format; formats without one come back unchanged.
        static ImageFormat MakeSrgb(ImageFormat aFormat);
        static ImageFormat MakeLinear(ImageFormat aFormat);

        // Formats this loader reads; block-compressed ones are stored as 4x4 blocks.
        static bool IsSupported(ImageFormat aFormat);
        static bool IsBlockCompressed(ImageFormat aFormat);
    };
}
