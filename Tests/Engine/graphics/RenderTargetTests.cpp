#include "GraphicsFixture.h"

#include "AssertionCatcher.h"
#include "graphics/DepthBuffer.h"
#include "graphics/RenderTarget.h"
#include "graphics/TextureResource.h"

using GraphicsFixture::GraphicsTest;
using namespace Platform::Gpu;

TEST_F(GraphicsTest, RenderTargetOfAGivenSizeSetsItsViewport)
{
    const Vra::RenderTarget target = Vra::RenderTarget::Create({1920, 1080}, Format::R8G8B8A8_UNORM);
    EXPECT_EQ(target.GetSize(), (Vra::Vector2<std::uint32_t>{1920, 1080}));
    ASSERT_NE(target.GetShaderResourceView(), nullptr);
    const Vra::DepthBuffer depth = Vra::DepthBuffer::Create({1920, 1080});

    target.SetAsActiveTarget(&depth);
    Viewport viewport;
    ASSERT_EQ(Vra::DX11::Context->RSGetViewports(1, &viewport), 1u);
    EXPECT_FLOAT_EQ(viewport.myWidth, 1920.0f);
    EXPECT_FLOAT_EQ(viewport.myHeight, 1080.0f);
    EXPECT_FLOAT_EQ(viewport.myMaxDepth, 1.0f);
    EXPECT_EQ(Vra::DX11::Context->OMGetRenderTarget(0), target.GetRenderTargetView());
    EXPECT_EQ(Vra::DX11::Context->OMGetDepthStencilView(), depth.GetDepthStencilView());

    target.SetAsActiveTarget(nullptr);
    EXPECT_EQ(Vra::DX11::Context->OMGetDepthStencilView(), nullptr);
}

TEST_F(GraphicsTest, CopyOfARenderTargetOutlivesTheOriginal)
{
    auto original = std::make_unique<Vra::RenderTarget>(Vra::RenderTarget::Create({4, 4}, Format::R8G8B8A8_UNORM));
    const Vra::RenderTarget copy = *original;
    original.reset();
    // The clear colour is written unchanged, with no sRGB conversion.
    copy.Clear({0.5f, 0.25f, 1.0f, 1.0f});
    const std::vector<std::uint8_t> bytes = TestSupport::ReadBack(*Vra::DX11::Device, copy.GetRenderTargetView()->GetTexture2D());
    EXPECT_NEAR(bytes[0], 128, 1);
    EXPECT_NEAR(bytes[1], 64, 1);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(copy.GetSize(), (Vra::Vector2<std::uint32_t>{4, 4}));
}

TEST_F(GraphicsTest, DepthBufferIsFloatAndClears)
{
    const Vra::DepthBuffer depth = Vra::DepthBuffer::Create({8, 2});
    EXPECT_EQ(depth.GetDepthStencilView()->GetDesc().myFormat, Format::D32_FLOAT);
    EXPECT_EQ(depth.GetShaderResourceView()->GetDesc().myFormat, Format::R32_FLOAT);
    EXPECT_EQ(depth.GetDepthStencilView()->GetTexture2D()->GetDesc().myFormat, Format::R32_TYPELESS);
    depth.Clear(0.75f, 0);
    float value = 0.0f;
    std::memcpy(&value, TestSupport::ReadBack(*Vra::DX11::Device, depth.GetDepthStencilView()->GetTexture2D(), 0, Format::D32_FLOAT).data(), 4);
    EXPECT_FLOAT_EQ(value, 0.75f);
}

TEST_F(GraphicsTest, TextureResourceBindsItsViewAndRefusesWithoutOne)
{
    const Vra::RenderTarget target = Vra::RenderTarget::Create({2, 2}, Format::R8G8B8A8_UNORM);
    Vra::TextureResource texture;
    EXPECT_EQ(texture.GetSize(), (Vra::Vector2<std::uint32_t>{0, 0}));
    EXPECT_EQ(TestSupport::FailedAssertion([&] { texture.Bind(2); }), "mySRV.Get()");
    texture.SetView(target.GetShaderResourceView());
    texture.Bind(2);
    EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(2), target.GetShaderResourceView());
    EXPECT_EQ(texture.GetSize(), (Vra::Vector2<std::uint32_t>{2, 2}));
}
