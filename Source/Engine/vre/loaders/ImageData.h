#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Vra
{
    // Texel formats the loaders hand to the GPU layer, numbered as DXGI numbers them.
    enum class ImageFormat : std::uint32_t
    {
        Unknown = 0,
        R32G32B32A32Float = 2,
        R16G16B16A16Float = 10,
        R8G8B8A8Unorm = 28,
        R8G8B8A8UnormSrgb = 29,
        R32Float = 41,
        R8G8Unorm = 49,
        R16Float = 54,
        R8Unorm = 61,
        BC1Unorm = 71,
        BC1UnormSrgb = 72,
        BC2Unorm = 74,
        BC2UnormSrgb = 75,
        BC3Unorm = 77,
        BC3UnormSrgb = 78,
        BC4Unorm = 80,
        BC4Snorm = 81,
        BC5Unorm = 83,
        BC5Snorm = 84,
        B8G8R8A8Unorm = 87,
        B8G8R8X8Unorm = 88,
        B8G8R8A8UnormSrgb = 91,
        B8G8R8X8UnormSrgb = 93,
        BC6HUf16 = 95,
        BC6HSf16 = 96,
        BC7Unorm = 98,
        BC7UnormSrgb = 99,
    };

    // One mip level of one face, as it lies in ImageData::myBytes.
    struct ImageSurface
    {
        std::uint32_t myWidth = 0;
        std::uint32_t myHeight = 0;
        std::size_t myOffset = 0;
        std::size_t mySize = 0;
        std::size_t myRowPitch = 0; // bytes per row of texels, or per row of 4x4 blocks
    };

    // A decoded texture ready for upload: faces one after the other, each with its full mip chain.
    struct ImageData
    {
        ImageFormat myFormat = ImageFormat::Unknown;
        std::uint32_t myWidth = 0;
        std::uint32_t myHeight = 0;
        std::uint32_t myMipCount = 0;
        std::uint32_t myFaceCount = 0; // 6 for a cube map
        bool myIsCube = false;
        std::vector<std::uint8_t> myBytes;
        std::vector<ImageSurface> mySurfaces; // face * myMipCount + mip

        const ImageSurface& GetSurface(std::uint32_t aFace, std::uint32_t aMip) const
        {
            return mySurfaces[static_cast<std::size_t>(aFace) * myMipCount + aMip];
        }
        const std::uint8_t* GetSurfaceBytes(std::uint32_t aFace, std::uint32_t aMip) const
        {
            return myBytes.data() + GetSurface(aFace, aMip).myOffset;
        }
    };
}
