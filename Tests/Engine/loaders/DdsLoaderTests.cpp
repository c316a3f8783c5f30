#include "BinFolder.h"
#include "loaders/DdsLoader.h"

#include "TemporaryFolder.h"
#include "TextureFixtureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace
{
    using Vra::DdsLoader;
    using Vra::ImageFormat;

    struct FormatCase
    {
        const char* myName;
        ImageFormat myFormat;
        std::size_t myUnitBytes; // per texel, or per 4x4 block
        bool myHasLegacyFile;
    };

    const FormatCase FORMATS[] = {
        {"rgba8", ImageFormat::R8G8B8A8Unorm, 4, true},
        {"rgba8_srgb", ImageFormat::R8G8B8A8UnormSrgb, 4, false},
        {"bgra8", ImageFormat::B8G8R8A8Unorm, 4, true},
        {"bgra8_srgb", ImageFormat::B8G8R8A8UnormSrgb, 4, false},
        {"bgrx8", ImageFormat::B8G8R8X8Unorm, 4, true},
        {"bgrx8_srgb", ImageFormat::B8G8R8X8UnormSrgb, 4, false},
        {"r8", ImageFormat::R8Unorm, 1, true},
        {"r8g8", ImageFormat::R8G8Unorm, 2, true},
        {"r16f", ImageFormat::R16Float, 2, true},
        {"r32f", ImageFormat::R32Float, 4, true},
        {"rgba16f", ImageFormat::R16G16B16A16Float, 8, true},
        {"rgba32f", ImageFormat::R32G32B32A32Float, 16, true},
        {"bc1", ImageFormat::BC1Unorm, 8, true},
        {"bc1_srgb", ImageFormat::BC1UnormSrgb, 8, false},
        {"bc2", ImageFormat::BC2Unorm, 16, true},
        {"bc2_srgb", ImageFormat::BC2UnormSrgb, 16, false},
        {"bc3", ImageFormat::BC3Unorm, 16, true},
        {"bc3_srgb", ImageFormat::BC3UnormSrgb, 16, false},
        {"bc4", ImageFormat::BC4Unorm, 8, true},
        {"bc4_snorm", ImageFormat::BC4Snorm, 8, true},
        {"bc5", ImageFormat::BC5Unorm, 16, true},
        {"bc5_snorm", ImageFormat::BC5Snorm, 16, true},
        {"bc6h_uf16", ImageFormat::BC6HUf16, 16, false},
        {"bc6h_sf16", ImageFormat::BC6HSf16, 16, false},
        {"bc7", ImageFormat::BC7Unorm, 16, false},
        {"bc7_srgb", ImageFormat::BC7UnormSrgb, 16, false},
    };

    struct ExpectedSurface
    {
        std::uint32_t myWidth;
        std::uint32_t myHeight;
        std::size_t myRowPitch;
        std::size_t mySize;
    };

    ExpectedSurface Expected(const FormatCase& aFormat, std::uint32_t aWidth, std::uint32_t aHeight)
    {
        if (DdsLoader::IsBlockCompressed(aFormat.myFormat))
        {
            const std::size_t pitch = std::max(1u, (aWidth + 3) / 4) * aFormat.myUnitBytes;
            return {aWidth, aHeight, pitch, pitch * std::max(1u, (aHeight + 3) / 4)};
        }
        return {aWidth, aHeight, aWidth * aFormat.myUnitBytes, aWidth * aFormat.myUnitBytes * aHeight};
    }

    // Checks every face and mip against the fixtures' byte pattern and the surface sizes.
    void ExpectImage(const Vra::ImageData& anImage, const FormatCase& aFormat, std::uint32_t aSize[2], std::uint32_t aMips, std::uint32_t aFaces)
    {
        ASSERT_EQ(anImage.myFormat, aFormat.myFormat);
        ASSERT_EQ(anImage.myWidth, aSize[0]);
        ASSERT_EQ(anImage.myHeight, aSize[1]);
        ASSERT_EQ(anImage.myMipCount, aMips);
        ASSERT_EQ(anImage.myFaceCount, aFaces);
        ASSERT_EQ(anImage.myIsCube, aFaces == 6);
        ASSERT_EQ(anImage.mySurfaces.size(), std::size_t{aMips} * aFaces);
        std::size_t total = 0;
        for (std::uint32_t face = 0; face < aFaces; ++face)
        {
            for (std::uint32_t mip = 0; mip < aMips; ++mip)
            {
                const Vra::ImageSurface& surface = anImage.GetSurface(face, mip);
                const ExpectedSurface expected = Expected(aFormat, std::max(1u, aSize[0] >> mip), std::max(1u, aSize[1] >> mip));
                EXPECT_EQ(surface.myWidth, expected.myWidth) << "face " << face << " mip " << mip;
                EXPECT_EQ(surface.myHeight, expected.myHeight) << "face " << face << " mip " << mip;
                EXPECT_EQ(surface.myRowPitch, expected.myRowPitch) << "face " << face << " mip " << mip;
                ASSERT_EQ(surface.mySize, expected.mySize) << "face " << face << " mip " << mip;
                ASSERT_LE(surface.myOffset + surface.mySize, anImage.myBytes.size());
                const std::uint8_t* bytes = anImage.GetSurfaceBytes(face, mip);
                for (std::size_t i = 0; i < surface.mySize; ++i)
                {
                    ASSERT_EQ(bytes[i], TextureFixtureFiles::PatternByte(face * aMips + mip, i))
                        << "face " << face << " mip " << mip << " byte " << i;
                }
                total += surface.mySize;
            }
        }
        EXPECT_EQ(anImage.myBytes.size(), total);
    }

    TEST(DdsLoader, EveryFormatWithEitherHeaderReadsItsFullMipChain)
    {
        std::uint32_t size[2] = {8, 4};
        for (const FormatCase& format : FORMATS)
        {
            std::vector<std::string> files = {std::string("dx10_") + format.myName + ".dds"};
            if (format.myHasLegacyFile)
            {
                files.push_back(std::string("legacy_") + format.myName + ".dds");
            }
            for (const std::string& file : files)
            {
                SCOPED_TRACE(file);
                const auto image = DdsLoader::LoadFile(TextureFixtureFiles::Path(file).string(), DdsLoader::LOAD_DEFAULT);
                ASSERT_TRUE(image.has_value());
                ExpectImage(*image, format, size, 4, 1);
            }
        }
    }

    TEST(DdsLoader, CubeMapsHoldSixFacesEachWithItsMips)
    {
        std::uint32_t small[2] = {4, 4};
        const auto legacy = DdsLoader::LoadFile(TextureFixtureFiles::Path("cube_legacy_rgba8.dds").string(), DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(legacy.has_value());
        ExpectImage(*legacy, FORMATS[0], small, 3, 6);

        std::uint32_t large[2] = {8, 8};
        const auto dx10 = DdsLoader::LoadFile(TextureFixtureFiles::Path("cube_dx10_bc7_srgb.dds").string(), DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(dx10.has_value());
        ExpectImage(*dx10, FORMATS[std::size(FORMATS) - 1], large, 4, 6);
    }

    TEST(DdsLoader, SrgbFlagsChangeOnlyFormatsWithAnSrgbForm)
    {
        struct Case
        {
            const char* myFile;
            std::uint32_t myFlags;
            ImageFormat myExpected;
        };
        const Case cases[] = {
            {"legacy_rgba8.dds", DdsLoader::FORCE_SRGB, ImageFormat::R8G8B8A8UnormSrgb},
            {"dx10_rgba8_srgb.dds", DdsLoader::IGNORE_SRGB, ImageFormat::R8G8B8A8Unorm},
            {"dx10_rgba8_srgb.dds", DdsLoader::FORCE_SRGB, ImageFormat::R8G8B8A8UnormSrgb},
            {"legacy_bgra8.dds", DdsLoader::FORCE_SRGB, ImageFormat::B8G8R8A8UnormSrgb},
            {"legacy_bgrx8.dds", DdsLoader::FORCE_SRGB, ImageFormat::B8G8R8X8UnormSrgb},
            {"dx10_bgrx8_srgb.dds", DdsLoader::IGNORE_SRGB, ImageFormat::B8G8R8X8Unorm},
            {"legacy_bc1.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC1UnormSrgb},
            {"legacy_bc2.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC2UnormSrgb},
            {"dx10_bc3_srgb.dds", DdsLoader::IGNORE_SRGB, ImageFormat::BC3Unorm},
            {"dx10_bc7.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC7UnormSrgb},
            {"dx10_bc7_srgb.dds", DdsLoader::LOAD_DEFAULT, ImageFormat::BC7UnormSrgb},
            {"legacy_bc4.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC4Unorm},
            {"legacy_bc5.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC5Unorm},
            {"dx10_bc6h_uf16.dds", DdsLoader::FORCE_SRGB, ImageFormat::BC6HUf16},
            {"legacy_r8.dds", DdsLoader::FORCE_SRGB, ImageFormat::R8Unorm},
            {"legacy_rgba16f.dds", DdsLoader::FORCE_SRGB, ImageFormat::R16G16B16A16Float},
            {"legacy_rgba8.dds", DdsLoader::IGNORE_SRGB, ImageFormat::R8G8B8A8Unorm},
        };
        for (const Case& test : cases)
        {
            const auto image = DdsLoader::LoadFile(TextureFixtureFiles::Path(test.myFile).string(), test.myFlags);
            ASSERT_TRUE(image.has_value()) << test.myFile;
            EXPECT_EQ(image->myFormat, test.myExpected) << test.myFile << " flags " << test.myFlags;
        }
    }

    TEST(DdsLoader, EveryTruncationFails)
    {
        for (const char* file : {"legacy_rgba8.dds", "dx10_bc1.dds", "cube_legacy_rgba8.dds"})
        {
            const std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read(file);
            ASSERT_FALSE(bytes.empty()) << file;
            ASSERT_TRUE(DdsLoader::Parse(bytes, DdsLoader::LOAD_DEFAULT).has_value()) << file;
            for (std::size_t length = 0; length < bytes.size(); ++length)
            {
                // A copy of exactly that length, so a read past it is a read past the allocation.
                const std::vector<std::uint8_t> truncated(bytes.begin(), bytes.begin() + length);
                EXPECT_FALSE(DdsLoader::Parse(truncated, DdsLoader::LOAD_DEFAULT).has_value()) << file << " cut at " << length;
            }
        }
    }

    TEST(DdsLoader, TrailingBytesAreIgnored)
    {
        std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read("legacy_rgba8.dds");
        bytes.resize(bytes.size() + 100, 0xEE);
        const auto image = DdsLoader::Parse(bytes, DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->mySurfaces.back().myOffset + image->mySurfaces.back().mySize, image->myBytes.size());
    }

    void PutU32(std::vector<std::uint8_t>& someBytes, std::size_t anOffset, std::uint32_t aValue)
    {
        for (int i = 0; i < 4; ++i)
        {
            someBytes[anOffset + i] = static_cast<std::uint8_t>(aValue >> (8 * i));
        }
    }

    // Byte offsets in the file: magic, then the 124-byte header, then the DX10 header.
    constexpr std::size_t HEADER_SIZE_FIELD = 4;
    constexpr std::size_t FLAGS = 8;
    constexpr std::size_t HEIGHT = 12;
    constexpr std::size_t WIDTH = 16;
    constexpr std::size_t MIP_COUNT = 28;
    constexpr std::size_t PIXEL_FORMAT_SIZE = 76;
    constexpr std::size_t PIXEL_FORMAT_FLAGS = 80;
    constexpr std::size_t FOURCC = 84;
    constexpr std::size_t CAPS2 = 112;
    constexpr std::size_t DX10_FORMAT = 128;
    constexpr std::size_t DX10_DIMENSION = 132;
    constexpr std::size_t DX10_MISC = 136;
    constexpr std::size_t DX10_ARRAY_SIZE = 140;

    TEST(DdsLoader, LyingHeadersFail)
    {
        struct Case
        {
            const char* myWhat;
            const char* myFile;
            std::size_t myOffset;
            std::uint32_t myValue;
        };
        const Case cases[] = {
            {"magic", "legacy_rgba8.dds", 0, 0x20534443},
            {"header size", "legacy_rgba8.dds", HEADER_SIZE_FIELD, 123},
            {"pixel format size", "legacy_rgba8.dds", PIXEL_FORMAT_SIZE, 31},
            {"taller than the data", "legacy_rgba8.dds", HEIGHT, 8},
            {"wider than the data", "dx10_bc1.dds", WIDTH, 16},
            {"zero width", "legacy_rgba8.dds", WIDTH, 0},
            {"zero height", "dx10_bc1.dds", HEIGHT, 0},
            {"beyond the size limit", "legacy_r8.dds", WIDTH, 16385},
            {"huge height", "legacy_r8.dds", HEIGHT, 0xFFFFFFFF},
            {"more mips than the chain", "legacy_rgba8.dds", MIP_COUNT, 5},
            {"absurd mip count", "legacy_rgba8.dds", MIP_COUNT, 0xFFFFFFFF},
            {"unknown four-character code", "legacy_bc1.dds", FOURCC, 0x31545844 + 0x100},
            {"no format flags", "legacy_rgba8.dds", PIXEL_FORMAT_FLAGS, 0},
            {"volume texture", "legacy_rgba8.dds", FLAGS, 0x1007 | 0x800000},
            {"cube map missing faces", "legacy_rgba8.dds", CAPS2, 0x200 | 0x400 | 0x800},
            {"non-square cube", "cube_legacy_rgba8.dds", HEIGHT, 2},
            {"unknown DXGI format", "dx10_rgba8.dds", DX10_FORMAT, 999},
            {"unsupported DXGI format", "dx10_rgba8.dds", DX10_FORMAT, 24},
            {"no DXGI format", "dx10_rgba8.dds", DX10_FORMAT, 0},
            {"volume dimension", "dx10_rgba8.dds", DX10_DIMENSION, 4},
            {"texture array", "dx10_rgba8.dds", DX10_ARRAY_SIZE, 2},
            {"empty array", "dx10_rgba8.dds", DX10_ARRAY_SIZE, 0},
            {"cube flag without cube data", "dx10_rgba8.dds", DX10_MISC, 0x4},
        };
        for (const Case& test : cases)
        {
            std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read(test.myFile);
            ASSERT_GT(bytes.size(), test.myOffset + 4) << test.myWhat;
            PutU32(bytes, test.myOffset, test.myValue);
            EXPECT_FALSE(DdsLoader::Parse(bytes, DdsLoader::LOAD_DEFAULT).has_value()) << test.myWhat;
        }
    }

    TEST(DdsLoader, DamagedHeadersNeverDescribeMoreThanTheFileHolds)
    {
        std::mt19937 random(20261210);
        for (const char* file : {"legacy_rgba8.dds", "dx10_bc7.dds", "cube_legacy_rgba8.dds"})
        {
            const std::vector<std::uint8_t> original = TextureFixtureFiles::Read(file);
            ASSERT_GT(original.size(), 148u) << file;
            for (int round = 0; round < 3000; ++round)
            {
                std::vector<std::uint8_t> bytes = original;
                // Damage a few header bytes, sometimes with large values, sometimes cut the file.
                for (int hit = 0; hit < 3; ++hit)
                {
                    bytes[4 + random() % 144] = static_cast<std::uint8_t>(random());
                }
                if (round % 4 == 0)
                {
                    bytes.resize(random() % bytes.size());
                }
                const auto image = DdsLoader::Parse(bytes, DdsLoader::LOAD_DEFAULT);
                if (!image)
                {
                    continue;
                }
                ASSERT_LE(image->myBytes.size(), bytes.size()) << file << " round " << round;
                for (const Vra::ImageSurface& surface : image->mySurfaces)
                {
                    ASSERT_LE(surface.myOffset + surface.mySize, image->myBytes.size()) << file << " round " << round;
                }
            }
        }
    }

    TEST(DdsLoader, MipCountZeroMeansOneLevel)
    {
        std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read("legacy_rgba8.dds");
        PutU32(bytes, MIP_COUNT, 0);
        const auto image = DdsLoader::Parse(bytes, DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->myMipCount, 1u);
        EXPECT_EQ(image->myBytes.size(), 8u * 4 * 4);
    }

    TEST(DdsLoader, MissingFileGivesNoImage)
    {
        EXPECT_FALSE(DdsLoader::LoadFile(TextureFixtureFiles::Path("no_such_file.dds").string(), DdsLoader::LOAD_DEFAULT).has_value());
        EXPECT_FALSE(DdsLoader::LoadFile(TextureFixtureFiles::Path("image_3x2.png").string(), DdsLoader::LOAD_DEFAULT).has_value());
        const TestSupport::TemporaryFolder folder;
        std::filesystem::create_directories(folder.Path() / "folder.dds");
        EXPECT_FALSE(DdsLoader::LoadFile((folder.Path() / "folder.dds").string(), DdsLoader::LOAD_DEFAULT).has_value());
    }

    TEST(DdsLoader, EveryTruncatedFileOnDiskFails)
    {
        const TestSupport::TemporaryFolder folder;
        for (const char* file : {"legacy_rgba8.dds", "dx10_bc1.dds"})
        {
            const std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read(file);
            ASSERT_FALSE(bytes.empty()) << file;
            for (std::size_t length = 0; length < bytes.size(); ++length)
            {
                const std::string path = folder.Write("cut.dds", {reinterpret_cast<const char*>(bytes.data()), length}).string();
                EXPECT_FALSE(DdsLoader::LoadFile(path, DdsLoader::LOAD_DEFAULT).has_value()) << file << " cut at " << length;
            }
        }
    }

    TEST(DdsLoader, FileOnDiskLoadsAsItsBytesParseWithoutWhatFollows)
    {
        const TestSupport::TemporaryFolder folder;
        for (const char* file : {"legacy_rgba8.dds", "dx10_bc7_srgb.dds", "cube_legacy_rgba8.dds"})
        {
            std::vector<std::uint8_t> bytes = TextureFixtureFiles::Read(file);
            bytes.resize(bytes.size() + 100, 0xEE);
            const std::string path = folder.Write(file, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}).string();
            const auto loaded = DdsLoader::LoadFile(path, DdsLoader::FORCE_SRGB);
            const auto parsed = DdsLoader::Parse(bytes, DdsLoader::FORCE_SRGB);
            ASSERT_TRUE(loaded.has_value()) << file;
            ASSERT_TRUE(parsed.has_value()) << file;
            EXPECT_EQ(loaded->myFormat, parsed->myFormat) << file;
            EXPECT_EQ(loaded->myWidth, parsed->myWidth) << file;
            EXPECT_EQ(loaded->myMipCount, parsed->myMipCount) << file;
            EXPECT_EQ(loaded->myFaceCount, parsed->myFaceCount) << file;
            ASSERT_EQ(loaded->mySurfaces.size(), parsed->mySurfaces.size()) << file;
            for (std::size_t index = 0; index < loaded->mySurfaces.size(); ++index)
            {
                EXPECT_EQ(loaded->mySurfaces[index].myOffset, parsed->mySurfaces[index].myOffset) << file << " surface " << index;
                EXPECT_EQ(loaded->mySurfaces[index].mySize, parsed->mySurfaces[index].mySize) << file << " surface " << index;
            }
            EXPECT_EQ(loaded->myBytes, parsed->myBytes) << file;
            EXPECT_EQ(loaded->myBytes.size(), loaded->mySurfaces.back().myOffset + loaded->mySurfaces.back().mySize) << file;
        }
    }
}

namespace
{
    // Drawn by the build beside the executable.
    std::string EngineTexture(const std::string& aName)
    {
        return (TestSupport::BinFolder() / "data" / "Textures" / aName).string();
    }

    TEST(EngineTextures, FlatTexturesHoldTheirColourInEveryMip)
    {
        struct Case
        {
            const char* myName;
            std::uint8_t myTexel[4];
        };
        const Case cases[] = {
            {"T_Default_c.dds", {255, 255, 255, 255}},
            {"T_Default_n.dds", {128, 128, 255, 255}},
            {"T_Default_m.dds", {255, 255, 0, 255}},
            {"T_Default_fx.dds", {0, 0, 0, 255}},
        };
        for (const Case& test : cases)
        {
            const auto image = Vra::DdsLoader::LoadFile(EngineTexture(test.myName), Vra::DdsLoader::LOAD_DEFAULT);
            ASSERT_TRUE(image.has_value()) << test.myName;
            EXPECT_EQ(image->myFormat, ImageFormat::R8G8B8A8Unorm) << test.myName;
            EXPECT_EQ(image->myMipCount, std::bit_width(image->myWidth)) << test.myName;
            for (std::size_t i = 0; i < image->myBytes.size(); ++i)
            {
                ASSERT_EQ(image->myBytes[i], test.myTexel[i % 4]) << test.myName << " byte " << i;
            }
        }
    }

    TEST(EngineTextures, CubeMapsHaveSixFacesAndFullChains)
    {
        const auto white = Vra::DdsLoader::LoadFile(EngineTexture("whiteCubeMap.dds"), Vra::DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(white.has_value());
        EXPECT_TRUE(white->myIsCube);
        EXPECT_EQ(white->myMipCount, std::bit_width(white->myWidth));
        EXPECT_TRUE(std::all_of(white->myBytes.begin(), white->myBytes.end(), [](std::uint8_t aByte) { return aByte == 255; }));

        const auto horizon = Vra::DdsLoader::LoadFile(EngineTexture("horizonCubeMap.dds"), Vra::DdsLoader::LOAD_DEFAULT);
        ASSERT_TRUE(horizon.has_value());
        EXPECT_TRUE(horizon->myIsCube);
        EXPECT_EQ(horizon->myFormat, ImageFormat::R8G8B8A8UnormSrgb);
        // The 1x1 mips of the up (+Y) and down (-Y) faces: blue sky above, dark ground below.
        const std::uint32_t last = horizon->myMipCount - 1;
        const std::uint8_t* up = horizon->GetSurfaceBytes(2, last);
        const std::uint8_t* down = horizon->GetSurfaceBytes(3, last);
        EXPECT_GT(up[2], up[0]);
        EXPECT_GT(up[2], down[2] + 60);
    }
}
