#pragma once
#include "image/ImageDecoder.h"

#include <cstdint>
#include <span>

namespace Platform::impl
{
    bool IsPng(std::span<const std::uint8_t> someBytes);
    // A PNG declares sRGB content with an "sRGB" chunk before its image data.
    bool HasPngSrgbChunk(std::span<const std::uint8_t> someBytes);
    // RGBA, 8 bits a channel, through libpng. False for anything libpng refuses, for sizes past
    // MAX_DECODED_PIXELS and for sizes the file's image data cannot hold.
    bool DecodePng(std::span<const std::uint8_t> someBytes, DecodedImage& anImage);
}
