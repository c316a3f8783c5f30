#include "TextureWriter.h"

#include "DdsWriter.h"

#include <bit>

namespace ContentTool
{
    namespace
    {
        constexpr std::uint32_t RGBA8_UNORM_SRGB = 29;
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

    void WriteSpriteDds(const std::filesystem::path& aPath, const Image& anImage, bool aWithMips)
    {
        const MipChain chain = MakeMipChain(anImage, aWithMips);
        TextureTool::DdsDescription description;
        description.myWidth = chain.front().myWidth;
        description.myHeight = chain.front().myHeight;
        description.myMipCount = static_cast<std::uint32_t>(chain.size());
        description.myDxgiFormat = RGBA8_UNORM_SRGB;
        std::vector<std::uint8_t> bytes = TextureTool::MakeDdsHeader(description);
        std::size_t total = bytes.size();
        for (const MipLevel& level : chain)
        {
            total += level.myBytes.size();
        }
        bytes.reserve(total);
        for (const MipLevel& level : chain)
        {
            bytes.insert(bytes.end(), level.myBytes.begin(), level.myBytes.end());
        }
        TextureTool::WriteFile(aPath, bytes);
    }
}
