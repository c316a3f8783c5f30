#pragma once
#include "Image.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace ContentTool
{
    // The straight-alpha RGBA8 surfaces of a painted picture: level 0 first, then each mip level
    // averaged from the one above (in premultiplied form, so transparent texels add no colour).
    // Fully transparent texels take the colour of their surroundings from the coarser levels, so
    // filtering at a shape's edge never blends towards black.
    struct MipLevel
    {
        std::uint32_t myWidth;
        std::uint32_t myHeight;
        std::vector<std::uint8_t> myBytes; // RGBA, row by row
    };
    using MipChain = std::vector<MipLevel>;
    MipChain MakeMipChain(const Image& anImage, bool aWithMips);

    // Writes anImage as an sRGB RGBA8 DDS (DX10 header), with its full mip chain when asked and the
    // size is a power of two on both sides.
    void WriteSpriteDds(const std::filesystem::path& aPath, const Image& anImage, bool aWithMips);
}
