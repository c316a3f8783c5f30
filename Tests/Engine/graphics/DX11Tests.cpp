#include "GraphicsFixture.h"

#include "AssertionCatcher.h"
#include "gpu/Factory.h"
#include "gpu/SwapChain.h"

#include <thread>

using GraphicsFixture::GraphicsTest;
using namespace Platform::Gpu;

namespace
{
    std::string ChosenDescription(std::vector<AdapterDesc> someAdapters)
    {
        const Factory factory(std::move(someAdapters));
        const Ref<Adapter> adapter = Vra::DX11::ChooseAdapter(&factory);
        if (!adapter)
        {
            return "<none>";
        }
        AdapterDesc desc;
        adapter->GetDesc(&desc);
        return desc.myDescription;
    }

    constexpr uint64_t MIB = 1024 * 1024;
}

TEST(AdapterChoice, NamedAdapterWithMostMemoryWinsElseTheFirst)
{
    struct Case
    {
        const char* myName;
        std::vector<AdapterDesc> myAdapters;
        const char* myChosen;
    };
    const Case cases[] = {
        {"integrated first, NVIDIA second", {{"Intel UHD", 0, 128 * MIB}, {"NVIDIA GeForce", 0, 4096 * MIB}}, "NVIDIA GeForce"},
        {"neither named", {{"Intel UHD", 0, 128 * MIB}, {"Software", 0, 8192 * MIB}}, "Intel UHD"},
        {"the larger named one", {{"ATI Radeon", 0, 2048 * MIB}, {"NVIDIA GeForce", 0, 1024 * MIB}}, "ATI Radeon"},
        {"a named one without memory is never better", {{"Basic", 0, 0}, {"NVIDIA Old", 0, 0}}, "Basic"},
        {"the name is case-sensitive", {{"Basic", 0, 0}, {"nvidia lowercase", 0, 4096 * MIB}}, "Basic"},
        {"one adapter", {{"llvmpipe", 0, 0}}, "llvmpipe"},
        {"no adapters", {}, "<none>"},
    };
    for (const Case& testCase : cases)
    {
        EXPECT_EQ(ChosenDescription(testCase.myAdapters), testCase.myChosen) << testCase.myName;
    }
    EXPECT_EQ(Vra::DX11::ChooseAdapter(nullptr), nullptr);
}

TEST(SrgbConversion, HalfGreyBecomesAboutAFifth)
{
    const Vra::Color linear = Vra::SrgbToLinear({0.5f, 0.5f, 0.5f, 0.5f});
    EXPECT_NEAR(linear.r, 0.214f, 0.001f);
    EXPECT_NEAR(linear.b, 0.214f, 0.001f);
    EXPECT_FLOAT_EQ(linear.a, 0.5f);
    EXPECT_FLOAT_EQ(Vra::SrgbToLinear({0.02f, 1.0f, 0.0f, 1.0f}).r, 0.02f / 12.92f);
    EXPECT_FLOAT_EQ(Vra::SrgbToLinear({0.02f, 1.0f, 0.0f, 1.0f}).g, 1.0f);
}

TEST_F(GraphicsTest, InitPublishesTargetsOfTheClientSize)
{
    ASSERT_NE(Vra::DX11::BackBuffer, nullptr);
    ASSERT_NE(Vra::DX11::Depth, nullptr);
    EXPECT_EQ(Vra::DX11::GetBackBufferSize(), (Vra::Vector2<std::uint32_t>{64, 48}));
    EXPECT_EQ(Vra::DX11::Depth->GetSize(), (Vra::Vector2<std::uint32_t>{64, 48}));
    EXPECT_EQ(Vra::DX11::BackBuffer->GetRenderTargetView()->GetDesc().myFormat, Format::B8G8R8A8_UNORM_SRGB);
    EXPECT_EQ(Vra::DX11::Context->OMGetDepthStencilView(), Vra::DX11::Depth->GetDepthStencilView());
    EXPECT_TRUE(Vra::DX11::IsOnMainThread());
    bool onOtherThread = true;
    std::thread([&] { onOtherThread = Vra::DX11::IsOnMainThread(); }).join();
    EXPECT_FALSE(onOtherThread);
}

TEST_F(GraphicsTest, BeginFrameClearsToTheLinearisedColourStoredThroughSrgb)
{
    myDevice->BeginFrame({0.5f, 0.5f, 0.5f, 0.5f});
    const std::vector<std::uint8_t> bytes = BackBufferBytes();
    ASSERT_EQ(bytes.size(), 64u * 48u * 4u);
    for (const std::size_t pixel : {std::size_t{0}, std::size_t{64 * 48 - 1}})
    {
        EXPECT_NEAR(bytes[pixel * 4 + 0], 128, 1);
        EXPECT_NEAR(bytes[pixel * 4 + 1], 128, 1);
        EXPECT_NEAR(bytes[pixel * 4 + 2], 128, 1);
        EXPECT_NEAR(bytes[pixel * 4 + 3], 128, 1);
    }
    float depth = 0.0f;
    Ref<Texture2D> depthTexture = Vra::DX11::Depth->GetDepthStencilView()->GetTexture2D();
    std::memcpy(&depth, TestSupport::ReadBack(*Vra::DX11::Device, depthTexture, 0, Format::D32_FLOAT).data(), 4);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    EXPECT_EQ(Vra::DX11::Context->OMGetRenderTarget(0), Vra::DX11::BackBuffer->GetRenderTargetView());
    EXPECT_EQ(Vra::DX11::Context->OMGetDepthStencilView(), nullptr) << "the frame starts without depth";
    myDevice->EndFrame(false);
    EXPECT_EQ(Vra::DX11::SwapChain->GetPresentCount(), 1u);
}

