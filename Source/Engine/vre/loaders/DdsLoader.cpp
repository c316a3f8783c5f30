#include "loaders/DdsLoader.h"

#include "FileReading.h"
#include "gpu/GpuTypes.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace Vra
{
    namespace
    {
        constexpr std::uint32_t MakeFourCc(char a, char b, char c, char d)
        {
            return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8 |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16 |
                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24;
        }

        constexpr std::uint32_t DDS_MAGIC = MakeFourCc('D', 'D', 'S', ' ');
        constexpr std::size_t HEADER_SIZE = 124;
        constexpr std::size_t PIXEL_FORMAT_SIZE = 32;
        constexpr std::size_t DX10_HEADER_SIZE = 20;

        constexpr std::uint32_t PF_FOURCC = 0x4;
        constexpr std::uint32_t PF_RGB = 0x40;
        constexpr std::uint32_t PF_LUMINANCE = 0x20000;

        constexpr std::uint32_t HEADER_FLAGS_VOLUME = 0x800000;
        constexpr std::uint32_t CAPS2_CUBEMAP = 0x200;
        constexpr std::uint32_t CAPS2_CUBEMAP_ALL_FACES = 0xFC00;
        constexpr std::uint32_t DIMENSION_TEXTURE2D = 3;
        constexpr std::uint32_t MISC_TEXTURECUBE = 0x4;

        constexpr std::uint32_t MAX_SIZE = Platform::Gpu::MAX_TEXTURE_SIZE;
        constexpr std::uint32_t MAX_MIPS = 15;

        struct PixelFormat
        {
            std::uint32_t myFlags;
            std::uint32_t myFourCc;
            std::uint32_t myBitCount;
            std::uint32_t myMasks[4];
        };

        std::uint32_t ReadU32(std::span<const std::uint8_t> someBytes, std::size_t anOffset)
        {
            std::uint32_t value = 0;
            for (int i = 3; i >= 0; --i)
            {
                value = value << 8 | someBytes[anOffset + i];
            }
            return value;
        }

        bool HasMasks(const PixelFormat& aFormat, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
        {
            return aFormat.myMasks[0] == r && aFormat.myMasks[1] == g && aFormat.myMasks[2] == b && aFormat.myMasks[3] == a;
        }

        ImageFormat FormatOfRgb(const PixelFormat& aFormat)
        {
            switch (aFormat.myBitCount)
            {
            case 32:
                if (HasMasks(aFormat, 0xff, 0xff00, 0xff0000, 0xff000000)) return ImageFormat::R8G8B8A8Unorm;
                if (HasMasks(aFormat, 0xff0000, 0xff00, 0xff, 0xff000000)) return ImageFormat::B8G8R8A8Unorm;
                if (HasMasks(aFormat, 0xff0000, 0xff00, 0xff, 0)) return ImageFormat::B8G8R8X8Unorm;
                // Older writers stored single-channel floats as a 32-bit red mask.
                if (HasMasks(aFormat, 0xffffffff, 0, 0, 0)) return ImageFormat::R32Float;
                break;
            case 16:
                // Some writers label two-channel bytes as RGB rather than luminance.
                if (HasMasks(aFormat, 0xff, 0xff00, 0, 0)) return ImageFormat::R8G8Unorm;
                break;
            case 8:
                if (HasMasks(aFormat, 0xff, 0, 0, 0)) return ImageFormat::R8Unorm;
                break;
            }
            return ImageFormat::Unknown;
        }

        ImageFormat FormatOfLuminance(const PixelFormat& aFormat)
        {
            if (aFormat.myBitCount == 8 && HasMasks(aFormat, 0xff, 0, 0, 0)) return ImageFormat::R8Unorm;
            if (aFormat.myBitCount == 16 && HasMasks(aFormat, 0xff, 0, 0, 0xff00)) return ImageFormat::R8G8Unorm;
            return ImageFormat::Unknown;
        }

        ImageFormat FormatOfFourCc(std::uint32_t aFourCc)
        {
            switch (aFourCc)
            {
            case MakeFourCc('D', 'X', 'T', '1'): return ImageFormat::BC1Unorm;
            case MakeFourCc('D', 'X', 'T', '2'):
            case MakeFourCc('D', 'X', 'T', '3'): return ImageFormat::BC2Unorm;
            case MakeFourCc('D', 'X', 'T', '4'):
            case MakeFourCc('D', 'X', 'T', '5'): return ImageFormat::BC3Unorm;
            case MakeFourCc('A', 'T', 'I', '1'):
            case MakeFourCc('B', 'C', '4', 'U'): return ImageFormat::BC4Unorm;
            case MakeFourCc('B', 'C', '4', 'S'): return ImageFormat::BC4Snorm;
            case MakeFourCc('A', 'T', 'I', '2'):
            case MakeFourCc('B', 'C', '5', 'U'): return ImageFormat::BC5Unorm;
            case MakeFourCc('B', 'C', '5', 'S'): return ImageFormat::BC5Snorm;
            // Direct3D 9 format numbers stored as the four-character code.
            case 111: return ImageFormat::R16Float;
            case 113: return ImageFormat::R16G16B16A16Float;
            case 114: return ImageFormat::R32Float;
            case 116: return ImageFormat::R32G32B32A32Float;
            }
            return ImageFormat::Unknown;
        }

        ImageFormat FormatOfLegacyHeader(const PixelFormat& aFormat)
        {
            if (aFormat.myFlags & PF_FOURCC) return FormatOfFourCc(aFormat.myFourCc);
            if (aFormat.myFlags & PF_RGB) return FormatOfRgb(aFormat);
            if (aFormat.myFlags & PF_LUMINANCE) return FormatOfLuminance(aFormat);
            return ImageFormat::Unknown;
        }

        // Bytes per texel, or per 4x4 block for the compressed formats; 0 when unsupported.
        std::uint32_t UnitBytes(ImageFormat aFormat)
        {
            switch (aFormat)
            {
            case ImageFormat::R32G32B32A32Float: return 16;
            case ImageFormat::R16G16B16A16Float: return 8;
            case ImageFormat::R8G8B8A8Unorm:
            case ImageFormat::R8G8B8A8UnormSrgb:
            case ImageFormat::B8G8R8A8Unorm:
            case ImageFormat::B8G8R8A8UnormSrgb:
            case ImageFormat::B8G8R8X8Unorm:
            case ImageFormat::B8G8R8X8UnormSrgb:
            case ImageFormat::R32Float: return 4;
            case ImageFormat::R8G8Unorm:
            case ImageFormat::R16Float: return 2;
            case ImageFormat::R8Unorm: return 1;
            case ImageFormat::BC1Unorm:
            case ImageFormat::BC1UnormSrgb:
            case ImageFormat::BC4Unorm:
            case ImageFormat::BC4Snorm: return 8;
            case ImageFormat::BC2Unorm:
            case ImageFormat::BC2UnormSrgb:
            case ImageFormat::BC3Unorm:
            case ImageFormat::BC3UnormSrgb:
            case ImageFormat::BC5Unorm:
            case ImageFormat::BC5Snorm:
            case ImageFormat::BC6HUf16:
            case ImageFormat::BC6HSf16:
            case ImageFormat::BC7Unorm:
            case ImageFormat::BC7UnormSrgb: return 16;
            case ImageFormat::Unknown: break;
            }
            return 0;
        }

        struct Layout
        {
            ImageFormat myFormat = ImageFormat::Unknown;
            std::uint32_t myWidth = 0;
            std::uint32_t myHeight = 0;
            std::uint32_t myMipCount = 0;
            std::uint32_t myFaceCount = 0;
            bool myIsCube = false;
            std::size_t myDataOffset = 0;
        };

        std::optional<Layout> ReadLayout(std::span<const std::uint8_t> someBytes)
        {
            if (someBytes.size() < 4 + HEADER_SIZE || ReadU32(someBytes, 0) != DDS_MAGIC)
            {
                return std::nullopt;
            }
            auto header = [&](std::size_t anOffset) { return ReadU32(someBytes, 4 + anOffset); };
            if (header(0) != HEADER_SIZE || header(72) != PIXEL_FORMAT_SIZE)
            {
                return std::nullopt;
            }
            Layout layout;
            const std::uint32_t flags = header(4);
            layout.myHeight = header(8);
            layout.myWidth = header(12);
            layout.myMipCount = std::max<std::uint32_t>(header(24), 1);
            const PixelFormat pixelFormat{header(76), header(80), header(84), {header(88), header(92), header(96), header(100)}};
            const std::uint32_t caps2 = header(108);
            layout.myDataOffset = 4 + HEADER_SIZE;

            if ((pixelFormat.myFlags & PF_FOURCC) && pixelFormat.myFourCc == MakeFourCc('D', 'X', '1', '0'))
            {
                if (someBytes.size() < layout.myDataOffset + DX10_HEADER_SIZE)
                {
                    return std::nullopt;
                }
                const std::size_t ext = layout.myDataOffset;
                layout.myFormat = static_cast<ImageFormat>(ReadU32(someBytes, ext));
                const std::uint32_t dimension = ReadU32(someBytes, ext + 4);
                const std::uint32_t miscFlags = ReadU32(someBytes, ext + 8);
                const std::uint32_t arraySize = ReadU32(someBytes, ext + 12);
                // Texture arrays, 1D and volume textures are not used by the engine.
                if (dimension != DIMENSION_TEXTURE2D || arraySize != 1)
                {
                    return std::nullopt;
                }
                layout.myIsCube = (miscFlags & MISC_TEXTURECUBE) != 0;
                layout.myDataOffset += DX10_HEADER_SIZE;
            }
            else
            {
                if (flags & HEADER_FLAGS_VOLUME)
                {
                    return std::nullopt;
                }
                layout.myFormat = FormatOfLegacyHeader(pixelFormat);
                if (caps2 & CAPS2_CUBEMAP)
                {
                    // A legacy cube map must hold all six faces.
                    if ((caps2 & CAPS2_CUBEMAP_ALL_FACES) != CAPS2_CUBEMAP_ALL_FACES)
                    {
                        return std::nullopt;
                    }
                    layout.myIsCube = true;
                }
            }
            layout.myFaceCount = layout.myIsCube ? 6 : 1;
            return layout;
        }

        bool IsValid(const Layout& aLayout)
        {
            if (UnitBytes(aLayout.myFormat) == 0)
            {
                return false;
            }
            if (aLayout.myWidth == 0 || aLayout.myHeight == 0 || aLayout.myWidth > MAX_SIZE || aLayout.myHeight > MAX_SIZE)
            {
                return false;
            }
            if (aLayout.myIsCube && aLayout.myWidth != aLayout.myHeight)
            {
                return false;
            }
            const std::uint32_t fullChain = std::bit_width(std::max(aLayout.myWidth, aLayout.myHeight));
            return aLayout.myMipCount <= std::min(MAX_MIPS, fullChain);
        }

        ImageSurface SurfaceOf(ImageFormat aFormat, std::uint32_t aWidth, std::uint32_t aHeight)
        {
            ImageSurface surface;
            surface.myWidth = aWidth;
            surface.myHeight = aHeight;
            const std::size_t unit = UnitBytes(aFormat);
            if (DdsLoader::IsBlockCompressed(aFormat))
            {
                surface.myRowPitch = std::max<std::size_t>(1, (aWidth + 3) / 4) * unit;
                surface.mySize = surface.myRowPitch * std::max<std::size_t>(1, (aHeight + 3) / 4);
            }
            else
            {
                surface.myRowPitch = aWidth * unit;
                surface.mySize = surface.myRowPitch * aHeight;
            }
            return surface;
        }

        ImageFormat ApplyLoadFlags(ImageFormat aFormat, std::uint32_t someLoadFlags)
        {
            if (someLoadFlags & DdsLoader::IGNORE_SRGB) return DdsLoader::MakeLinear(aFormat);
            if (someLoadFlags & DdsLoader::FORCE_SRGB) return DdsLoader::MakeSrgb(aFormat);
            return aFormat;
        }

        // An image without its pixels, and where they lie in the file.
        struct ImageWithoutPixels
        {
            ImageData myImage;
            std::size_t myDataOffset = 0;
            std::size_t myDataSize = 0;
        };

        // Format, size, mips and the surfaces' places, checked against the file's length.
        std::optional<ImageWithoutPixels> ReadImage(std::span<const std::uint8_t> someBytes, std::uint32_t someLoadFlags)
        {
            const std::optional<Layout> layout = ReadLayout(someBytes);
            if (!layout || !IsValid(*layout))
            {
                return std::nullopt;
            }
            ImageData image;
            image.myFormat = ApplyLoadFlags(layout->myFormat, someLoadFlags);
            image.myWidth = layout->myWidth;
            image.myHeight = layout->myHeight;
            image.myMipCount = layout->myMipCount;
            image.myFaceCount = layout->myFaceCount;
            image.myIsCube = layout->myIsCube;

            // Sizes are bounded by MAX_SIZE, so the sum cannot overflow; the file must hold all of it.
            std::size_t offset = 0;
            image.mySurfaces.reserve(static_cast<std::size_t>(image.myFaceCount) * image.myMipCount);
            for (std::uint32_t face = 0; face < image.myFaceCount; ++face)
            {
                for (std::uint32_t mip = 0; mip < image.myMipCount; ++mip)
                {
                    ImageSurface surface = SurfaceOf(layout->myFormat, std::max(1u, image.myWidth >> mip), std::max(1u, image.myHeight >> mip));
                    surface.myOffset = offset;
                    offset += surface.mySize;
                    image.mySurfaces.push_back(surface);
                }
            }
            if (someBytes.size() - layout->myDataOffset < offset)
            {
                return std::nullopt;
            }
            return ImageWithoutPixels{std::move(image), layout->myDataOffset, offset};
        }
    }

    std::optional<ImageData> DdsLoader::LoadFile(const std::string& aPath, std::uint32_t someLoadFlags)
    {
        std::optional<std::vector<std::uint8_t>> file = CommonUtilities::ReadFileBytes(aPath);
        if (!file)
        {
            return std::nullopt;
        }
        std::optional<ImageWithoutPixels> read = ReadImage(*file, someLoadFlags);
        if (!read)
        {
            return std::nullopt;
        }
        // The file's own buffer becomes the pixel store: the header is shifted out in place and
        // whatever follows the last surface is cut off, rather than copying the surfaces anew.
        file->erase(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(read->myDataOffset));
        file->resize(read->myDataSize);
        read->myImage.myBytes = std::move(*file);
        return std::move(read->myImage);
    }

    std::optional<ImageData> DdsLoader::Parse(std::span<const std::uint8_t> someBytes, std::uint32_t someLoadFlags)
    {
        std::optional<ImageWithoutPixels> read = ReadImage(someBytes, someLoadFlags);
        if (!read)
        {
            return std::nullopt;
        }
        const auto data = someBytes.subspan(read->myDataOffset, read->myDataSize);
        read->myImage.myBytes.assign(data.begin(), data.end());
        return std::move(read->myImage);
    }

    ImageFormat DdsLoader::MakeSrgb(ImageFormat aFormat)
    {
        switch (aFormat)
        {
        case ImageFormat::R8G8B8A8Unorm: return ImageFormat::R8G8B8A8UnormSrgb;
        case ImageFormat::BC1Unorm: return ImageFormat::BC1UnormSrgb;
        case ImageFormat::BC2Unorm: return ImageFormat::BC2UnormSrgb;
        case ImageFormat::BC3Unorm: return ImageFormat::BC3UnormSrgb;
        case ImageFormat::B8G8R8A8Unorm: return ImageFormat::B8G8R8A8UnormSrgb;
        case ImageFormat::B8G8R8X8Unorm: return ImageFormat::B8G8R8X8UnormSrgb;
        case ImageFormat::BC7Unorm: return ImageFormat::BC7UnormSrgb;
        default: return aFormat;
        }
    }

    ImageFormat DdsLoader::MakeLinear(ImageFormat aFormat)
    {
        switch (aFormat)
        {
        case ImageFormat::R8G8B8A8UnormSrgb: return ImageFormat::R8G8B8A8Unorm;
        case ImageFormat::BC1UnormSrgb: return ImageFormat::BC1Unorm;
        case ImageFormat::BC2UnormSrgb: return ImageFormat::BC2Unorm;
        case ImageFormat::BC3UnormSrgb: return ImageFormat::BC3Unorm;
        case ImageFormat::B8G8R8A8UnormSrgb: return ImageFormat::B8G8R8A8Unorm;
        case ImageFormat::B8G8R8X8UnormSrgb: return ImageFormat::B8G8R8X8Unorm;
        case ImageFormat::BC7UnormSrgb: return ImageFormat::BC7Unorm;
        default: return aFormat;
        }
    }

    bool DdsLoader::IsSupported(ImageFormat aFormat)
    {
        return UnitBytes(aFormat) != 0;
    }

    bool DdsLoader::IsBlockCompressed(ImageFormat aFormat)
    {
        const auto value = static_cast<std::uint32_t>(aFormat);
        return (value >= 70 && value <= 84) || (value >= 94 && value <= 99);
    }
}
