#include "TextureWriter.h"

#include "DdsWriter.h"

#include <squish.h>

#include <algorithm>
#include <bit>

namespace ContentTool
{
    namespace
    {
        constexpr std::uint32_t BC1_UNORM_SRGB = 72;
        constexpr std::uint32_t BC3_UNORM_SRGB = 78;
        constexpr int BLOCK = 4;
        constexpr float TRANSPARENT = 1.0f / 1024.0f;

        // A premultiplied level; level 0 is the image itself, the others are owned here.
        struct Level
        {
            int myWidth;
            int myHeight;
            const float* myTexels;
            std::vector<float> myStorage;
        };

        Level Halve(const Level& aLevel)
        {
            Level next{std::max(1, aLevel.myWidth / 2), std::max(1, aLevel.myHeight / 2), nullptr, {}};
            next.myStorage.resize(static_cast<std::size_t>(next.myWidth) * next.myHeight * 4);
            for (int y = 0; y < next.myHeight; ++y)
            {
                const float* row0 = aLevel.myTexels + static_cast<std::size_t>(std::min(aLevel.myHeight - 1, 2 * y)) * aLevel.myWidth * 4;
                const float* row1 = aLevel.myTexels + static_cast<std::size_t>(std::min(aLevel.myHeight - 1, 2 * y + 1)) * aLevel.myWidth * 4;
                float* out = next.myStorage.data() + static_cast<std::size_t>(y) * next.myWidth * 4;
                for (int x = 0; x < next.myWidth; ++x)
                {
                    const std::size_t x0 = static_cast<std::size_t>(std::min(aLevel.myWidth - 1, 2 * x)) * 4;
                    const std::size_t x1 = static_cast<std::size_t>(std::min(aLevel.myWidth - 1, 2 * x + 1)) * 4;
                    for (int c = 0; c < 4; ++c)
                    {
                        out[x * 4 + c] = (row0[x0 + c] + row0[x1 + c] + row1[x0 + c] + row1[x1 + c]) * 0.25f;
                    }
                }
            }
            next.myTexels = next.myStorage.data();
            return next;
        }

        std::uint8_t ToByte(float aValue)
        {
            return static_cast<std::uint8_t>(Clamp01(aValue) * 255.0f + 0.5f);
        }
    }

    MipChain MakeMipChain(const Image& anImage, bool aWithMips)
    {
        const bool powerOfTwo = std::has_single_bit(static_cast<unsigned>(anImage.Width())) && std::has_single_bit(static_cast<unsigned>(anImage.Height()));
        const bool keepMips = aWithMips && powerOfTwo;
        const std::size_t texels = static_cast<std::size_t>(anImage.Width()) * anImage.Height();
        bool anyTransparent = false;
        for (std::size_t i = 0; i < texels && !anyTransparent; ++i)
        {
            anyTransparent = anImage.At(0, 0)[i * 4 + 3] <= TRANSPARENT;
        }
        std::vector<Level> levels;
        levels.push_back({anImage.Width(), anImage.Height(), anImage.At(0, 0), {}});
        // The coarser levels serve the mips and the colours of transparent texels.
        while ((keepMips || anyTransparent) && (levels.back().myWidth > 1 || levels.back().myHeight > 1))
        {
            levels.push_back(Halve(levels.back()));
        }

        // Straight colours from the smallest level up; a transparent texel inherits its parent's.
        std::vector<std::vector<std::uint8_t>> straight(levels.size());
        for (std::size_t index = levels.size(); index-- > 0;)
        {
            const Level& level = levels[index];
            std::vector<std::uint8_t>& bytes = straight[index];
            bytes.resize(static_cast<std::size_t>(level.myWidth) * level.myHeight * 4);
            for (int y = 0; y < level.myHeight; ++y)
            {
                for (int x = 0; x < level.myWidth; ++x)
                {
                    const std::size_t at = (static_cast<std::size_t>(y) * level.myWidth + x) * 4;
                    const float* texel = level.myTexels + at;
                    const float alpha = texel[3];
                    if (alpha > TRANSPARENT)
                    {
                        for (int c = 0; c < 3; ++c)
                        {
                            bytes[at + c] = ToByte(texel[c] / alpha);
                        }
                    }
                    else if (index + 1 < levels.size())
                    {
                        const Level& parent = levels[index + 1];
                        const std::size_t from = (static_cast<std::size_t>(std::min(parent.myHeight - 1, y / 2)) * parent.myWidth + std::min(parent.myWidth - 1, x / 2)) * 4;
                        for (int c = 0; c < 3; ++c)
                        {
                            bytes[at + c] = straight[index + 1][from + c];
                        }
                    }
                    bytes[at + 3] = ToByte(alpha);
                }
            }
        }

        const std::size_t kept = keepMips ? levels.size() : 1;
        MipChain chain;
        for (std::size_t index = 0; index < kept; ++index)
        {
            chain.push_back({static_cast<std::uint32_t>(levels[index].myWidth), static_cast<std::uint32_t>(levels[index].myHeight), std::move(straight[index])});
        }
        return chain;
    }

