#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

namespace TextureTool
{
    // someRgba: width x height pixels, 4 bytes each, top row first.
    void WritePng(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                  const std::vector<std::uint8_t>& someRgba, bool aDeclareSrgb);
    void WriteBmp(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                  const std::vector<std::uint8_t>& someRgba);
    // Palette image of at most 256 distinct opaque colours, LZW codes kept at 9 bits.
    void WriteGif(const std::filesystem::path& aPath, std::uint16_t aWidth, std::uint16_t aHeight,
                  const std::vector<std::uint8_t>& someRgba);
    // Uncompressed true-colour Targa; someStoredPixels are written as given, in file order.
    void WriteTarga(const std::filesystem::path& aPath, std::uint16_t aWidth, std::uint16_t aHeight,
                    std::uint8_t aBitsPerPixel, const std::vector<std::uint8_t>& someStoredPixels);
}
