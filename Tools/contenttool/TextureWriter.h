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

    // The two block formats sprites are stored in: BC1 (DXT1) for pictures without transparency,
    // BC3 (DXT5, with its own alpha block) for the others; 4x4 texels a block, 8 or 16 bytes.
    enum class BlockFormat
    {
        Bc1,
        Bc3,
    };
    // BC1 when every texel of the chain's top level is opaque.
    BlockFormat ChooseBlockFormat(const MipChain& aChain);
    // The level's blocks, row of blocks by row; texels past the edge of a level narrower or lower
    // than a block are left out of its fit.
    std::vector<std::uint8_t> CompressLevel(const MipLevel& aLevel, BlockFormat aFormat);
    // The RGBA texels the GPU decodes from a level's blocks.
    MipLevel DecompressLevel(std::uint32_t aWidth, std::uint32_t aHeight, const std::vector<std::uint8_t>& someBlocks, BlockFormat aFormat);

    // Writes anImage as a block-compressed sRGB DDS (DX10 header, BC1 or BC3), with its full mip
    // chain when asked and the size is a power of two on both sides.
    void WriteSpriteDds(const std::filesystem::path& aPath, const Image& anImage, bool aWithMips);
}