TEST_F(GraphicsTest, ResizeFollowsTheWindow)
{
    Platform::SetWindowPos(myWindow.GetWindowHandle(), nullptr, 0, 0, 100, 70, Platform::SWP_NOMOVE);
    ASSERT_TRUE(myDevice->Resize());
    EXPECT_EQ(Vra::DX11::GetBackBufferSize(), (Vra::Vector2<std::uint32_t>{100, 70}));
    EXPECT_EQ(Vra::DX11::Depth->GetSize(), (Vra::Vector2<std::uint32_t>{100, 70}));
    EXPECT_EQ(Vra::DX11::Context->OMGetRenderTarget(0), Vra::DX11::BackBuffer->GetRenderTargetView());
    myDevice->BeginFrame({1.0f, 0.0f, 0.0f, 1.0f});
    EXPECT_EQ(BackBufferBytes().size(), 100u * 70u * 4u);
}

TEST_F(GraphicsTest, MissingShaderIsNotCachedAndLoadsOnceItExists)
{
    EXPECT_EQ(Vra::DX11::GetPixelShader("Shaders/PostprocessCopyPS"), nullptr);
    EXPECT_EQ(Vra::DX11::GetVertexShader("Shaders/PostprocessVS"), nullptr);
    InstallShader("Shaders/PostprocessCopyPS");
    InstallShader("Shaders/PostprocessVS");

    const Ref<PixelShader> pixelShader = Vra::DX11::GetPixelShader("Shaders/PostprocessCopyPS");
    ASSERT_NE(pixelShader, nullptr);
    EXPECT_EQ(Vra::DX11::GetPixelShader("Shaders/PostprocessCopyPS"), pixelShader) << "the second request is served from the cache";
    const Vra::DX11::VertexShaderEntry* vertexShader = Vra::DX11::GetVertexShader("Shaders/PostprocessVS");
    ASSERT_NE(vertexShader, nullptr);
    EXPECT_FALSE(vertexShader->myBytecode.empty());
    EXPECT_EQ(Vra::DX11::GetVertexShader("Shaders/PostprocessVS"), vertexShader);

    // A file of the other stage is no shader of this one; an empty file none at all.
    EXPECT_EQ(Vra::DX11::GetVertexShader("Shaders/PostprocessCopyPS"), nullptr);
    myFolder.Write("cooked/shaders/empty_PS.cso");
    EXPECT_EQ(Vra::DX11::GetPixelShader("shaders/empty_PS"), nullptr);
}

TEST_F(GraphicsTest, EveryEngineShaderCompilesAndLinksWithItsPartner)
{
    // The pairs the drawers and passes bind together.
    const std::pair<const char*, const char*> pairs[] = {
        {"shaders/instanced_sprite_shader_VS", "shaders/model_shader_vertex_color_textured_PS"},
        {"shaders/model_shader_VS", "shaders/model_shader_PS"},
        {"shaders/animated_model_shader_VS", "shaders/model_shader_PS"},
        {"Shaders/PbrModelShaderVS", "Shaders/PbrModelShaderPS"},
        {"Shaders/AnimatedPbrModelShaderVS", "Shaders/LambertModelShaderPS"},
        {"shaders/custom_shape_VS", "shaders/custom_shape_PS"},
        {"shaders/lineshader_VS", "shaders/lineshader_PS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessCopyPS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessTonemapPS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessGaussianV_PS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessGaussianH_PS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessPixelate_PS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessFilmGrainPS"},
        {"Shaders/PostprocessVS", "Shaders/PostprocessVignettePS"},
    };
    DeviceContext& context = *Vra::DX11::Context;
    for (const auto& [vertexName, pixelName] : pairs)
    {
        InstallShader(vertexName);
        InstallShader(pixelName);
        const Vra::DX11::VertexShaderEntry* vertexShader = Vra::DX11::GetVertexShader(vertexName);
        const Ref<PixelShader> pixelShader = Vra::DX11::GetPixelShader(pixelName);
        ASSERT_NE(vertexShader, nullptr) << vertexName;
        ASSERT_NE(pixelShader, nullptr) << pixelName;
        // A draw without vertices still links the pair; a failed link prints and draws nothing.
        context.VSSetShader(vertexShader->myShader);
        context.PSSetShader(pixelShader);
        context.IASetPrimitiveTopology(PrimitiveTopology::TriangleList);
        testing::internal::CaptureStderr();
        context.Draw(3, 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << vertexName << " with " << pixelName;
    }
}

TEST_F(GraphicsTest, OnlyOneDeviceHolderAtATime)
{
    EXPECT_EQ(TestSupport::FailedAssertion([] { Vra::DX11 second; }), "IsCreated == false");
}

TEST(DX11WithoutWindow, InitFailsOnAMissingWindow)
{
    Vra::WindowHandler noWindow;
    Vra::DX11 device;
    EXPECT_FALSE(device.Init(noWindow));
    EXPECT_EQ(Vra::DX11::BackBuffer, nullptr);
}
