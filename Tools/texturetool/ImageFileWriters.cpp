#include "ImageFileWriters.h"

#include "DdsWriter.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace TextureTool
{
    namespace
    {
        void PutBigEndian32(std::vector<std::uint8_t>& someBytes, std::uint32_t aValue)
        {
            for (int shift = 24; shift >= 0; shift -= 8)
            {
                someBytes.push_back(static_cast<std::uint8_t>(aValue >> shift));
            }
        }

        void PutLittleEndian(std::vector<std::uint8_t>& someBytes, std::uint32_t aValue, int aByteCount)
        {
            for (int i = 0; i < aByteCount; ++i)
            {
                someBytes.push_back(static_cast<std::uint8_t>(aValue >> (8 * i)));
            }
        }

        std::uint32_t Crc32(const std::uint8_t* someBytes, std::size_t aCount)
        {
            static const std::array<std::uint32_t, 256> table = [] {
                std::array<std::uint32_t, 256> result{};
                for (std::uint32_t n = 0; n < 256; ++n)
                {
                    std::uint32_t c = n;
                    for (int k = 0; k < 8; ++k)
                    {
                        c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                    }
                    result[n] = c;
                }
                return result;
            }();
            std::uint32_t crc = 0xFFFFFFFFu;
            for (std::size_t i = 0; i < aCount; ++i)
            {
                crc = table[(crc ^ someBytes[i]) & 0xFF] ^ (crc >> 8);
            }
            return crc ^ 0xFFFFFFFFu;
        }

        void PutChunk(std::vector<std::uint8_t>& somePng, std::string_view aType, const std::vector<std::uint8_t>& someData)
        {
            PutBigEndian32(somePng, static_cast<std::uint32_t>(someData.size()));
            const std::size_t typeStart = somePng.size();
            somePng.insert(somePng.end(), aType.begin(), aType.end());
            somePng.insert(somePng.end(), someData.begin(), someData.end());
            PutBigEndian32(somePng, Crc32(somePng.data() + typeStart, somePng.size() - typeStart));
        }

        // A zlib stream of stored (uncompressed) deflate blocks.
        std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& someData)
        {
            std::vector<std::uint8_t> stream = {0x78, 0x01};
            std::size_t offset = 0;
            do
            {
                const std::size_t length = std::min<std::size_t>(65535, someData.size() - offset);
                const bool last = offset + length == someData.size();
                stream.push_back(last ? 1 : 0);
                PutLittleEndian(stream, static_cast<std::uint32_t>(length), 2);
                PutLittleEndian(stream, static_cast<std::uint32_t>(~length & 0xFFFF), 2);
                stream.insert(stream.end(), someData.begin() + offset, someData.begin() + offset + length);
                offset += length;
            } while (offset < someData.size());
            std::uint32_t a = 1;
            std::uint32_t b = 0;
            for (const std::uint8_t byte : someData)
            {
                a = (a + byte) % 65521;
                b = (b + a) % 65521;
            }
            PutBigEndian32(stream, b << 16 | a);
            return stream;
        }
    }

    void WritePng(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                  const std::vector<std::uint8_t>& someRgba, bool aDeclareSrgb)
    {
        std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<std::uint8_t> header;
        PutBigEndian32(header, aWidth);
        PutBigEndian32(header, aHeight);
        header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
        PutChunk(png, "IHDR", header);
        if (aDeclareSrgb)
        {
            PutChunk(png, "sRGB", {0});
        }
        std::vector<std::uint8_t> rows;
        for (std::uint32_t y = 0; y < aHeight; ++y)
        {
            rows.push_back(0); // no filter
            const auto row = someRgba.begin() + static_cast<std::ptrdiff_t>(y) * aWidth * 4;
            rows.insert(rows.end(), row, row + aWidth * 4);
        }
        PutChunk(png, "IDAT", StoredZlib(rows));
        PutChunk(png, "IEND", {});
        WriteFile(aPath, png);
    }

    void WriteBmp(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                  const std::vector<std::uint8_t>& someRgba)
    {
        const std::uint32_t rowBytes = (aWidth * 3 + 3) & ~3u;
        const std::uint32_t dataOffset = 14 + 40;
        std::vector<std::uint8_t> bmp = {'B', 'M'};
        PutLittleEndian(bmp, dataOffset + rowBytes * aHeight, 4);
        PutLittleEndian(bmp, 0, 4);
        PutLittleEndian(bmp, dataOffset, 4);
        PutLittleEndian(bmp, 40, 4);
        PutLittleEndian(bmp, aWidth, 4);
        PutLittleEndian(bmp, aHeight, 4); // positive: bottom row first
        PutLittleEndian(bmp, 1, 2);
        PutLittleEndian(bmp, 24, 2);
        for (int i = 0; i < 6; ++i)
        {
            PutLittleEndian(bmp, 0, 4);
        }
        for (std::uint32_t y = aHeight; y-- > 0;)
        {
            for (std::uint32_t x = 0; x < aWidth; ++x)
            {
                const std::uint8_t* pixel = someRgba.data() + (static_cast<std::size_t>(y) * aWidth + x) * 4;
                bmp.insert(bmp.end(), {pixel[2], pixel[1], pixel[0]});
            }
            bmp.resize(bmp.size() + (rowBytes - aWidth * 3), 0);
        }
        WriteFile(aPath, bmp);
    }

    void WriteGif(const std::filesystem::path& aPath, std::uint16_t aWidth, std::uint16_t aHeight,
                  const std::vector<std::uint8_t>& someRgba)
    {
        std::vector<std::array<std::uint8_t, 3>> palette;
        std::vector<std::uint8_t> indices;
        for (std::size_t i = 0; i < someRgba.size(); i += 4)
        {
            const std::array<std::uint8_t, 3> colour = {someRgba[i], someRgba[i + 1], someRgba[i + 2]};
            auto found = std::find(palette.begin(), palette.end(), colour);
            if (found == palette.end())
            {
                palette.push_back(colour);
                found = palette.end() - 1;
            }
            indices.push_back(static_cast<std::uint8_t>(found - palette.begin()));
        }
        palette.resize(256, {0, 0, 0});

        std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
        PutLittleEndian(gif, aWidth, 2);
        PutLittleEndian(gif, aHeight, 2);
        gif.insert(gif.end(), {0xF7, 0, 0}); // global table of 256 colours
        for (const auto& colour : palette)
        {
            gif.insert(gif.end(), colour.begin(), colour.end());
        }
        gif.push_back(0x2C);
        PutLittleEndian(gif, 0, 4);
        PutLittleEndian(gif, aWidth, 2);
        PutLittleEndian(gif, aHeight, 2);
        gif.push_back(0);
        gif.push_back(8); // minimum code size

        // Every pixel a literal code; a clear code every so often keeps the codes 9 bits wide.
        constexpr std::uint32_t CLEAR = 256;
        constexpr std::uint32_t END = 257;
        std::vector<std::uint8_t> packed;
        std::uint32_t buffer = 0;
        int bits = 0;
        auto put = [&](std::uint32_t aCode) {
            buffer |= aCode << bits;
            bits += 9;
            while (bits >= 8)
            {
                packed.push_back(static_cast<std::uint8_t>(buffer));
                buffer >>= 8;
                bits -= 8;
            }
        };
        for (std::size_t i = 0; i < indices.size(); ++i)
        {
            if (i % 200 == 0)
            {
                put(CLEAR);
            }
            put(indices[i]);
        }
        put(END);
        if (bits > 0)
        {
            packed.push_back(static_cast<std::uint8_t>(buffer));
        }
        for (std::size_t offset = 0; offset < packed.size(); offset += 255)
        {
            const std::size_t length = std::min<std::size_t>(255, packed.size() - offset);
            gif.push_back(static_cast<std::uint8_t>(length));
            gif.insert(gif.end(), packed.begin() + offset, packed.begin() + offset + length);
        }
        gif.push_back(0);
        gif.push_back(0x3B);
        WriteFile(aPath, gif);
    }

    void WriteTarga(const std::filesystem::path& aPath, std::uint16_t aWidth, std::uint16_t aHeight,
                    std::uint8_t aBitsPerPixel, const std::vector<std::uint8_t>& someStoredPixels)
    {
        std::vector<std::uint8_t> tga(18, 0);
        tga[2] = 2; // uncompressed true colour
        tga[12] = static_cast<std::uint8_t>(aWidth);
        tga[13] = static_cast<std::uint8_t>(aWidth >> 8);
        tga[14] = static_cast<std::uint8_t>(aHeight);
        tga[15] = static_cast<std::uint8_t>(aHeight >> 8);
        tga[16] = aBitsPerPixel;
        tga[17] = aBitsPerPixel == 32 ? 8 : 0; // alpha bits; bottom-left origin
        tga.insert(tga.end(), someStoredPixels.begin(), someStoredPixels.end());
        WriteFile(aPath, tga);
    }
}
