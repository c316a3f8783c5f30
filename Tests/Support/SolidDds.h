#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace TestSupport
{
    // An uncompressed RGBA8 DDS of one colour, as the texture manager reads sprites.
    inline void WriteSolidDds(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight, std::array<std::uint8_t, 4> aRgba)
    {
        std::vector<std::uint32_t> header(31, 0);
        header[0] = 124;                            // header size
        header[1] = 0x1 | 0x2 | 0x4 | 0x8 | 0x1000; // caps, height, width, pitch, pixel format
        header[2] = aHeight;
        header[3] = aWidth;
        header[4] = aWidth * 4;
        header[6] = 1;         // mip count
        header[18] = 32;       // pixel format size
        header[19] = 0x40 | 0x1; // RGB with alpha
        header[21] = 32;
        header[22] = 0x000000ff;
        header[23] = 0x0000ff00;
        header[24] = 0x00ff0000;
        header[25] = 0xff000000;
        header[26] = 0x1000; // texture
        std::filesystem::create_directories(aPath.parent_path());
        std::ofstream file(aPath, std::ios::binary);
        file.write("DDS ", 4);
        file.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size() * 4));
        for (std::uint32_t pixel = 0; pixel < aWidth * aHeight; ++pixel)
        {
            file.write(reinterpret_cast<const char*>(aRgba.data()), 4);
        }
    }
}
