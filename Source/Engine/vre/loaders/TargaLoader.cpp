#include "loaders/TargaLoader.h"

#include "Assert.h"
#include "gpu/GpuTypes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace Vra
{
    namespace
    {
        constexpr std::size_t HEADER_SIZE = 18;

        struct FileCloser
        {
            void operator()(std::FILE* aFile) const { std::fclose(aFile); }
        };
    }

    std::optional<TargaImage> LoadTarga(const wchar_t* aPath)
    {
        const std::string path = std::filesystem::path(aPath).string();
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
        std::FILE* fp = file.get();
        CU_ASSERT(fp != NULL);
        if (fp == nullptr)
        {
            return std::nullopt;
        }

        std::uint8_t header[HEADER_SIZE];
        if (std::fread(header, 1, HEADER_SIZE, fp) != HEADER_SIZE)
        {
            return std::nullopt;
        }
        TargaImage image;
        image.myWidth = static_cast<std::uint16_t>(header[12] | header[13] << 8);
        image.myHeight = static_cast<std::uint16_t>(header[14] | header[15] << 8);
        image.myBitsPerPixel = header[16];
        if (image.myBitsPerPixel != 32 || image.myWidth == 0 || image.myHeight == 0 ||
            image.myWidth > Platform::Gpu::MAX_TEXTURE_SIZE || image.myHeight > Platform::Gpu::MAX_TEXTURE_SIZE)
        {
            return std::nullopt;
        }

        // A header may declare more pixels than the file holds: they are counted before any
        // memory is taken for them, and a truncated file has no image rather than rows of garbage.
        const std::size_t rowBytes = static_cast<std::size_t>(image.myWidth) * 4;
        const std::size_t pixelBytes = rowBytes * image.myHeight;
        std::error_code error;
        const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
        if (error || fileSize < HEADER_SIZE || fileSize - HEADER_SIZE < pixelBytes)
        {
            return std::nullopt;
        }
        image.myPixels.resize(pixelBytes);
        if (std::fread(image.myPixels.data(), 1, pixelBytes, fp) != pixelBytes)
        {
            return std::nullopt;
        }

        for (std::size_t top = 0, bottom = image.myHeight - 1u; top < bottom; ++top, --bottom)
        {
            std::swap_ranges(image.myPixels.begin() + top * rowBytes, image.myPixels.begin() + (top + 1) * rowBytes,
                             image.myPixels.begin() + bottom * rowBytes);
        }
        for (std::size_t i = 0; i < image.myPixels.size(); i += 4)
        {
            std::swap(image.myPixels[i], image.myPixels[i + 2]);
        }
        return image;
    }
}
