#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace Vra
{
    struct TargaImage
    {
        std::uint16_t myWidth = 0;
        std::uint16_t myHeight = 0;
        std::uint8_t myBitsPerPixel = 0; // always 32
        std::vector<std::uint8_t> myPixels; // RGBA, top row first
    };

    // Reads an uncompressed 32-bit Targa file; anything else yields no image.
    std::optional<TargaImage> LoadTarga(const wchar_t* aPath);
}
