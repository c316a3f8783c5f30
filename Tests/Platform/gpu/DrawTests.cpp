#include "GpuTestSupport.h"

#include <array>

using namespace Platform::Gpu;
using GpuTestSupport::ReadBack;
using GpuTestSupport::ReadCookedShader;

namespace
{
    struct Vertex
    {
        float myPosition[3];
        float myColor[4];
    };

    constexpr uint32_t SIZE = 8;

    // Draws with the cooked test shaders into an 8x8 target cleared to black.
    class DrawTest : public GpuTestSupport::GpuTest
    {
    protected:
        void SetUp() override
        {
            GpuTest::SetUp();
            myVertexCode = ReadCookedShader("ColorVS");
            ASSERT_FALSE(myVertexCode.empty()) << "the cooked test shaders are missing";
            ASSERT_TRUE(SUCCEEDED(myDevice->CreateVertexShader(myVertexCode.data(), myVertexCode.size(), &myVertexShader)));
            const std::string pixelCode = ReadCookedShader("ColorPS");
            ASSERT_TRUE(SUCCEEDED(myDevice->CreatePixelShader(pixelCode.data(), pixelCode.size(), &myPixelShader)));
            const InputElementDesc elements[] = {
                {"POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0},
                {"COLOR", 0, Format::R32G32B32A32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0},
                {"TEXCOORD", 1, Format::R32G32_FLOAT, 1, 0, InputClassification::PerInstanceData, 1},
            };
            ASSERT_TRUE(SUCCEEDED(myDevice->CreateInputLayout(elements, 3, myVertexCode.data(), myVertexCode.size(), &myLayout)));

            myTarget = MakeTarget(SIZE, SIZE);
            myTargetView = MakeTargetView(myTarget);
            const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            myContext->ClearRenderTargetView(myTargetView, black);

            BufferDesc offsetDesc;
            offsetDesc.myByteWidth = 16;
            offsetDesc.myUsage = Usage::Dynamic;
            offsetDesc.myBindFlags = BIND_CONSTANT_BUFFER;
            offsetDesc.myCpuAccessFlags = CPU_ACCESS_WRITE;
            ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(offsetDesc, nullptr, &myOffsetBuffer)));
            SetOffset(0.0f, 0.0f);
            SetInstanceOffsets({0.0f, 0.0f});

            myContext->IASetInputLayout(myLayout);
            myContext->IASetPrimitiveTopology(PrimitiveTopology::TriangleList);
            myContext->VSSetShader(myVertexShader);
            myContext->PSSetShader(myPixelShader);
            myContext->VSSetConstantBuffers(2, 1, &myOffsetBuffer);
            myContext->OMSetRenderTargets(1, &myTargetView, nullptr);
            const Viewport viewport{0.0f, 0.0f, static_cast<float>(SIZE), static_cast<float>(SIZE), 0.0f, 1.0f};
            myContext->RSSetViewports(1, &viewport);
        }

