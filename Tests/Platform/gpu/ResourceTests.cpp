#include "GpuTestSupport.h"

#include <array>
#include <cmath>
#include <thread>

using namespace Platform::Gpu;
using GpuTestSupport::GpuTest;
using GpuTestSupport::ReadBack;

namespace
{
    Texture2DDesc ColorTexture(uint32_t aWidth, uint32_t aHeight, Format aFormat = Format::R8G8B8A8_UNORM)
    {
        Texture2DDesc desc;
        desc.myWidth = aWidth;
        desc.myHeight = aHeight;
        desc.myFormat = aFormat;
        desc.myBindFlags = BIND_SHADER_RESOURCE;
        return desc;
    }
}

TEST_F(GpuTest, ClearedTargetReadsBackTheClearColour)
{
    const Ref<Texture2D> texture = MakeTarget(7, 5);
    const float color[4] = {1.0f, 0.5f, 0.0f, 0.25f};
    myContext->ClearRenderTargetView(MakeTargetView(texture), color);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, texture);
    ASSERT_EQ(pixels.size(), 7u * 5u * 4u);
    for (std::size_t pixel = 0; pixel < 35; ++pixel)
    {
        EXPECT_EQ(pixels[pixel * 4 + 0], 255);
        EXPECT_NEAR(pixels[pixel * 4 + 1], 128, 1);
        EXPECT_EQ(pixels[pixel * 4 + 2], 0);
        EXPECT_NEAR(pixels[pixel * 4 + 3], 64, 1);
    }
}

TEST_F(GpuTest, SrgbViewOfPlainBufferEncodesTheClearColour)
{
    // The swap chain's way: a plain blue-green-red buffer written through an sRGB view.
    const Ref<Texture2D> texture = MakeTarget(4, 4, Format::B8G8R8A8_UNORM);
    RenderTargetViewDesc viewDesc;
    viewDesc.myFormat = Format::B8G8R8A8_UNORM_SRGB;
    Ref<RenderTargetView> view;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateRenderTargetView(texture, &viewDesc, &view)));
    const float linearHalfGrey = 0.2140411f;
    const float color[4] = {linearHalfGrey, 1.0f, 0.0f, 0.5f};
    myContext->ClearRenderTargetView(view, color);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, texture);
    EXPECT_EQ(pixels[0], 0);              // blue
    EXPECT_EQ(pixels[1], 255);            // green
    EXPECT_NEAR(pixels[2], 128, 1);       // red, encoded
    EXPECT_NEAR(pixels[3], 128, 1);       // alpha is never encoded
}

TEST_F(GpuTest, DepthBufferClearsAndReadsAsFloat)
{
    Texture2DDesc desc;
    desc.myWidth = 3;
    desc.myHeight = 2;
    desc.myFormat = Format::R32_TYPELESS;
    desc.myBindFlags = BIND_DEPTH_STENCIL | BIND_SHADER_RESOURCE;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, nullptr, &texture)));
    DepthStencilViewDesc depthDesc;
    depthDesc.myFormat = Format::D32_FLOAT;
    Ref<DepthStencilView> depthView;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateDepthStencilView(texture, &depthDesc, &depthView)));
    ShaderResourceViewDesc shaderDesc;
    shaderDesc.myFormat = Format::R32_FLOAT;
    Ref<ShaderResourceView> shaderView;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateShaderResourceView(texture, &shaderDesc, &shaderView)));
    EXPECT_EQ(shaderView->GetTexture2D()->GetDesc().myWidth, 3u);

    myContext->ClearDepthStencilView(depthView, CLEAR_DEPTH | CLEAR_STENCIL, 0.25f, 0);

    const std::vector<uint8_t> bytes = ReadBack(*myDevice, texture, 0, Format::D32_FLOAT);
    ASSERT_EQ(bytes.size(), 6u * 4u);
    for (std::size_t pixel = 0; pixel < 6; ++pixel)
    {
        float depth = 0.0f;
        std::memcpy(&depth, bytes.data() + pixel * 4, 4);
        EXPECT_FLOAT_EQ(depth, 0.25f);
    }
}

TEST_F(GpuTest, InitialDataWithPitchLandsInEverySubresource)
{
    // Two mips of a 4x2 texture; mip 0 is given with padding after every row.
    std::array<uint8_t, 2 * 24> mip0{};
    for (uint32_t row = 0; row < 2; ++row)
    {
        for (uint32_t byte = 0; byte < 16; ++byte)
        {
            mip0[row * 24 + byte] = static_cast<uint8_t>(row * 16 + byte);
        }
    }
    const std::array<uint8_t, 8> mip1{200, 201, 202, 203, 204, 205, 206, 207};
    const SubresourceData data[2] = {{mip0.data(), 24, 0}, {mip1.data(), 8, 0}};
    Texture2DDesc desc = ColorTexture(4, 2);
    desc.myMipLevels = 2;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, data, &texture)));

    const std::vector<uint8_t> level0 = ReadBack(*myDevice, texture, 0);
    ASSERT_EQ(level0.size(), 32u);
    for (uint32_t byte = 0; byte < 32; ++byte)
    {
        EXPECT_EQ(level0[byte], byte);
    }
    EXPECT_EQ(ReadBack(*myDevice, texture, 1), std::vector<uint8_t>(mip1.begin(), mip1.end()));
}

