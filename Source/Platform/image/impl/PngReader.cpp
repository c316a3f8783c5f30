#include "image/impl/PngReader.h"

#include "image/impl/ImageLimits.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace Platform::impl
{
    namespace
    {
        constexpr std::uint8_t SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

        // What the read callbacks and the error handler share. It lives in the caller's frame, so
        // nothing in it is lost when an error jumps back.
        struct PngRead
        {
            std::span<const std::uint8_t> myBytes;
            std::size_t myOffset = sizeof(SIGNATURE);
            std::vector<png_bytep> myRows;
            std::jmp_buf myFailure;
        };

        [[noreturn]] void OnError(png_structp aPng, png_const_charp)
        {
            std::longjmp(static_cast<PngRead*>(png_get_error_ptr(aPng))->myFailure, 1);
        }

        void OnWarning(png_structp, png_const_charp)
        {
            // Warnings name damage libpng repairs or skips (a bad ancillary chunk, an odd profile).
        }

        void OnRead(png_structp aPng, png_bytep aTarget, png_size_t aCount)
        {
            PngRead& read = *static_cast<PngRead*>(png_get_io_ptr(aPng));
            if (read.myBytes.size() - read.myOffset < aCount)
            {
                png_error(aPng, "file ends inside the image");
            }
            std::memcpy(aTarget, read.myBytes.data() + read.myOffset, aCount);
            read.myOffset += aCount;
        }

        // The bytes of all image-data chunks: what the pixels are inflated from.
        std::uint64_t ImageDataBytes(std::span<const std::uint8_t> someBytes)
        {
            std::uint64_t total = 0;
            std::size_t offset = sizeof(SIGNATURE);
            while (someBytes.size() - offset >= 12)
            {
                const std::uint32_t length = ReadBigEndian32(someBytes.data() + offset);
                if (std::memcmp(someBytes.data() + offset + 4, "IDAT", 4) == 0)
                {
                    total += length;
                }
                if (someBytes.size() - offset - 12 < length)
                {
                    break;
                }
                offset += 12 + std::size_t{length};
            }
            return total;
        }

        // Every format becomes RGBA with 8 bits a channel, as the engine uploads it.
        void AskForRgba8(png_structp aPng, png_infop anInfo)
        {
            const png_byte colourType = png_get_color_type(aPng, anInfo);
            png_set_expand(aPng);
            png_set_strip_16(aPng);
            if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            {
                png_set_gray_to_rgb(aPng);
            }
            png_set_filler(aPng, 0xFF, PNG_FILLER_AFTER);
            png_set_interlace_handling(aPng);
            png_read_update_info(aPng, anInfo);
        }

        bool Read(png_structp aPng, png_infop anInfo, PngRead& aRead, DecodedImage& anImage)
        {
            if (setjmp(aRead.myFailure) != 0)
            {
                return false;
            }
            png_set_read_fn(aPng, &aRead, OnRead);
            png_set_sig_bytes(aPng, sizeof(SIGNATURE));
            png_read_info(aPng, anInfo);
            const std::uint64_t width = png_get_image_width(aPng, anInfo);
            const std::uint64_t height = png_get_image_height(aPng, anInfo);
            // The rows the file stores, a filter byte each, must be inflatable from its image data
            // before any memory is taken for them.
            const std::uint64_t storedRowBytes = (width * png_get_channels(aPng, anInfo) * png_get_bit_depth(aPng, anInfo) + 7) / 8;
            if (width * height > MAX_DECODED_PIXELS ||
                height * (storedRowBytes + 1) > ImageDataBytes(aRead.myBytes) * MAX_DEFLATE_RATIO + 1024)
            {
                return false;
            }
            AskForRgba8(aPng, anInfo);
            if (png_get_rowbytes(aPng, anInfo) != width * 4)
            {
                return false;
            }
            anImage.myWidth = static_cast<std::uint32_t>(width);
            anImage.myHeight = static_cast<std::uint32_t>(height);
            anImage.myPixels.resize(width * height * 4);
            aRead.myRows.resize(height);
            for (std::uint64_t row = 0; row < height; ++row)
            {
                aRead.myRows[row] = anImage.myPixels.data() + row * width * 4;
            }
            png_read_image(aPng, aRead.myRows.data());
            return true;
        }
    }

    bool IsPng(std::span<const std::uint8_t> someBytes)
    {
        return someBytes.size() >= sizeof(SIGNATURE) && std::memcmp(someBytes.data(), SIGNATURE, sizeof(SIGNATURE)) == 0;
    }

    bool HasPngSrgbChunk(std::span<const std::uint8_t> someBytes)
    {
        if (!IsPng(someBytes))
        {
            return false;
        }
        std::size_t offset = sizeof(SIGNATURE);
        while (someBytes.size() - offset >= 12)
        {
            const std::uint32_t length = ReadBigEndian32(someBytes.data() + offset);
            const char* type = reinterpret_cast<const char*>(someBytes.data() + offset + 4);
            if (std::memcmp(type, "sRGB", 4) == 0)
            {
                return true;
            }
            if (std::memcmp(type, "IDAT", 4) == 0 || someBytes.size() - offset - 12 < length)
            {
                return false;
            }
            offset += 12 + std::size_t{length};
        }
        return false;
    }

    bool DecodePng(std::span<const std::uint8_t> someBytes, DecodedImage& anImage)
    {
        if (!IsPng(someBytes))
        {
            return false;
        }
        PngRead read;
        read.myBytes = someBytes;
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &read, OnError, OnWarning);
        if (png == nullptr)
        {
            return false;
        }
        png_infop info = png_create_info_struct(png);
        const bool decoded = info != nullptr && Read(png, info, read, anImage);
        png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        if (!decoded)
        {
            anImage.myPixels.clear();
        }
        return decoded;
    }
}