        void SetVertices(const std::vector<Vertex>& someVertices)
        {
            BufferDesc desc;
            desc.myByteWidth = static_cast<uint32_t>(someVertices.size() * sizeof(Vertex));
            desc.myBindFlags = BIND_VERTEX_BUFFER;
            const SubresourceData data{someVertices.data(), 0, 0};
            ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, &data, &myVertices)));
            const uint32_t stride = sizeof(Vertex);
            const uint32_t offset = 0;
            myContext->IASetVertexBuffers(0, 1, &myVertices, &stride, &offset);
        }

        void SetInstanceOffsets(const std::vector<float>& someOffsets)
        {
            BufferDesc desc;
            desc.myByteWidth = static_cast<uint32_t>(someOffsets.size() * sizeof(float));
            desc.myBindFlags = BIND_VERTEX_BUFFER;
            const SubresourceData data{someOffsets.data(), 0, 0};
            ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, &data, &myInstances)));
            const uint32_t stride = 8;
            const uint32_t offset = 0;
            myContext->IASetVertexBuffers(1, 1, &myInstances, &stride, &offset);
        }

        void SetOffset(float anX, float aY)
        {
            MappedSubresource mapped;
            ASSERT_TRUE(SUCCEEDED(myContext->Map(myOffsetBuffer, 0, MapType::WriteDiscard, 0, &mapped)));
            const float offset[4] = {anX, aY, 0.0f, 0.0f};
            std::memcpy(mapped.myData, offset, sizeof(offset));
            myContext->Unmap(myOffsetBuffer, 0);
        }

        // Red channel of the pixel at column x, row y (row 0 at the top).
        uint8_t RedAt(const std::vector<uint8_t>& somePixels, uint32_t anX, uint32_t aY) const
        {
            return somePixels[(aY * SIZE + anX) * 4];
        }

        // A quad of two clockwise triangles over the clip-space box, in red.
        static std::vector<Vertex> Quad(float aLeft, float aTop, float aRight, float aBottom, float aDepth = 0.5f)
        {
            const Vertex topLeft{{aLeft, aTop, aDepth}, {1, 0, 0, 1}};
            const Vertex topRight{{aRight, aTop, aDepth}, {1, 0, 0, 1}};
            const Vertex bottomLeft{{aLeft, aBottom, aDepth}, {1, 0, 0, 1}};
            const Vertex bottomRight{{aRight, aBottom, aDepth}, {1, 0, 0, 1}};
            return {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight};
        }

        std::string myVertexCode;
        Ref<VertexShader> myVertexShader;
        Ref<PixelShader> myPixelShader;
        Ref<InputLayout> myLayout;
        Ref<Texture2D> myTarget;
        Ref<RenderTargetView> myTargetView;
        Ref<Buffer> myOffsetBuffer;
        Ref<Buffer> myVertices;
        Ref<Buffer> myInstances;
    };
}

TEST_F(DrawTest, UpperHalfOfClipSpaceIsTheTopRowsOfTheTarget)
{
    SetVertices(Quad(-1.0f, 1.0f, 1.0f, 0.0f));
    myContext->Draw(6, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    for (uint32_t y = 0; y < SIZE; ++y)
    {
        EXPECT_EQ(RedAt(pixels, 3, y), y < SIZE / 2 ? 255 : 0) << "row " << y;
    }
    EXPECT_EQ(myContext->GetCounters().myDrawCalls, 1u);
}

TEST_F(DrawTest, DefaultRasterizerCullsCounterClockwiseTriangles)
{
    std::vector<Vertex> vertices = Quad(-1.0f, 1.0f, 1.0f, -1.0f);
    std::swap(vertices[1], vertices[2]); // first triangle turned counter-clockwise on screen
    SetVertices(vertices);
    myContext->Draw(6, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(RedAt(pixels, 0, 0), 0) << "the counter-clockwise top-left triangle was drawn";
    EXPECT_EQ(RedAt(pixels, 7, 7), 255) << "the clockwise bottom-right triangle was culled";

    RasterizerDesc noCulling;
    noCulling.myCullMode = CullMode::None;
    Ref<RasterizerState> state;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateRasterizerState(noCulling, &state)));
    myContext->RSSetState(state);
    myContext->Draw(6, 0);
    EXPECT_EQ(RedAt(ReadBack(*myDevice, myTarget), 0, 0), 255);
}

TEST_F(DrawTest, InstancesTakeTheirOwnOffsetAndConstantsFollowTheMap)
{
    // A quad over the left quarter, drawn twice: in place and moved by half the target.
    SetVertices(Quad(-1.0f, 1.0f, -0.5f, -1.0f));
    SetInstanceOffsets({0.0f, 0.0f, 1.0f, 0.0f});
    myContext->ResetCounters();
    myContext->DrawInstanced(6, 2, 0, 0);

    std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(RedAt(pixels, 0, 4), 255);
    EXPECT_EQ(RedAt(pixels, 2, 4), 0);
    EXPECT_EQ(RedAt(pixels, 4, 4), 255);
    EXPECT_EQ(RedAt(pixels, 6, 4), 0);
    EXPECT_EQ(myContext->GetCounters().myDrawCalls, 1u);
    EXPECT_EQ(myContext->GetCounters().myInstancesDrawn, 2u);

    SetOffset(0.5f, 0.0f);
    myContext->Draw(6, 0);
    pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(RedAt(pixels, 2, 4), 255);
}