TEST_F(GpuTest, FullMipChainIsCountedAndGeneratedFromTheTopLevel)
{
    Texture2DDesc desc = ColorTexture(4, 4);
    desc.myMipLevels = 0;
    desc.myBindFlags = BIND_SHADER_RESOURCE | BIND_RENDER_TARGET;
    desc.myMiscFlags = RESOURCE_MISC_GENERATE_MIPS;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, nullptr, &texture)));
    EXPECT_EQ(texture->GetDesc().myMipLevels, 3u);

    // Columns alternate black and white: every lower mip is mid grey.
    std::array<uint8_t, 64> pixels{};
    for (uint32_t pixel = 0; pixel < 16; ++pixel)
    {
        const uint8_t value = pixel % 2 == 0 ? 0 : 255;
        pixels[pixel * 4 + 0] = pixels[pixel * 4 + 1] = pixels[pixel * 4 + 2] = value;
        pixels[pixel * 4 + 3] = 255;
    }
    myContext->UpdateSubresource(texture, 0, nullptr, pixels.data(), 16, 0);
    Ref<ShaderResourceView> view;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateShaderResourceView(texture, nullptr, &view)));
    myContext->GenerateMips(view);

    const std::vector<uint8_t> smallest = ReadBack(*myDevice, texture, 2);
    ASSERT_EQ(smallest.size(), 4u);
    EXPECT_NEAR(smallest[0], 128, 2);
    EXPECT_EQ(smallest[3], 255);
}

TEST_F(GpuTest, DynamicTextureTakesMappedPixels)
{
    Texture2DDesc desc = ColorTexture(2, 2);
    desc.myUsage = Usage::Dynamic;
    desc.myCpuAccessFlags = CPU_ACCESS_WRITE;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, nullptr, &texture)));

    MappedSubresource mapped;
    ASSERT_TRUE(SUCCEEDED(myContext->Map(texture, 0, MapType::WriteDiscard, 0, &mapped)));
    ASSERT_EQ(mapped.myRowPitch, 8u);
    for (uint8_t byte = 0; byte < 16; ++byte)
    {
        static_cast<uint8_t*>(mapped.myData)[byte] = static_cast<uint8_t>(byte * 10);
    }
    // A second map of a mapped subresource is refused.
    MappedSubresource again;
    EXPECT_TRUE(FAILED(myContext->Map(texture, 0, MapType::WriteDiscard, 0, &again)));
    myContext->Unmap(texture, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, texture);
    ASSERT_EQ(pixels.size(), 16u);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[15], 150);
    EXPECT_EQ(myContext->GetCounters().myMaps, 2u); // the read-back's map included
}

TEST_F(GpuTest, CubeTextureKeepsSixFaces)
{
    std::array<std::array<uint8_t, 4>, 6> faces{};
    SubresourceData data[6];
    for (uint32_t face = 0; face < 6; ++face)
    {
        faces[face] = {static_cast<uint8_t>(face * 40), 0, 0, 255};
        data[face] = {faces[face].data(), 4, 0};
    }
    Texture2DDesc desc = ColorTexture(1, 1);
    desc.myArraySize = 6;
    desc.myMiscFlags = RESOURCE_MISC_TEXTURECUBE;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, data, &texture)));
    Ref<ShaderResourceView> view;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateShaderResourceView(texture, nullptr, &view)));
    EXPECT_EQ(view->GetDesc().myViewDimension, SrvDimension::TextureCube);
    for (uint32_t face = 0; face < 6; ++face)
    {
        EXPECT_EQ(ReadBack(*myDevice, texture, face)[0], face * 40) << "face " << face;
    }
}

TEST_F(GpuTest, CompressedTextureTakesBlocks)
{
    // One BC1 block: both end colours pure red, every index 0.
    const std::array<uint8_t, 8> block{0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
    const SubresourceData data{block.data(), 8, 0};
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(ColorTexture(4, 4, Format::BC1_UNORM), &data, &texture)));
    EXPECT_EQ(GetRowPitch(Format::BC1_UNORM, 4), 8u);
    EXPECT_EQ(GetRowCount(Format::BC1_UNORM, 4), 1u);
    EXPECT_EQ(ReadBack(*myDevice, texture), std::vector<uint8_t>(block.begin(), block.end()));
}