    BlockFormat ChooseBlockFormat(const MipChain& aChain)
    {
        const std::vector<std::uint8_t>& texels = aChain.front().myBytes;
        for (std::size_t at = 3; at < texels.size(); at += 4)
        {
            if (texels[at] != 255)
            {
                return BlockFormat::Bc3;
            }
        }
        return BlockFormat::Bc1;
    }

    namespace
    {
        int SquishFlags(BlockFormat aFormat)
        {
            return (aFormat == BlockFormat::Bc1 ? squish::kDxt1 : squish::kDxt5) | squish::kColourClusterFit;
        }

        std::size_t BlockBytes(BlockFormat aFormat)
        {
            return aFormat == BlockFormat::Bc1 ? 8 : 16;
        }

        std::uint32_t BlockCount(std::uint32_t aTexels)
        {
            return std::max(1u, (aTexels + BLOCK - 1) / BLOCK);
        }
    }

    std::vector<std::uint8_t> CompressLevel(const MipLevel& aLevel, BlockFormat aFormat)
    {
        const std::uint32_t columns = BlockCount(aLevel.myWidth);
        const std::uint32_t rows = BlockCount(aLevel.myHeight);
        const std::size_t blockBytes = BlockBytes(aFormat);
        std::vector<std::uint8_t> blocks(static_cast<std::size_t>(columns) * rows * blockBytes);
        for (std::uint32_t row = 0; row < rows; ++row)
        {
            for (std::uint32_t column = 0; column < columns; ++column)
            {
                std::uint8_t texels[BLOCK * BLOCK * 4] = {};
                int mask = 0;
                for (int y = 0; y < BLOCK; ++y)
                {
                    for (int x = 0; x < BLOCK; ++x)
                    {
                        const std::uint32_t sourceX = column * BLOCK + static_cast<std::uint32_t>(x);
                        const std::uint32_t sourceY = row * BLOCK + static_cast<std::uint32_t>(y);
                        if (sourceX >= aLevel.myWidth || sourceY >= aLevel.myHeight)
                        {
                            continue;
                        }
                        const int index = y * BLOCK + x;
                        mask |= 1 << index;
                        std::copy_n(aLevel.myBytes.data() + (static_cast<std::size_t>(sourceY) * aLevel.myWidth + sourceX) * 4, 4, texels + index * 4);
                    }
                }
                squish::CompressMasked(texels, mask, blocks.data() + (static_cast<std::size_t>(row) * columns + column) * blockBytes, SquishFlags(aFormat));
            }
        }
        return blocks;
    }

    MipLevel DecompressLevel(std::uint32_t aWidth, std::uint32_t aHeight, const std::vector<std::uint8_t>& someBlocks, BlockFormat aFormat)
    {
        MipLevel level{aWidth, aHeight, std::vector<std::uint8_t>(static_cast<std::size_t>(aWidth) * aHeight * 4)};
        // Block by block on this thread (the library's whole-image call runs threads of its own).
        const std::uint32_t columns = BlockCount(aWidth);
        const std::size_t blockBytes = BlockBytes(aFormat);
        for (std::uint32_t row = 0; row < BlockCount(aHeight); ++row)
        {
            for (std::uint32_t column = 0; column < columns; ++column)
            {
                std::uint8_t texels[BLOCK * BLOCK * 4];
                squish::Decompress(texels, someBlocks.data() + (static_cast<std::size_t>(row) * columns + column) * blockBytes, SquishFlags(aFormat));
                for (std::uint32_t y = 0; y < BLOCK && row * BLOCK + y < aHeight; ++y)
                {
                    for (std::uint32_t x = 0; x < BLOCK && column * BLOCK + x < aWidth; ++x)
                    {
                        std::copy_n(texels + (y * BLOCK + x) * 4, 4, level.myBytes.data() + ((static_cast<std::size_t>(row) * BLOCK + y) * aWidth + column * BLOCK + x) * 4);
                    }
                }
            }
        }
        return level;
    }

    void WriteSpriteDds(const std::filesystem::path& aPath, const Image& anImage, bool aWithMips)
    {
        const MipChain chain = MakeMipChain(anImage, aWithMips);
        const BlockFormat format = ChooseBlockFormat(chain);
        TextureTool::DdsDescription description;
        description.myWidth = chain.front().myWidth;
        description.myHeight = chain.front().myHeight;
        description.myMipCount = static_cast<std::uint32_t>(chain.size());
        description.myDxgiFormat = format == BlockFormat::Bc1 ? BC1_UNORM_SRGB : BC3_UNORM_SRGB;
        std::vector<std::uint8_t> bytes = TextureTool::MakeDdsHeader(description);
        for (const MipLevel& level : chain)
        {
            const std::vector<std::uint8_t> blocks = CompressLevel(level, format);
            bytes.insert(bytes.end(), blocks.begin(), blocks.end());
        }
        TextureTool::WriteFile(aPath, bytes);
    }
}