TEST_F(DrawTest, WriteDiscardInstancesReachEveryLaterDrawAndCopy)
{
    // A quad over column 0; instance i moves it by 2 i columns (0.5 in clip space).
    SetVertices(Quad(-1.0f, 1.0f, -0.75f, -1.0f));
    constexpr uint32_t INSTANCES = 4;
    BufferDesc desc;
    desc.myByteWidth = INSTANCES * 8;
    desc.myUsage = Usage::Dynamic;
    desc.myBindFlags = BIND_VERTEX_BUFFER;
    desc.myCpuAccessFlags = CPU_ACCESS_WRITE;
    Ref<Buffer> instances;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, nullptr, &instances)));
    const uint32_t stride = 8;
    const uint32_t offset = 0;
    myContext->IASetVertexBuffers(1, 1, &instances, &stride, &offset);

    MappedSubresource mapped;
    ASSERT_TRUE(SUCCEEDED(myContext->Map(instances, 0, MapType::WriteDiscard, 0, &mapped)));
    const float offsets[INSTANCES * 2] = {0.0f, 0.0f, 0.5f, 0.0f, 1.0f, 0.0f, 1.5f, 0.0f};
    std::memcpy(mapped.myData, offsets, sizeof(offsets));
    myContext->Unmap(instances, 0);

    // The first draw reads instance 0 only; the next reads instances 2 and 3 without a new map.
    myContext->DrawInstanced(6, 1, 0, 0);
    myContext->DrawInstanced(6, 2, 0, 2);
    std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    const std::array<uint8_t, SIZE> expected{255, 0, 0, 0, 255, 0, 255, 0};
    for (uint32_t x = 0; x < SIZE; ++x)
    {
        EXPECT_EQ(RedAt(pixels, x, 4), expected[x]) << "column " << x;
    }

    // A second discard that writes only instance 1 (to column 3); the draw of that one instance
    // and a copy of the whole buffer see what the map held when it was unmapped.
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    myContext->ClearRenderTargetView(myTargetView, black);
    ASSERT_TRUE(SUCCEEDED(myContext->Map(instances, 0, MapType::WriteDiscard, 0, &mapped)));
    const float moved[2] = {0.75f, 0.0f};
    std::memcpy(static_cast<std::byte*>(mapped.myData) + 8, moved, sizeof(moved));
    std::array<std::byte, INSTANCES * 8> held{};
    std::memcpy(held.data(), mapped.myData, held.size());
    myContext->Unmap(instances, 0);
    myContext->DrawInstanced(6, 1, 0, 1);
    pixels = ReadBack(*myDevice, myTarget);
    for (uint32_t x = 0; x < SIZE; ++x)
    {
        EXPECT_EQ(RedAt(pixels, x, 4), x == 3 ? 255 : 0) << "column " << x;
    }

    desc.myUsage = Usage::Staging;
    desc.myBindFlags = 0;
    desc.myCpuAccessFlags = CPU_ACCESS_READ;
    Ref<Buffer> staging;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, nullptr, &staging)));
    myContext->CopyResource(staging, instances);
    ASSERT_TRUE(SUCCEEDED(myContext->Map(staging, 0, MapType::Read, 0, &mapped)));
    EXPECT_EQ(std::memcmp(mapped.myData, held.data(), held.size()), 0);
    float readMoved[2] = {};
    std::memcpy(readMoved, static_cast<const std::byte*>(mapped.myData) + 8, sizeof(readMoved));
    EXPECT_EQ(readMoved[0], 0.75f);
    myContext->Unmap(staging, 0);
}

TEST_F(DrawTest, IndexedDrawReadsIndicesFromTheStartIndex)
{
    const std::vector<Vertex> quad = Quad(-1.0f, 1.0f, 1.0f, -1.0f);
    SetVertices({quad[0], quad[1], quad[2], quad[5]});
    // The first three indices would cover the top-left; drawing starts at the second triangle.
    const std::array<uint16_t, 6> indices{0, 1, 2, 2, 1, 3};
    BufferDesc desc;
    desc.myByteWidth = sizeof(indices);
    desc.myBindFlags = BIND_INDEX_BUFFER;
    const SubresourceData data{indices.data(), 0, 0};
    Ref<Buffer> indexBuffer;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(desc, &data, &indexBuffer)));
    myContext->IASetIndexBuffer(indexBuffer, Format::R16_UINT, 0);
    myContext->DrawIndexed(3, 3, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(RedAt(pixels, 0, 0), 0);
    EXPECT_EQ(RedAt(pixels, 7, 7), 255);
}

