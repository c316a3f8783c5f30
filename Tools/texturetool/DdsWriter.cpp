#include "DdsWriter.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace TextureTool
{
    namespace
    {
        void PutU32(std::vector<std::uint8_t>& someBytes, std::uint32_t aValue)
        {
            for (int i = 0; i < 4; ++i)
            {
                someBytes.push_back(static_cast<std::uint8_t>(aValue >> (8 * i)));
            }
        }

        constexpr std::uint32_t HEADER_CAPS = 0x1;
        constexpr std::uint32_t HEADER_HEIGHT = 0x2;
        constexpr std::uint32_t HEADER_WIDTH = 0x4;
        constexpr std::uint32_t HEADER_PIXELFORMAT = 0x1000;
        constexpr std::uint32_t HEADER_MIPMAPCOUNT = 0x20000;
        constexpr std::uint32_t CAPS_COMPLEX = 0x8;
        constexpr std::uint32_t CAPS_TEXTURE = 0x1000;
        constexpr std::uint32_t CAPS_MIPMAP = 0x400000;
        constexpr std::uint32_t CAPS2_CUBEMAP_ALL = 0xFE00;
    }

    std::vector<std::uint8_t> MakeDdsHeader(const DdsDescription& aDescription)
    {
        std::vector<std::uint8_t> bytes;
        PutU32(bytes, FourCc('D', 'D', 'S', ' '));
        PutU32(bytes, 124);
        PutU32(bytes, HEADER_CAPS | HEADER_HEIGHT | HEADER_WIDTH | HEADER_PIXELFORMAT |
                          (aDescription.myMipCount > 1 ? HEADER_MIPMAPCOUNT : 0));
        PutU32(bytes, aDescription.myHeight);
        PutU32(bytes, aDescription.myWidth);
        PutU32(bytes, 0); // pitch or linear size: readers compute it
        PutU32(bytes, 0); // depth
        PutU32(bytes, aDescription.myMipCount);
        for (int i = 0; i < 11; ++i)
        {
            PutU32(bytes, 0);
        }
        const bool dx10 = aDescription.myDxgiFormat != 0;
        PutU32(bytes, 32);
        PutU32(bytes, dx10 ? PF_FOURCC : aDescription.myLegacy.myFlags);
        PutU32(bytes, dx10 ? FourCc('D', 'X', '1', '0') : aDescription.myLegacy.myFourCc);
        PutU32(bytes, dx10 ? 0 : aDescription.myLegacy.myBitCount);
        for (int i = 0; i < 4; ++i)
        {
            PutU32(bytes, dx10 ? 0 : aDescription.myLegacy.myMasks[i]);
        }
        const bool complex = aDescription.myIsCube || aDescription.myMipCount > 1;
        PutU32(bytes, CAPS_TEXTURE | (complex ? CAPS_COMPLEX : 0) | (aDescription.myMipCount > 1 ? CAPS_MIPMAP : 0));
        PutU32(bytes, aDescription.myIsCube ? CAPS2_CUBEMAP_ALL : 0);
        PutU32(bytes, 0);
        PutU32(bytes, 0);
        PutU32(bytes, 0);
        if (dx10)
        {
            PutU32(bytes, aDescription.myDxgiFormat);
            PutU32(bytes, 3); // 2D texture
            PutU32(bytes, aDescription.myIsCube ? 0x4 : 0);
            PutU32(bytes, 1); // array size: one texture or one cube
            PutU32(bytes, 0);
        }
        return bytes;
    }

    void WriteFile(const std::filesystem::path& aPath, const std::vector<std::uint8_t>& someBytes)
    {
        std::filesystem::create_directories(aPath.parent_path());
        std::filesystem::path temporary = aPath;
        temporary += ".writing";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(someBytes.data()), static_cast<std::streamsize>(someBytes.size()));
            if (!file)
            {
                throw std::runtime_error("cannot write " + temporary.string());
            }
        }
        std::filesystem::rename(temporary, aPath);
    }

    void WriteDds(const std::filesystem::path& aPath, const DdsDescription& aDescription,
                  const std::vector<std::uint8_t>& someSurfaceBytes)
    {
        std::vector<std::uint8_t> bytes = MakeDdsHeader(aDescription);
        bytes.insert(bytes.end(), someSurfaceBytes.begin(), someSurfaceBytes.end());
        WriteFile(aPath, bytes);
    }
}
