#pragma once
#include "image/ImageDecoder.h"

#include <cstdint>
#include <span>

namespace Platform::impl
{
    bool IsJpeg(std::span<const std::uint8_t> someBytes);
    // RGBA, 8 bits a channel, through libjpeg-turbo. False for anything libjpeg refuses, for a file
    // that ends before its image does, for arithmetic coding, and for sizes past
    // MAX_DECODED_PIXELS or past what the file's bytes can code.
    bool DecodeJpeg(std::span<const std::uint8_t> someBytes, DecodedImage& anImage);
}