TEST_F(DrawTest, DepthTestKeepsTheNearerQuad)
{
    Texture2DDesc depthDesc;
    depthDesc.myWidth = SIZE;
    depthDesc.myHeight = SIZE;
    depthDesc.myFormat = Format::R32_TYPELESS;
    depthDesc.myBindFlags = BIND_DEPTH_STENCIL | BIND_SHADER_RESOURCE;
    Ref<Texture2D> depthTexture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(depthDesc, nullptr, &depthTexture)));
    DepthStencilViewDesc viewDesc;
    viewDesc.myFormat = Format::D32_FLOAT;
    Ref<DepthStencilView> depthView;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateDepthStencilView(depthTexture, &viewDesc, &depthView)));
    myContext->ClearDepthStencilView(depthView, CLEAR_DEPTH, 1.0f, 0);
    myContext->OMSetRenderTargets(1, &myTargetView, depthView);

    // Near quad in red first, then a farther one in green over the same pixels.
    std::vector<Vertex> vertices = Quad(-1.0f, 1.0f, 1.0f, -1.0f, 0.2f);
    std::vector<Vertex> far = Quad(-1.0f, 1.0f, 1.0f, -1.0f, 0.7f);
    for (Vertex& vertex : far)
    {
        vertex.myColor[0] = 0.0f;
        vertex.myColor[1] = 1.0f;
    }
    vertices.insert(vertices.end(), far.begin(), far.end());
    SetVertices(vertices);
    myContext->Draw(12, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 0);
    float depth = 0.0f;
    std::memcpy(&depth, ReadBack(*myDevice, depthTexture, 0, Format::D32_FLOAT).data(), 4);
    EXPECT_NEAR(depth, 0.2f, 1e-6f);
}

TEST_F(DrawTest, TextureSlotSamplesWithThePairedSamplerSlot)
{
    const std::string code = ReadCookedShader("TexturedPS");
    Ref<PixelShader> textured;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreatePixelShader(code.data(), code.size(), &textured)));
    EXPECT_EQ(textured->GetReflection().myTextures.size(), 1u);
    EXPECT_EQ(textured->GetReflection().myTextures[0].myTextureSlot, 3u);
    EXPECT_EQ(textured->GetReflection().myTextures[0].mySamplerSlot, 1);

    // 2x2 texture: left column white, right column black.
    const std::array<uint8_t, 16> texels{255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255};
    Texture2DDesc desc;
    desc.myWidth = 2;
    desc.myHeight = 2;
    desc.myFormat = Format::R8G8B8A8_UNORM;
    desc.myUsage = Usage::Immutable;
    desc.myBindFlags = BIND_SHADER_RESOURCE;
    const SubresourceData data{texels.data(), 8, 0};
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, &data, &texture)));
    Ref<ShaderResourceView> view;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateShaderResourceView(texture, nullptr, &view)));

    SamplerDesc point;
    point.myFilter = Filter::MinMagMipPoint;
    SamplerDesc linear;
    Ref<SamplerState> pointSampler;
    Ref<SamplerState> linearSampler;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateSamplerState(point, &pointSampler)));
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateSamplerState(linear, &linearSampler)));
    const Ref<SamplerState> samplers[2] = {linearSampler, pointSampler};

    BufferDesc tintDesc;
    tintDesc.myByteWidth = 16;
    tintDesc.myBindFlags = BIND_CONSTANT_BUFFER;
    const float tint[4] = {1.0f, 0.5f, 1.0f, 1.0f};
    const SubresourceData tintData{tint, 0, 0};
    Ref<Buffer> tintBuffer;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateBuffer(tintDesc, &tintData, &tintBuffer)));

    myContext->PSSetShader(textured);
    myContext->PSSetShaderResources(3, 1, &view);
    myContext->PSSetSamplers(0, 2, samplers);
    myContext->PSSetConstantBuffers(5, 1, &tintBuffer);
    SetVertices(Quad(-1.0f, 1.0f, 1.0f, -1.0f));
    myContext->Draw(6, 0);

    // Point sampling keeps the texel edge sharp at the middle column.
    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(pixels[(4 * SIZE + 3) * 4 + 0], 255);
    EXPECT_NEAR(pixels[(4 * SIZE + 3) * 4 + 1], 128, 1);
    EXPECT_EQ(pixels[(4 * SIZE + 4) * 4 + 0], 0);
}

