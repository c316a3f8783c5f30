#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

namespace TextureTool
{
    // The legacy header's pixel format: either a four-character code or channel masks.
    struct LegacyPixelFormat
    {
        std::uint32_t myFlags = 0;
        std::uint32_t myFourCc = 0;
        std::uint32_t myBitCount = 0;
        std::uint32_t myMasks[4] = {0, 0, 0, 0};
    };

    struct DdsDescription
    {
        std::uint32_t myWidth = 1;
        std::uint32_t myHeight = 1;
        std::uint32_t myMipCount = 1;
        bool myIsCube = false;
        // DX10 header with this DXGI format when set; the legacy pixel format otherwise.
        std::uint32_t myDxgiFormat = 0;
        LegacyPixelFormat myLegacy;
    };

    constexpr std::uint32_t FourCc(char a, char b, char c, char d)
    {
        return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
               std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
    }

    constexpr std::uint32_t PF_FOURCC = 0x4;
    constexpr std::uint32_t PF_RGB = 0x40;
    constexpr std::uint32_t PF_ALPHAPIXELS = 0x1;
    constexpr std::uint32_t PF_LUMINANCE = 0x20000;

    // The header and magic of a DDS file; the surfaces follow it, faces first, then mips.
    std::vector<std::uint8_t> MakeDdsHeader(const DdsDescription& aDescription);

    // Writes to a temporary name and renames, so a reader never sees half a file.
    void WriteFile(const std::filesystem::path& aPath, const std::vector<std::uint8_t>& someBytes);
    void WriteDds(const std::filesystem::path& aPath, const DdsDescription& aDescription,
                  const std::vector<std::uint8_t>& someSurfaceBytes);
}