TEST_F(GpuTest, InvalidDescriptionsAreRefused)
{
    struct Case
    {
        const char* myName;
        Texture2DDesc myDesc;
    };
    std::vector<Case> cases;
    cases.push_back({"zero width", ColorTexture(0, 4)});
    cases.push_back({"unknown format", ColorTexture(4, 4, Format::UNKNOWN)});
    Texture2DDesc tooManyMips = ColorTexture(4, 4);
    tooManyMips.myMipLevels = 4;
    cases.push_back({"more mips than the chain", tooManyMips});
    Texture2DDesc badCube = ColorTexture(4, 4);
    badCube.myArraySize = 5;
    badCube.myMiscFlags = RESOURCE_MISC_TEXTURECUBE;
    cases.push_back({"cube of five faces", badCube});
    Texture2DDesc immutable = ColorTexture(4, 4);
    immutable.myUsage = Usage::Immutable;
    cases.push_back({"immutable without data", immutable});
    Texture2DDesc dynamicWithoutWrite = ColorTexture(4, 4);
    dynamicWithoutWrite.myUsage = Usage::Dynamic;
    cases.push_back({"dynamic without CPU write", dynamicWithoutWrite});
    Texture2DDesc multisampled = ColorTexture(4, 4);
    multisampled.mySampleDesc.myCount = 4;
    cases.push_back({"multisampled", multisampled});
    for (const Case& testCase : cases)
    {
        Ref<Texture2D> texture;
        EXPECT_TRUE(FAILED(myDevice->CreateTexture2D(testCase.myDesc, nullptr, &texture))) << testCase.myName;
        EXPECT_EQ(texture, nullptr) << testCase.myName;
    }

    BufferDesc constants;
    constants.myByteWidth = 20;
    constants.myBindFlags = BIND_CONSTANT_BUFFER;
    Ref<Buffer> buffer;
    EXPECT_EQ(myDevice->CreateBuffer(constants, nullptr, &buffer), Result::InvalidArgument);

    // A view of a texture not bound for that use.
    Ref<Texture2D> plain;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(ColorTexture(4, 4), nullptr, &plain)));
    Ref<RenderTargetView> targetView;
    EXPECT_EQ(myDevice->CreateRenderTargetView(plain, nullptr, &targetView), Result::InvalidArgument);
}

TEST_F(GpuTest, TextureMadeOnAnotherThreadIsUsableHere)
{
    std::array<uint8_t, 16> pixels{};
    for (uint8_t byte = 0; byte < 16; ++byte)
    {
        pixels[byte] = static_cast<uint8_t>(255 - byte);
    }
    Ref<Texture2D> texture;
    Ref<ShaderResourceView> view;
    Result textureResult = Result::Fail;
    Result viewResult = Result::Fail;
    std::thread loader([&] {
        EXPECT_FALSE(myDevice->IsOnDeviceThread());
        const SubresourceData data{pixels.data(), 8, 0};
        textureResult = myDevice->CreateTexture2D(ColorTexture(2, 2), &data, &texture);
        viewResult = myDevice->CreateShaderResourceView(texture, nullptr, &view);
    });
    loader.join();
    ASSERT_TRUE(SUCCEEDED(textureResult));
    ASSERT_TRUE(SUCCEEDED(viewResult));
    EXPECT_EQ(ReadBack(*myDevice, texture), std::vector<uint8_t>(pixels.begin(), pixels.end()));

    // Released on another thread: deleted at the next flush, not there.
    std::thread releaser([&] {
        view.reset();
        texture.reset();
    });
    releaser.join();
    myContext->Flush();
}

TEST_F(GpuTest, StagingBufferReadsWhatWasCopiedIn)
{
    const std::array<uint32_t, 4> values{1, 2, 3, 0xDEADBEEF};
    BufferDesc desc;
    desc.myByteWidth = sizeof(values);
    desc.myBindFlags = BIND_VERTEX_BUFFER;
    const SubresourceData data{values.data(), 0, 0};
    Ref<Buffer> source;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, &data, &source)));
    desc.myBindFlags = 0;
    desc.myUsage = Usage::Staging;
    desc.myCpuAccessFlags = CPU_ACCESS_READ;
    Ref<Buffer> staging;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, nullptr, &staging)));
    myContext->CopyResource(staging, source);
    MappedSubresource mapped;
    ASSERT_TRUE(SUCCEEDED(myContext->Map(staging, 0, MapType::Read, 0, &mapped)));
    EXPECT_EQ(std::memcmp(mapped.myData, values.data(), sizeof(values)), 0);
    myContext->Unmap(staging, 0);
    // Write-discard is for dynamic buffers only.
    EXPECT_TRUE(FAILED(myContext->Map(source, 0, MapType::WriteDiscard, 0, &mapped)));
}
