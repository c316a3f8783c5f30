#include "loaders/TargaLoader.h"

#include "AddressSpaceCeiling.h"
#include "AssertionCatcher.h"
#include "BadInputFiles.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"
#include "TextureFixtureFiles.h"

#include <gtest/gtest.h>

namespace
{
    std::optional<Vra::TargaImage> Load(const std::string& aName)
    {
        return Vra::LoadTarga(TextureFixtureFiles::Path(aName).wstring().c_str());
    }

    TEST(LoadTarga, ReversesRowsAndSwapsRedAndBlue)
    {
        // Stored rows (A, B) then (C, D) in BGRA, A = 1 2 3 4 ... D = 13 14 15 16.
        const auto image = Load("targa_2x2_32.tga");
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->myWidth, 2);
        EXPECT_EQ(image->myHeight, 2);
        EXPECT_EQ(image->myBitsPerPixel, 32);
        const std::vector<std::uint8_t> expected = {
            11, 10, 9, 12, 15, 14, 13, 16, // C, D
            3, 2, 1, 4, 7, 6, 5, 8,         // A, B
        };
        EXPECT_EQ(image->myPixels, expected);
    }

    TEST(LoadTarga, RefusesWhatItCannotRead)
    {
        for (const char* file : {"targa_2x2_24.tga", "targa_truncated.tga", "image_3x2.png"})
        {
            EXPECT_FALSE(Load(file).has_value()) << file;
        }
    }

    TEST(LoadTarga, HeaderCutShortGivesNoImage)
    {
        const TestSupport::TemporaryFolder folder;
        const std::filesystem::path path =
            folder.Write("targa_header_only.tga", TestSupport::ReadFileBytes(TextureFixtureFiles::Path("targa_2x2_32.tga")).substr(0, 10));
        EXPECT_FALSE(Vra::LoadTarga(path.wstring().c_str()).has_value());
    }

    TEST(LoadTarga, DeclaredSizeIsCheckedAgainstTheFileBeforeAnyPixelIsAllocated)
    {
        // 18 bytes that declare 65535 by 65535 pixels: 17 GB if taken at their word.
        const std::wstring huge = BadInputFiles::Path("tga", "declares_65535_squared.tga").wstring();
        const TestSupport::AddressSpaceCeiling ceiling(256 * TestSupport::AddressSpaceCeiling::MEGABYTE);
        EXPECT_FALSE(Vra::LoadTarga(huge.c_str()).has_value());
    }

    TEST(LoadTarga, SidesBeyondTheLargestTextureAreRefused)
    {
        // 16385 by 1 pixels, all present: more than a texture can hold on a side.
        std::string file(18, '\0');
        file[2] = 2;
        file[12] = static_cast<char>(16385 & 0xFF);
        file[13] = static_cast<char>(16385 >> 8);
        file[14] = 1;
        file[16] = 32;
        file += std::string(16385 * 4, '\x7f');
        const TestSupport::TemporaryFolder folder;
        EXPECT_FALSE(Vra::LoadTarga(folder.Write("wide.tga", file).wstring().c_str()).has_value());
        file[12] = static_cast<char>(16384 & 0xFF);
        file[13] = static_cast<char>(16384 >> 8);
        file.resize(file.size() - 4);
        const auto widest = Vra::LoadTarga(folder.Write("widest.tga", file).wstring().c_str());
        ASSERT_TRUE(widest.has_value());
        EXPECT_EQ(widest->myWidth, 16384);
    }

    TEST(LoadTarga, MissingFileFailsTheOpenAssertion)
    {
        const std::wstring path = TextureFixtureFiles::Path("no_such.tga").wstring();
        EXPECT_EQ(TestSupport::FailedAssertion([&] { (void)Vra::LoadTarga(path.c_str()); }), "fp != NULL");
    }
}
