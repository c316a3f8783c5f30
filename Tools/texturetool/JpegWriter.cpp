#include "JpegWriter.h"

#include <cstdio>
#include <jpeglib.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace TextureTool
{
    namespace
    {
        struct FileCloser
        {
            void operator()(std::FILE* aFile) const { std::fclose(aFile); }
        };

        J_COLOR_SPACE InputSpace(JpegKind aKind)
        {
            switch (aKind)
            {
            case JpegKind::Grayscale: return JCS_GRAYSCALE;
            case JpegKind::AdobeCmyk: return JCS_CMYK;
            default: return JCS_EXT_RGBA;
            }
        }

        std::vector<std::uint8_t> InputRow(const std::uint8_t* someRgba, std::uint32_t aWidth, JpegKind aKind)
        {
            if (aKind != JpegKind::Grayscale)
            {
                return {someRgba, someRgba + std::size_t{aWidth} * 4};
            }
            std::vector<std::uint8_t> row(aWidth);
            for (std::uint32_t x = 0; x < aWidth; ++x)
            {
                row[x] = someRgba[x * 4];
            }
            return row;
        }
    }

    void WriteJpeg(const std::filesystem::path& aPath, std::uint32_t aWidth, std::uint32_t aHeight,
                   const std::vector<std::uint8_t>& someRgba, JpegKind aKind)
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(aPath.string().c_str(), "wb"));
        if (!file)
        {
            throw std::runtime_error("cannot write " + aPath.string());
        }
        jpeg_compress_struct encoder;
        jpeg_error_mgr errors;
        encoder.err = jpeg_std_error(&errors); // the tool stops on a failure, as the default handler does
        jpeg_create_compress(&encoder);
        jpeg_stdio_dest(&encoder, file.get());
        encoder.image_width = aWidth;
        encoder.image_height = aHeight;
        encoder.in_color_space = InputSpace(aKind);
        encoder.input_components = aKind == JpegKind::Grayscale ? 1 : 4;
        jpeg_set_defaults(&encoder);
        jpeg_set_quality(&encoder, 100, TRUE);
        for (int component = 0; component < encoder.num_components; ++component)
        {
            encoder.comp_info[component].h_samp_factor = 1;
            encoder.comp_info[component].v_samp_factor = 1;
        }
        if (aKind == JpegKind::Progressive)
        {
            jpeg_simple_progression(&encoder);
        }
        encoder.arith_code = aKind == JpegKind::Arithmetic;
        jpeg_start_compress(&encoder, TRUE);
        while (encoder.next_scanline < aHeight)
        {
            std::vector<std::uint8_t> row = InputRow(someRgba.data() + std::size_t{encoder.next_scanline} * aWidth * 4, aWidth, aKind);
            JSAMPROW rowPointer = row.data();
            jpeg_write_scanlines(&encoder, &rowPointer, 1);
        }
        jpeg_finish_compress(&encoder);
        jpeg_destroy_compress(&encoder);
    }
}