TEST_F(DrawTest, CubeViewSamplesTheFaceOfTheDirection)
{
    std::array<std::array<uint8_t, 4>, 6> faces{};
    SubresourceData data[6];
    for (uint32_t face = 0; face < 6; ++face)
    {
        faces[face] = {static_cast<uint8_t>(face == 0 ? 255 : 0), static_cast<uint8_t>(face == 0 ? 0 : 255), 0, 255};
        data[face] = {faces[face].data(), 4, 0};
    }
    Texture2DDesc desc;
    desc.myWidth = 1;
    desc.myHeight = 1;
    desc.myArraySize = 6;
    desc.myFormat = Format::R8G8B8A8_UNORM;
    desc.myBindFlags = BIND_SHADER_RESOURCE;
    desc.myMiscFlags = RESOURCE_MISC_TEXTURECUBE;
    Ref<Texture2D> texture;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, data, &texture)));
    Ref<ShaderResourceView> view;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreateShaderResourceView(texture, nullptr, &view)));
    const std::string code = ReadCookedShader("CubeFacePS");
    Ref<PixelShader> cubeShader;
    ASSERT_TRUE(SUCCEEDED(myDevice->CreatePixelShader(code.data(), code.size(), &cubeShader)));

    myContext->PSSetShader(cubeShader);
    myContext->PSSetShaderResources(0, 1, &view);
    SetVertices(Quad(-1.0f, 1.0f, 1.0f, -1.0f));
    myContext->Draw(6, 0);

    const std::vector<uint8_t> pixels = ReadBack(*myDevice, myTarget);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 0);
}

TEST_F(DrawTest, ShadersAndLayoutsRefuseWhatDoesNotFit)
{
    const std::string pixelCode = ReadCookedShader("ColorPS");
    Ref<VertexShader> vertexShader;
    EXPECT_EQ(myDevice->CreateVertexShader(pixelCode.data(), pixelCode.size(), &vertexShader), Result::InvalidArgument);
    EXPECT_EQ(myDevice->CreateVertexShader(nullptr, 0, &vertexShader), Result::InvalidArgument);
    const std::string garbage = "not a shader";
    EXPECT_EQ(myDevice->CreateVertexShader(garbage.data(), garbage.size(), &vertexShader), Result::InvalidArgument);

    // A layout that leaves the instance offset unfed, and one of the wrong kind of number.
    const InputElementDesc partial[] = {
        {"POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0},
        {"COLOR", 0, Format::R32G32B32A32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0},
    };
    Ref<InputLayout> layout;
    EXPECT_EQ(myDevice->CreateInputLayout(partial, 2, myVertexCode.data(), myVertexCode.size(), &layout), Result::InvalidArgument);
    const InputElementDesc wrongKind[] = {
        {"POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0},
        {"COLOR", 0, Format::R32G32B32A32_UINT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0},
        {"TEXCOORD", 1, Format::R32G32_FLOAT, 1, 0, InputClassification::PerInstanceData, 1},
    };
    EXPECT_EQ(myDevice->CreateInputLayout(wrongKind, 3, myVertexCode.data(), myVertexCode.size(), &layout), Result::InvalidArgument);
    // Offsets appended per slot: the colour follows the 12-byte position.
    EXPECT_EQ(myLayout->GetAttributes()[1].myOffset, 12u);
}

TEST_F(DrawTest, ClearStateUnbindsEverything)
{
    myContext->ClearState();
    EXPECT_EQ(myContext->VSGetShader(), nullptr);
    EXPECT_EQ(myContext->OMGetRenderTarget(0), nullptr);
    EXPECT_EQ(myContext->VSGetConstantBuffer(2), nullptr);
    EXPECT_EQ(myContext->RSGetViewports(0, nullptr), 0u);
    EXPECT_EQ(myContext->IAGetPrimitiveTopology(), PrimitiveTopology::Undefined);
    // Drawing without shaders is counted but draws nothing.
    myContext->ResetCounters();
    myContext->Draw(3, 0);
    EXPECT_EQ(myContext->GetCounters().myDrawCalls, 1u);
}
