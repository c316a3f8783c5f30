#include "EngineTextures.h"

#include "DdsWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace TextureTool
{
    namespace
    {
        constexpr std::uint32_t RGBA8_UNORM_SRGB = 29;

        using Rgba = std::array<float, 4>; // 0..1, stored as given

        std::uint8_t ToByte(float aValue)
        {
            return static_cast<std::uint8_t>(std::lround(std::clamp(aValue, 0.0f, 1.0f) * 255.0f));
        }

        std::uint32_t FullMipCount(std::uint32_t aSize)
        {
            std::uint32_t count = 1;
            while (aSize > 1)
            {
                aSize /= 2;
                ++count;
            }
            return count;
        }

        // A square face and its mip chain; each level averages 2x2 texels of the one above.
        void AppendMipChain(std::vector<std::uint8_t>& someBytes, std::uint32_t aSize,
                            const std::function<Rgba(float, float)>& aTexel)
        {
            std::vector<float> level(static_cast<std::size_t>(aSize) * aSize * 4);
            for (std::uint32_t y = 0; y < aSize; ++y)
            {
                for (std::uint32_t x = 0; x < aSize; ++x)
                {
                    const Rgba texel = aTexel((x + 0.5f) / aSize, (y + 0.5f) / aSize);
                    std::copy(texel.begin(), texel.end(), level.begin() + (static_cast<std::size_t>(y) * aSize + x) * 4);
                }
            }
            for (std::uint32_t size = aSize;; size /= 2)
            {
                for (const float value : level)
                {
                    someBytes.push_back(ToByte(value));
                }
                if (size == 1)
                {
                    break;
                }
                const std::uint32_t half = size / 2;
                std::vector<float> next(static_cast<std::size_t>(half) * half * 4);
                for (std::uint32_t y = 0; y < half; ++y)
                {
                    for (std::uint32_t x = 0; x < half; ++x)
                    {
                        for (int c = 0; c < 4; ++c)
                        {
                            auto at = [&](std::uint32_t aX, std::uint32_t aY) { return level[(static_cast<std::size_t>(aY) * size + aX) * 4 + c]; };
                            next[(static_cast<std::size_t>(y) * half + x) * 4 + c] =
                                (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) + at(2 * x + 1, 2 * y + 1)) / 4.0f;
                        }
                    }
                }
                level = std::move(next);
            }
        }

        void WriteFlat(const std::filesystem::path& aPath, const Rgba& aColour)
        {
            constexpr std::uint32_t SIZE = 16;
            DdsDescription description;
            description.myWidth = SIZE;
            description.myHeight = SIZE;
            description.myMipCount = FullMipCount(SIZE);
            description.myLegacy = {PF_RGB | PF_ALPHAPIXELS, 0, 32, {0xff, 0xff00, 0xff0000, 0xff000000}};
            std::vector<std::uint8_t> bytes;
            AppendMipChain(bytes, SIZE, [&](float, float) { return aColour; });
            WriteDds(aPath, description, bytes);
        }

        // Direction through a texel of a cube face, faces in the order +X, -X, +Y, -Y, +Z, -Z.
        std::array<float, 3> CubeDirection(int aFace, float aU, float aV)
        {
            const float u = aU * 2.0f - 1.0f;
            const float v = aV * 2.0f - 1.0f;
            std::array<float, 3> direction{};
            switch (aFace)
            {
            case 0: direction = {1.0f, -v, -u}; break;
            case 1: direction = {-1.0f, -v, u}; break;
            case 2: direction = {u, 1.0f, v}; break;
            case 3: direction = {u, -1.0f, -v}; break;
            case 4: direction = {u, -v, 1.0f}; break;
            default: direction = {-u, -v, -1.0f}; break;
            }
            const float length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
            for (float& component : direction)
            {
                component /= length;
            }
            return direction;
        }

        Rgba Mix(const Rgba& a, const Rgba& b, float t)
        {
            return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t, 1.0f};
        }

        // Sky above, a bright band at the horizon, dark ground below.
        Rgba Horizon(const std::array<float, 3>& aDirection)
        {
            const Rgba zenith = {0.20f, 0.38f, 0.66f, 1.0f};
            const Rgba horizon = {0.86f, 0.89f, 0.93f, 1.0f};
            const Rgba ground = {0.23f, 0.21f, 0.20f, 1.0f};
            const float up = aDirection[1];
            if (up >= 0.0f)
            {
                return Mix(horizon, zenith, std::pow(up, 0.6f));
            }
            return Mix(horizon, ground, std::min(1.0f, std::pow(-up, 0.4f)));
        }

        void WriteCube(const std::filesystem::path& aPath, std::uint32_t aSize,
                       const std::function<Rgba(const std::array<float, 3>&)>& aColour)
        {
            DdsDescription description;
            description.myWidth = aSize;
            description.myHeight = aSize;
            description.myMipCount = FullMipCount(aSize);
            description.myIsCube = true;
            description.myDxgiFormat = RGBA8_UNORM_SRGB;
            std::vector<std::uint8_t> bytes;
            for (int face = 0; face < 6; ++face)
            {
                AppendMipChain(bytes, aSize, [&](float u, float v) { return aColour(CubeDirection(face, u, v)); });
            }
            WriteDds(aPath, description, bytes);
        }
    }

    void WriteEngineTextures(const std::filesystem::path& anEngineFolder)
    {
        const std::filesystem::path folder = anEngineFolder / "Textures";
        WriteFlat(folder / "T_Default_c.dds", {1.0f, 1.0f, 1.0f, 1.0f});
        // A normal straight out of the surface.
        WriteFlat(folder / "T_Default_n.dds", {128 / 255.0f, 128 / 255.0f, 1.0f, 1.0f});
        // Full ambient occlusion term, fully rough, not metallic.
        WriteFlat(folder / "T_Default_m.dds", {1.0f, 1.0f, 0.0f, 1.0f});
        // No emission.
        WriteFlat(folder / "T_Default_fx.dds", {0.0f, 0.0f, 0.0f, 1.0f});
        WriteCube(folder / "whiteCubeMap.dds", 16, [](const std::array<float, 3>&) { return Rgba{1.0f, 1.0f, 1.0f, 1.0f}; });
        WriteCube(folder / "horizonCubeMap.dds", 64, Horizon);
    }
}
