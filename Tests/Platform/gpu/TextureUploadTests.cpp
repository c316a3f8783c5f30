#include "GpuTestSupport.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <thread>

using namespace Platform::Gpu;
using GpuTestSupport::GpuTest;
using GpuTestSupport::ReadBack;

namespace
{
    // A texture's initial data laid out with a given row pitch, and the packed bytes each of its
    // mips should read back as.
    struct PitchedImage
    {
        Texture2DDesc myDesc;
        std::vector<std::vector<uint8_t>> myStored; // per mip, rows aRowPitch apart
        std::vector<std::vector<uint8_t>> myPacked; // per mip, rows back to back
        std::vector<uint32_t> myPitches;

        std::vector<SubresourceData> Data() const
        {
            std::vector<SubresourceData> data;
            for (size_t mip = 0; mip < myStored.size(); ++mip)
            {
                data.push_back({myStored[mip].data(), myPitches[mip], 0});
            }
            return data;
        }
    };

    // Mip m's rows lie (aPitch >> m) bytes apart, never less than a packed row; padding bytes are
    // 0xEE, so any padding that lands in the texture shows.
    PitchedImage MakePitchedImage(Format aFormat, uint32_t aWidth, uint32_t aHeight, uint32_t aMips, uint32_t aPitch)
    {
        PitchedImage image;
        image.myDesc.myWidth = aWidth;
        image.myDesc.myHeight = aHeight;
        image.myDesc.myMipLevels = aMips;
        image.myDesc.myFormat = aFormat;
        image.myDesc.myBindFlags = BIND_SHADER_RESOURCE;
        for (uint32_t mip = 0; mip < aMips; ++mip)
        {
            const uint32_t rowBytes = GetRowPitch(aFormat, std::max(1u, aWidth >> mip));
            const uint32_t rows = GetRowCount(aFormat, std::max(1u, aHeight >> mip));
            const uint32_t pitch = std::max(rowBytes, aPitch >> mip);
            std::vector<uint8_t> stored(static_cast<size_t>(pitch) * rows, 0xEE);
            std::vector<uint8_t> packed;
            for (uint32_t row = 0; row < rows; ++row)
            {
                for (uint32_t byte = 0; byte < rowBytes; ++byte)
                {
                    // Every fourth byte stays small, so float texels are ordinary numbers.
                    const auto value = static_cast<uint8_t>((mip * 97 + row * 31 + byte * 7) % 251 & (byte % 4 == 3 ? 0x3F : 0xFF));
                    stored[static_cast<size_t>(row) * pitch + byte] = value;
                    packed.push_back(value);
                }
            }
            image.myStored.push_back(std::move(stored));
            image.myPacked.push_back(std::move(packed));
            image.myPitches.push_back(pitch);
        }
        return image;
    }

    struct PitchCase
    {
        const char* myName;
        Format myFormat;
        uint32_t myWidth;
        uint32_t myHeight;
        uint32_t myMips;
        uint32_t myPitch;
    };

    const std::array<PitchCase, 7> PITCH_CASES{{
        {"rgba, packed rows", Format::R8G8B8A8_UNORM, 8, 4, 2, 32},
        {"rgba, rows whole texels apart", Format::R8G8B8A8_UNORM, 5, 3, 2, 36},
        {"rgba, rows apart by a part of a texel", Format::R8G8B8A8_UNORM, 4, 3, 1, 18},
        {"one byte a texel, odd pitch", Format::R8_UNORM, 5, 3, 2, 9},
        {"two bytes a texel, pitch of half a texel more", Format::R8G8_UNORM, 3, 2, 1, 7},
        {"float texels, rows whole texels apart", Format::R32G32B32A32_FLOAT, 2, 3, 1, 48},
        {"compressed blocks with padded block rows", Format::BC1_UNORM, 8, 8, 2, 24},
    }};

    void ExpectMipsRead(Device& aDevice, const Ref<Texture2D>& aTexture, const PitchedImage& anImage, const char* aName)
    {
        for (uint32_t mip = 0; mip < anImage.myDesc.myMipLevels; ++mip)
        {
            EXPECT_EQ(ReadBack(aDevice, aTexture, mip), anImage.myPacked[mip]) << aName << ", mip " << mip;
        }
    }
}

TEST_F(GpuTest, PitchedInitialDataReadsBackPackedOnTheDeviceThread)
{
    for (const PitchCase& testCase : PITCH_CASES)
    {
        const PitchedImage image = MakePitchedImage(testCase.myFormat, testCase.myWidth, testCase.myHeight, testCase.myMips, testCase.myPitch);
        Ref<Texture2D> texture;
        ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(image.myDesc, image.Data().data(), &texture))) << testCase.myName;
        ExpectMipsRead(*myDevice, texture, image, testCase.myName);
    }
}

TEST_F(GpuTest, PitchedInitialDataReadsBackPackedWhenMadeOnAnotherThread)
{
    for (const PitchCase& testCase : PITCH_CASES)
    {
        std::optional<PitchedImage> image = MakePitchedImage(testCase.myFormat, testCase.myWidth, testCase.myHeight, testCase.myMips, testCase.myPitch);
        const PitchedImage expected = *image;
        Ref<Texture2D> texture;
        Result result = Result::Fail;
        std::thread loader([&] { result = myDevice->CreateTexture2D(image->myDesc, image->Data().data(), &texture); });
        loader.join();
        // The texture is realized only when first used here, after its source memory is gone.
        image.reset();
        ASSERT_TRUE(SUCCEEDED(result)) << testCase.myName;
        ExpectMipsRead(*myDevice, texture, expected, testCase.myName);
    }
}

