#include "image/impl/JpegReader.h"

#include "image/impl/ImageLimits.h"

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <vector>

namespace Platform::impl
{
    namespace
    {
        // Virtual arrays (progressive files keep every coefficient) beyond this fail the decode.
        constexpr long MAX_DECODER_MEMORY = 1l << 30;

        // libjpeg's error manager comes first, so the handlers can find the rest from it. It lives in
        // the caller's frame, so nothing in it is lost when an error jumps back.
        struct JpegRead
        {
            jpeg_error_mgr myErrors;
            std::jmp_buf myFailure;
        };

        [[noreturn]] void OnError(j_common_ptr aDecoder)
        {
            std::longjmp(reinterpret_cast<JpegRead*>(aDecoder->err)->myFailure, 1);
        }

        void OnMessage(j_common_ptr aDecoder, int aLevel)
        {
            // A file that ends inside its image has no image, rather than rows made up by the
            // decoder: that also stops the work where the file's data stops.
            if (aLevel < 0 && aDecoder->err->msg_code == JWRN_JPEG_EOF)
            {
                OnError(aDecoder);
            }
        }

        // Each 8x8 block of the most finely sampled component takes at least one bit of Huffman
        // code, so a file cannot describe more blocks than eight times its bytes.
        bool FileCanHold(const jpeg_decompress_struct& aDecoder, std::size_t aFileSize)
        {
            const std::uint64_t width = aDecoder.image_width;
            const std::uint64_t height = aDecoder.image_height;
            const std::uint64_t blocks = ((width + 7) / 8) * ((height + 7) / 8);
            return width * height <= MAX_DECODED_PIXELS && blocks <= std::uint64_t{aFileSize} * 8;
        }

        // Adobe stores CMYK inverted; the colour is the ink's value scaled by the black's.
        std::uint8_t Scale(std::uint8_t aValue, std::uint8_t aScale)
        {
            const unsigned product = unsigned{aValue} * aScale + 128;
            return static_cast<std::uint8_t>((product + (product >> 8)) >> 8);
        }

        void CmykToRgba(std::uint8_t* someRow, std::uint32_t aWidth)
        {
            for (std::uint32_t x = 0; x < aWidth; ++x)
            {
                std::uint8_t* pixel = someRow + std::size_t{x} * 4;
                const std::uint8_t black = pixel[3];
                pixel[0] = Scale(pixel[0], black);
                pixel[1] = Scale(pixel[1], black);
                pixel[2] = Scale(pixel[2], black);
                pixel[3] = 255;
            }
        }

        bool Read(jpeg_decompress_struct& aDecoder, JpegRead& aRead, std::span<const std::uint8_t> someBytes, DecodedImage& anImage)
        {
            if (setjmp(aRead.myFailure) != 0)
            {
                return false;
            }
            jpeg_create_decompress(&aDecoder);
            aDecoder.mem->max_memory_to_use = MAX_DECODER_MEMORY;
            jpeg_mem_src(&aDecoder, someBytes.data(), static_cast<unsigned long>(someBytes.size()));
            if (jpeg_read_header(&aDecoder, TRUE) != JPEG_HEADER_OK || aDecoder.arith_code || !FileCanHold(aDecoder, someBytes.size()))
            {
                return false;
            }
            const bool isCmyk = aDecoder.jpeg_color_space == JCS_CMYK || aDecoder.jpeg_color_space == JCS_YCCK;
            aDecoder.out_color_space = isCmyk ? JCS_CMYK : JCS_EXT_RGBA;
            jpeg_start_decompress(&aDecoder);
            if (aDecoder.output_components != 4)
            {
                return false;
            }
            anImage.myWidth = aDecoder.output_width;
            anImage.myHeight = aDecoder.output_height;
            const std::size_t rowBytes = std::size_t{anImage.myWidth} * 4;
            anImage.myPixels.resize(rowBytes * anImage.myHeight);
            while (aDecoder.output_scanline < aDecoder.output_height)
            {
                JSAMPROW row = anImage.myPixels.data() + rowBytes * aDecoder.output_scanline;
                jpeg_read_scanlines(&aDecoder, &row, 1);
                if (isCmyk)
                {
                    CmykToRgba(row, anImage.myWidth);
                }
            }
            jpeg_finish_decompress(&aDecoder);
            return true;
        }
    }

    bool IsJpeg(std::span<const std::uint8_t> someBytes)
    {
        return someBytes.size() >= 3 && someBytes[0] == 0xFF && someBytes[1] == 0xD8 && someBytes[2] == 0xFF;
    }

    bool DecodeJpeg(std::span<const std::uint8_t> someBytes, DecodedImage& anImage)
    {
        if (!IsJpeg(someBytes))
        {
            return false;
        }
        jpeg_decompress_struct decoder{};
        JpegRead read{};
        decoder.err = jpeg_std_error(&read.myErrors);
        read.myErrors.error_exit = OnError;
        read.myErrors.emit_message = OnMessage;
        const bool decoded = Read(decoder, read, someBytes, anImage);
        jpeg_destroy_decompress(&decoder);
        if (!decoded)
        {
            anImage.myPixels.clear();
        }
        return decoded;
    }
}
