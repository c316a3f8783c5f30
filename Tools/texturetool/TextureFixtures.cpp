#include "TextureFixtures.h"

#include "DdsWriter.h"
#include "ImageFileWriters.h"
#include "JpegWriter.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

namespace TextureTool
{
    namespace
    {
        struct FormatCase
        {
            const char* myName;
            std::uint32_t myDxgiFormat;
            std::uint32_t myUnitBytes; // per texel, or per 4x4 block when compressed
            bool myIsCompressed;
            std::optional<LegacyPixelFormat> myLegacy;
        };

        LegacyPixelFormat Masks(std::uint32_t aFlags, std::uint32_t aBits, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
        {
            return {aFlags, 0, aBits, {r, g, b, a}};
        }

        LegacyPixelFormat Code(std::uint32_t aFourCc)
        {
            return {PF_FOURCC, aFourCc, 0, {0, 0, 0, 0}};
        }

        const FormatCase FORMATS[] = {
            {"rgba8", 28, 4, false, Masks(PF_RGB | PF_ALPHAPIXELS, 32, 0xff, 0xff00, 0xff0000, 0xff000000)},
            {"rgba8_srgb", 29, 4, false, std::nullopt},
            {"bgra8", 87, 4, false, Masks(PF_RGB | PF_ALPHAPIXELS, 32, 0xff0000, 0xff00, 0xff, 0xff000000)},
            {"bgra8_srgb", 91, 4, false, std::nullopt},
            {"bgrx8", 88, 4, false, Masks(PF_RGB, 32, 0xff0000, 0xff00, 0xff, 0)},
            {"bgrx8_srgb", 93, 4, false, std::nullopt},
            {"r8", 61, 1, false, Masks(PF_LUMINANCE, 8, 0xff, 0, 0, 0)},
            {"r8g8", 49, 2, false, Masks(PF_LUMINANCE | PF_ALPHAPIXELS, 16, 0xff, 0, 0, 0xff00)},
            {"r16f", 54, 2, false, Code(111)},
            {"r32f", 41, 4, false, Code(114)},
            {"rgba16f", 10, 8, false, Code(113)},
            {"rgba32f", 2, 16, false, Code(116)},
            {"bc1", 71, 8, true, Code(FourCc('D', 'X', 'T', '1'))},
            {"bc1_srgb", 72, 8, true, std::nullopt},
            {"bc2", 74, 16, true, Code(FourCc('D', 'X', 'T', '3'))},
            {"bc2_srgb", 75, 16, true, std::nullopt},
            {"bc3", 77, 16, true, Code(FourCc('D', 'X', 'T', '5'))},
            {"bc3_srgb", 78, 16, true, std::nullopt},
            {"bc4", 80, 8, true, Code(FourCc('A', 'T', 'I', '1'))},
            {"bc4_snorm", 81, 8, true, Code(FourCc('B', 'C', '4', 'S'))},
            {"bc5", 83, 16, true, Code(FourCc('A', 'T', 'I', '2'))},
            {"bc5_snorm", 84, 16, true, Code(FourCc('B', 'C', '5', 'S'))},
            {"bc6h_uf16", 95, 16, true, std::nullopt},
            {"bc6h_sf16", 96, 16, true, std::nullopt},
            {"bc7", 98, 16, true, std::nullopt},
            {"bc7_srgb", 99, 16, true, std::nullopt},
        };

        std::size_t SurfaceSize(const FormatCase& aFormat, std::uint32_t aWidth, std::uint32_t aHeight)
        {
            if (aFormat.myIsCompressed)
            {
                return std::size_t{std::max(1u, (aWidth + 3) / 4)} * std::max(1u, (aHeight + 3) / 4) * aFormat.myUnitBytes;
            }
            return std::size_t{aWidth} * aHeight * aFormat.myUnitBytes;
        }

        std::vector<std::uint8_t> PatternSurfaces(const FormatCase& aFormat, const DdsDescription& aDescription)
        {
            std::vector<std::uint8_t> bytes;
            const std::uint32_t faces = aDescription.myIsCube ? 6 : 1;
            for (std::uint32_t face = 0; face < faces; ++face)
            {
                for (std::uint32_t mip = 0; mip < aDescription.myMipCount; ++mip)
                {
                    const std::uint32_t surface = face * aDescription.myMipCount + mip;
                    const std::size_t size = SurfaceSize(aFormat, std::max(1u, aDescription.myWidth >> mip), std::max(1u, aDescription.myHeight >> mip));
                    for (std::size_t i = 0; i < size; ++i)
                    {
                        bytes.push_back(static_cast<std::uint8_t>(surface * 29 + i * 7 + 3));
                    }
                }
            }
            return bytes;
        }

        class Manifest
        {
        public:
            explicit Manifest(std::filesystem::path aFolder) : myFolder(std::move(aFolder)) {}
            std::filesystem::path Add(const std::string& aName)
            {
                myNames += aName + "\n";
                return myFolder / aName;
            }
            void Write() const { WriteFile(myFolder / "manifest.txt", {myNames.begin(), myNames.end()}); }

        private:
            std::filesystem::path myFolder;
            std::string myNames;
        };

        void WriteDdsFixtures(Manifest& aManifest)
        {
            for (const FormatCase& format : FORMATS)
            {
                // Wider than tall, with the full chain 8x4, 4x2, 2x1, 1x1.
                DdsDescription description;
                description.myWidth = 8;
                description.myHeight = 4;
                description.myMipCount = 4;
                description.myDxgiFormat = format.myDxgiFormat;
                const auto bytes = PatternSurfaces(format, description);
                WriteDds(aManifest.Add(std::string("dx10_") + format.myName + ".dds"), description, bytes);
                if (format.myLegacy)
                {
                    description.myDxgiFormat = 0;
                    description.myLegacy = *format.myLegacy;
                    WriteDds(aManifest.Add(std::string("legacy_") + format.myName + ".dds"), description, bytes);
                }
            }

            DdsDescription cube;
            cube.myWidth = 4;
            cube.myHeight = 4;
            cube.myMipCount = 3;
            cube.myIsCube = true;
            cube.myLegacy = *FORMATS[0].myLegacy;
            WriteDds(aManifest.Add("cube_legacy_rgba8.dds"), cube, PatternSurfaces(FORMATS[0], cube));

            const FormatCase& bc7Srgb = FORMATS[std::size(FORMATS) - 1];
            cube.myWidth = 8;
            cube.myHeight = 8;
            cube.myMipCount = 4;
            cube.myDxgiFormat = bc7Srgb.myDxgiFormat;
            WriteDds(aManifest.Add("cube_dx10_bc7_srgb.dds"), cube, PatternSurfaces(bc7Srgb, cube));
        }

        // Four BGRA pixels A, B, C, D.
        const std::vector<std::uint8_t> STORED_ROWS = {
            1, 2, 3, 4, 5, 6, 7, 8,     // first stored row: A, B
            9, 10, 11, 12, 13, 14, 15, 16, // second stored row: C, D
        };

        void WriteImageFixtures(Manifest& aManifest)
        {
            WriteTarga(aManifest.Add("targa_2x2_32.tga"), 2, 2, 32, STORED_ROWS);
            WriteTarga(aManifest.Add("targa_2x2_24.tga"), 2, 2, 24, {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15});
            // Declares 2x2 but holds one row.
            WriteTarga(aManifest.Add("targa_truncated.tga"), 2, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8});

            // 3x2 RGBA, top row red, green, blue; bottom row white, black, grey (opaque).
            const std::vector<std::uint8_t> rgba = {
                255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255,
                255, 255, 255, 255, 0, 0, 0, 255, 128, 128, 128, 255,
            };
            WritePng(aManifest.Add("image_3x2.png"), 3, 2, rgba, false);
            WritePng(aManifest.Add("image_3x2_srgb.png"), 3, 2, rgba, true);
            WriteBmp(aManifest.Add("image_3x2.bmp"), 3, 2, rgba);
            WriteGif(aManifest.Add("image_3x2.gif"), 3, 2, rgba);

            // 40x10 of one colour: wider than a small size limit, so a decoder must scale it.
            std::vector<std::uint8_t> wide;
            for (int i = 0; i < 40 * 10; ++i)
            {
                wide.insert(wide.end(), {10, 200, 30, 255});
            }
            WritePng(aManifest.Add("image_40x10.png"), 40, 10, wide, false);

            // 16x16 in four 8x8 quadrants (red, green / blue, white): each block is one colour, so
            // even a lossy file decodes to the colours within a step or two.
            std::vector<std::uint8_t> quadrants;
            for (int y = 0; y < 16; ++y)
            {
                for (int x = 0; x < 16; ++x)
                {
                    static const std::uint8_t COLOURS[4][4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
                    const std::uint8_t* colour = COLOURS[(y / 8) * 2 + x / 8];
                    quadrants.insert(quadrants.end(), colour, colour + 4);
                }
            }
            WriteJpeg(aManifest.Add("quadrants_16x16.jpg"), 16, 16, quadrants, JpegKind::Baseline);
            WriteJpeg(aManifest.Add("quadrants_16x16_progressive.jpg"), 16, 16, quadrants, JpegKind::Progressive);
            WriteJpeg(aManifest.Add("quadrants_16x16_gray.jpg"), 16, 16, quadrants, JpegKind::Grayscale);
            WriteJpeg(aManifest.Add("quadrants_16x16_cmyk.jpg"), 16, 16, quadrants, JpegKind::AdobeCmyk);
            WriteJpeg(aManifest.Add("quadrants_16x16_arithmetic.jpg"), 16, 16, quadrants, JpegKind::Arithmetic);
        }
    }

    void WriteTextureFixtures(const std::filesystem::path& aFolder)
    {
        Manifest manifest(aFolder);
        WriteDdsFixtures(manifest);
        WriteImageFixtures(manifest);
        manifest.Write();
    }
}
