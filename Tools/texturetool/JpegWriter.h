#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

namespace TextureTool
{
    enum class JpegKind
    {
        Baseline,    // YCbCr, no chroma subsampling
        Progressive, // the same, in progressive scans
        Grayscale,   // the red channel as luminance
        AdobeCmyk,   // red, green, blue, alpha written as inverted C, M, Y and K (255 is no ink)
        Arithmetic,  // baseline with arithmetic coding instead of Huffman
    };

    // someRgba: width x height pixels, 4 bytes each, top row first; quality 100.
    void WriteJpeg(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                   const std::vector<std::uint8_t>& someRgba, JpegKind aKind);
}