// Made off the device thread with the memory its data lies in: packed rows are not copied but
// read from that memory when the texture is realized, which lets it go; rows that must be packed
// first are copied at once and the memory is not kept.
TEST_F(GpuTest, TextureMadeOnAnotherThreadTakesOverPackedStorageUntilRealized)
{
    struct Case
    {
        PitchCase myImage;
        bool myIsKept;
    };
    const Case cases[] = {
        {{"rgba, packed rows", Format::R8G8B8A8_UNORM, 8, 4, 2, 32}, true},
        {{"compressed blocks, packed", Format::BC3_UNORM, 8, 8, 2, 32}, true},
        {{"rgba, rows whole texels apart", Format::R8G8B8A8_UNORM, 5, 3, 1, 36}, false},
    };
    for (const Case& testCase : cases)
    {
        const PitchCase& image = testCase.myImage;
        auto storage = std::make_shared<const PitchedImage>(MakePitchedImage(image.myFormat, image.myWidth, image.myHeight, image.myMips, image.myPitch));
        const PitchedImage expected = *storage;
        const std::weak_ptr<const PitchedImage> watch = storage;
        Ref<Texture2D> texture;
        Result result = Result::Fail;
        std::thread loader([&] { result = myDevice->CreateTexture2D(storage->myDesc, storage->Data().data(), storage, &texture); });
        loader.join();
        storage.reset();
        ASSERT_TRUE(SUCCEEDED(result)) << image.myName;
        EXPECT_EQ(!watch.expired(), testCase.myIsKept) << image.myName;
        ExpectMipsRead(*myDevice, texture, expected, image.myName);
        EXPECT_TRUE(watch.expired()) << image.myName << ": the storage outlives the upload";
    }
}

TEST_F(GpuTest, TextureHoldsItsInitialDataAfterTheSourceChanges)
{
    PitchedImage image = MakePitchedImage(Format::R8G8B8A8_UNORM, 4, 4, 1, 16);
    const std::vector<uint8_t> original = image.myPacked[0];
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(image.myDesc, image.Data().data(), &texture)));
    std::fill(image.myStored[0].begin(), image.myStored[0].end(), uint8_t{0});
    EXPECT_EQ(ReadBack(*myDevice, texture), original);
}

TEST_F(GpuTest, RegionUpdateWithPitchLeavesTheRestAndLaterUploadsUnpadded)
{
    // An 8x4 texture of zeros; a 3x2 region at (2, 1) comes from rows 20 bytes apart.
    const PitchedImage zeros = [] {
        PitchedImage image = MakePitchedImage(Format::R8G8B8A8_UNORM, 8, 4, 1, 32);
        std::fill(image.myStored[0].begin(), image.myStored[0].end(), uint8_t{0});
        return image;
    }();
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(zeros.myDesc, zeros.Data().data(), &texture)));
    const PitchedImage region = MakePitchedImage(Format::R8G8B8A8_UNORM, 3, 2, 1, 20);
    Box box;
    box.myLeft = 2;
    box.myTop = 1;
    box.myRight = 5;
    box.myBottom = 3;
    myContext->UpdateSubresource(texture, 0, &box, region.myStored[0].data(), 20, 0);

    std::vector<uint8_t> expected(8 * 4 * 4, 0);
    for (uint32_t row = 0; row < 2; ++row)
    {
        std::copy_n(region.myPacked[0].begin() + row * 12, 12, expected.begin() + (row + 1) * 32 + 2 * 4);
    }
    EXPECT_EQ(ReadBack(*myDevice, texture), expected);

    // The next region has packed rows and must not be read with the last one's row length.
    const PitchedImage packed = MakePitchedImage(Format::R8G8B8A8_UNORM, 4, 3, 1, 16);
    const Box corner{0, 0, 0, 4, 3, 1};
    myContext->UpdateSubresource(texture, 0, &corner, packed.myStored[0].data(), 16, 0);
    const std::vector<uint8_t> whole = ReadBack(*myDevice, texture);
    for (uint32_t row = 0; row < 3; ++row)
    {
        const std::vector<uint8_t> got(whole.begin() + row * 32, whole.begin() + row * 32 + 16);
        const std::vector<uint8_t> want(packed.myPacked[0].begin() + row * 16, packed.myPacked[0].begin() + (row + 1) * 16);
        EXPECT_EQ(got, want) << "row " << row;
    }
}

TEST_F(GpuTest, DynamicTextureMadeOnAnotherThreadMapsWithItsRowPitch)
{
    const PitchedImage image = MakePitchedImage(Format::R8G8B8A8_UNORM, 3, 2, 1, 16);
    Texture2DDesc desc = image.myDesc;
    desc.myUsage = Usage::Dynamic;
    desc.myCpuAccessFlags = CPU_ACCESS_WRITE;
    Ref<Texture2D> texture;
    std::thread loader([&] { EXPECT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, image.Data().data(), &texture))); });
    loader.join();
    ASSERT_TRUE(texture);
    EXPECT_EQ(ReadBack(*myDevice, texture), image.myPacked[0]);

    // Realizing the staged data must not lose the pitch a map hands out.
    MappedSubresource mapped;
    ASSERT_TRUE(SUCCEEDED(myContext->Map(texture, 0, MapType::WriteDiscard, 0, &mapped)));
    ASSERT_EQ(mapped.myRowPitch, 12u);
    ASSERT_EQ(mapped.myDepthPitch, 24u);
    std::vector<uint8_t> written(24);
    for (uint32_t byte = 0; byte < 24; ++byte)
    {
        written[byte] = static_cast<uint8_t>(250 - byte);
    }
    std::copy(written.begin(), written.end(), static_cast<uint8_t*>(mapped.myData));
    myContext->Unmap(texture, 0);
    EXPECT_EQ(ReadBack(*myDevice, texture), written);
}
