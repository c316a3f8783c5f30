#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Platform
{
    struct DecodedImage
    {
        std::uint32_t myWidth = 0;
        std::uint32_t myHeight = 0;
        bool myIsSrgb = false; // the file declares sRGB content (a PNG sRGB chunk)
        std::vector<std::uint8_t> myPixels; // RGBA, 8 bits a channel, top row first
    };

    // Decodes BMP, PNG, JPEG and GIF (first frame) files. Targa and other formats are refused, and
    // so is a file whose declared size its data cannot hold: the work follows the file's real
    // pixel data, whatever its header claims.
    class ImageDecoder
    {
    public:
        static constexpr std::uint32_t DEFAULT_MAX_SIZE = 16384;

        // An image larger than aMaxSize on a side is scaled down to fit, keeping its aspect ratio.
        static std::optional<DecodedImage> DecodeFile(const std::string& aPath, std::uint32_t aMaxSize = DEFAULT_MAX_SIZE);
        // The same for a file's bytes already in memory.
        static std::optional<DecodedImage> DecodeMemory(std::span<const std::uint8_t> someBytes,
                                                        std::uint32_t aMaxSize = DEFAULT_MAX_SIZE);
    };
}
