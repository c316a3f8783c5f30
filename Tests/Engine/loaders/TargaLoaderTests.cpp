#include "loaders/TargaLoader.h"

#include "AssertionCatcher.h"
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

    TEST(LoadTarga, MissingFileFailsTheOpenAssertion)
    {
        const std::wstring path = TextureFixtureFiles::Path("no_such.tga").wstring();
        EXPECT_EQ(TestSupport::FailedAssertion([&] { (void)Vra::LoadTarga(path.c_str()); }), "fp != NULL");
    }
}
