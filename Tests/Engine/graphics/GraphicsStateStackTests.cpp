#include "GraphicsFixture.h"

#include "AssertionCatcher.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureManager.h"
#include "gpu/DeviceContext.h"

#include <cstring>

using GraphicsFixture::GraphicsTest;
using namespace Platform::Gpu;

namespace
{
    class StateStackTest : public GraphicsTest
    {
    protected:
        void SetUp() override
        {
            GraphicsTest::SetUp();
            Vra::GraphicsStateStack::Services services;
            services.myTotalTime = [] { return 12.5f; };
            services.myDeltaTime = [] { return 0.016f; };
            myStack = std::make_unique<Vra::GraphicsStateStack>(services);
            ASSERT_TRUE(myStack->Init());
            Context().ResetCounters();
        }

        void TearDown() override
        {
            myStack.reset();
            GraphicsTest::TearDown();
        }

        DeviceContext& Context() { return *Vra::DX11::Context; }

        // The floats of the constant buffer bound at a slot of the vertex stage.
        std::vector<float> BufferFloats(std::uint32_t aSlot)
        {
            const std::vector<std::uint8_t> bytes = TestSupport::ReadBack(*Vra::DX11::Device, Context().VSGetConstantBuffer(aSlot));
            std::vector<float> floats(bytes.size() / 4);
            std::memcpy(floats.data(), bytes.data(), floats.size() * 4);
            return floats;
        }

        std::unique_ptr<Vra::GraphicsStateStack> myStack;
    };
}

TEST_F(StateStackTest, InitBindsTheFrameDefaultsOnBothStages)
{
    const Ref<BlendState> blend = Context().OMGetBlendState();
    ASSERT_NE(blend, nullptr);
    EXPECT_EQ(blend->GetDesc().myRenderTarget[0].myDestBlend, Blend::InvSrcAlpha);
    EXPECT_EQ(blend->GetDesc().myRenderTarget[0].myBlendOpAlpha, BlendOp::Max);
    ASSERT_NE(Context().OMGetDepthStencilState(), nullptr);
    EXPECT_EQ(Context().OMGetDepthStencilState()->GetDesc().myDepthFunc, ComparisonFunc::Less);
    ASSERT_NE(Context().RSGetState(), nullptr);
    EXPECT_EQ(Context().RSGetState()->GetDesc().myCullMode, CullMode::None);
    ASSERT_NE(Context().PSGetSampler(0), nullptr);
    EXPECT_EQ(Context().PSGetSampler(0)->GetDesc().myFilter, Filter::Anisotropic);
    EXPECT_EQ(Context().PSGetSampler(0)->GetDesc().myAddressU, TextureAddressMode::Wrap);
    for (std::uint32_t slot = 0; slot < 4; ++slot)
    {
        EXPECT_NE(Context().VSGetConstantBuffer(slot), nullptr);
        EXPECT_EQ(Context().VSGetConstantBuffer(slot), Context().PSGetConstantBuffer(slot));
    }
    EXPECT_EQ(Context().VSGetConstantBuffer(1)->GetDesc().myByteWidth, 272u);
    EXPECT_EQ(Context().VSGetConstantBuffer(2)->GetDesc().myByteWidth, 496u);
    EXPECT_EQ(myStack->GetDepth(), 1u);
}

TEST_F(StateStackTest, SecondApplyWithoutChangesSendsNothing)
{
    myStack->ApplyState();
    const Counters before = Context().GetCounters();
    myStack->ApplyState();
    const Counters& after = Context().GetCounters();
    EXPECT_EQ(after.myBlendStateSets, before.myBlendStateSets);
    EXPECT_EQ(after.myDepthStencilStateSets, before.myDepthStencilStateSets);
    EXPECT_EQ(after.myRasterizerStateSets, before.myRasterizerStateSets);
    EXPECT_EQ(after.mySamplerSets, before.mySamplerSets);
    EXPECT_EQ(after.myMaps, before.myMaps);
    EXPECT_EQ(after.myShaderResourceSets, before.myShaderResourceSets);
    EXPECT_EQ(after.myConstantBufferSets, before.myConstantBufferSets);
    EXPECT_EQ(before.myBlendStateSets, 0u) << "the frame reset applied everything already";
}

TEST_F(StateStackTest, PopRestoresWhatThePushChanged)
{
    myStack->Push();
    myStack->SetBlendState(Vra::BlendState::Additive);
    myStack->ApplyState();
    EXPECT_EQ(Context().OMGetBlendState()->GetDesc().myRenderTarget[0].myDestBlend, Blend::One);
    myStack->Pop();
    myStack->ApplyState();
    EXPECT_EQ(Context().OMGetBlendState()->GetDesc().myRenderTarget[0].myDestBlend, Blend::InvSrcAlpha);
    EXPECT_EQ(Context().GetCounters().myBlendStateSets, 2u);
    EXPECT_EQ(Context().GetCounters().myDepthStencilStateSets, 0u);
}

TEST_F(StateStackTest, EveryCameraSetUploadsAgain)
{
    Vra::Camera camera;
    camera.SetOrthographicProjection(1600.0f, 900.0f, 2000.0f);
    camera.myTransform(4, 3) = -1000.0f;
    myStack->SetCamera(camera);
    myStack->ApplyState();
    EXPECT_EQ(Context().GetCounters().myMaps, 1u);
    myStack->SetCamera(camera);
    myStack->ApplyState();
    EXPECT_EQ(Context().GetCounters().myMaps, 2u);

    const std::vector<float> floats = BufferFloats(1);
    EXPECT_FLOAT_EQ(floats[14], 1000.0f) << "the view matrix moves the world against the camera";
    EXPECT_FLOAT_EQ(floats[16 + 14], -1000.0f) << "then the camera transform itself";
    EXPECT_FLOAT_EQ(floats[32 + 0], 2.0f / 1600.0f);
    EXPECT_FLOAT_EQ(floats[48 + 0], 800.0f) << "the inverse projection undoes the scale";
    EXPECT_FLOAT_EQ(floats[64], 1.0f);
    EXPECT_FLOAT_EQ(floats[65], 10000.0f);
}

TEST_F(StateStackTest, ViewOfATurnedCameraIsItsRigidInverse)
{
    Vra::Camera camera;
    camera.myTransform = Vra::Matrix4x4::CreateRotationAroundZ(1.5707964f) * Vra::Matrix4x4::CreateTranslation({10.0f, 20.0f, 30.0f});
    myStack->SetCamera(camera);
    myStack->ApplyState();
    const std::vector<float> floats = BufferFloats(1);
    Vra::Matrix4x4 view;
    std::memcpy(view.GetData(), floats.data(), 64);
    const Vra::Matrix4x4 product = camera.myTransform * view;
    for (int row = 1; row <= 4; ++row)
    {
        for (int column = 1; column <= 4; ++column)
        {
            EXPECT_NEAR(product(row, column), row == column ? 1.0f : 0.0f, 1e-4f) << row << ", " << column;
        }
    }
}

TEST_F(StateStackTest, LightsAreUploadedLinearAtTheirOffsets)
{
    Vra::RenderState& state = myStack->GetRenderState();
    state.myLightVersion = 7;
    state.myLightCount = 1;
    state.myPointLights[0].myPosition = {1.0f, 2.0f, 3.0f};
    state.myPointLights[0].myColor = {0.5f, 1.0f, 0.0f, 0.25f};
    state.myPointLights[0].myRange = 55.0f;
    state.myPointLights[0].myIntensity = 3.0f;
    state.myLightScalar = 0.75f;
    myStack->ApplyState();
    const std::vector<float> floats = BufferFloats(2);
    EXPECT_FLOAT_EQ(floats[0], 1.0f);
    EXPECT_FLOAT_EQ(floats[2], 3.0f);
    EXPECT_NEAR(floats[4], 0.214f, 0.001f);
    EXPECT_FLOAT_EQ(floats[7], 0.25f);
    EXPECT_FLOAT_EQ(floats[8], 55.0f);
    EXPECT_FLOAT_EQ(floats[9], 3.0f);
    std::int32_t count = 0;
    std::memcpy(&count, &floats[96], 4);
    EXPECT_EQ(count, 1);
    EXPECT_FLOAT_EQ(floats[97], 0.75f);
    EXPECT_FLOAT_EQ(floats[100], 1.0f) << "second light colour, white by default";
    EXPECT_FLOAT_EQ(floats[104], 0.0f) << "first light colour, black by default";
    EXPECT_FLOAT_EQ(floats[108], 1.0f) << "light matrix, identity by default";
    EXPECT_FLOAT_EQ(floats[12], 0.0f) << "slots beyond the count stay zero";
}

TEST_F(StateStackTest, BeginFrameWritesSizeAndTimes)
{
    myStack->BeginFrame();
    const std::vector<float> floats = BufferFloats(0);
    EXPECT_FLOAT_EQ(floats[0], 64.0f);
    EXPECT_FLOAT_EQ(floats[1], 48.0f);
    EXPECT_FLOAT_EQ(floats[2], 12.5f);
    EXPECT_FLOAT_EQ(floats[3], 0.016f);
    // The screen-space camera maps the back buffer's corner to (1, 1).
    const std::vector<float> camera = BufferFloats(1);
    EXPECT_FLOAT_EQ(camera[32 + 0], 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(camera[32 + 12], -1.0f);
}

TEST_F(StateStackTest, SamplerSlotsStayWithinTheTable)
{
    struct Case
    {
        Vra::SamplerFilter myFilter;
        Vra::SamplerAddressMode myMode;
    };
    const Case cases[] = {{Vra::SamplerFilter::Anisotropic, Vra::SamplerAddressMode::Border}, {Vra::SamplerFilter::Point, Vra::SamplerAddressMode::Clamp},
        {Vra::SamplerFilter::Linear, Vra::SamplerAddressMode::Mirror}};
    for (const Case& testCase : cases)
    {
        myStack->SetSamplerState(testCase.myFilter, testCase.myMode);
        myStack->ApplyState();
        const std::uint32_t chosen = static_cast<std::uint32_t>(testCase.myFilter) * 4 + static_cast<std::uint32_t>(testCase.myMode);
        EXPECT_EQ(Context().PSGetSampler(0), myStack->GetSampler(chosen));
        for (std::uint32_t slot = 1; slot < 4; ++slot)
        {
            const Ref<SamplerState> sampler = Context().PSGetSampler(slot);
            ASSERT_NE(sampler, nullptr);
            EXPECT_EQ(sampler->GetDesc().myFilter, Context().PSGetSampler(0)->GetDesc().myFilter);
        }
    }
    EXPECT_EQ(myStack->GetSampler(0)->GetDesc().myMaxAnisotropy, 16u);
    EXPECT_EQ(myStack->GetSampler(0)->GetDesc().myComparisonFunc, ComparisonFunc::Always);
}

TEST_F(StateStackTest, UnbalancedPushesAndPopsFailTheirAssertions)
{
    EXPECT_EQ(TestSupport::FailedAssertion([&] { myStack->Pop(); }), "myRenderStateStack.size() > 1");
    EXPECT_EQ(myStack->GetDepth(), 1u);
    myStack->Push();
    EXPECT_EQ(TestSupport::FailedAssertion([&] { myStack->BeginFrame(); }), "myRenderStateStack.size() == 1");
    myStack->Pop();
    EXPECT_EQ(TestSupport::FailedAssertion([&] { myStack->BeginFrame(); }), "");
}

TEST_F(GraphicsTest, EnvironmentCubeMapFollowsTheRecordsChoice)
{
    Vra::TextureManager::Services textureServices;
    textureServices.myDevice = Vra::DX11::Device.get();
    textureServices.myContext = Vra::DX11::Context.get();
    textureServices.myIsOnMainThread = [] { return Vra::DX11::IsOnMainThread(); };
    textureServices.myRenderHeight = [] { return 48u; };
    Vra::TextureManager textures(std::move(textureServices));
    textures.CreateDefaultTextures();
    Vra::GraphicsStateStack::Services services;
    services.myTextureManager = &textures;
    Vra::GraphicsStateStack stack(services);
    ASSERT_TRUE(stack.Init());

    // Neither cube map file exists here: both are placeholders, cached under their paths.
    Vra::TextureResource* white = textures.GetTexture("Textures/whiteCubeMap.dds", Vra::TextureSrgbMode::AsFile);
    EXPECT_TRUE(white->myIsPlaceholder);
    EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(0), white->mySRV);

    Vra::TextureResource own;
    Vra::RenderTarget target = Vra::RenderTarget::Create({2, 2}, Format::R8G8B8A8_UNORM);
    own.SetView(target.GetShaderResourceView());
    stack.GetRenderState().myEnvironmentCubeMap = static_cast<std::uint32_t>(Vra::EnvironmentCubeMap::Own);
    stack.GetRenderState().myCubeMap = &own;
    stack.GetRenderState().myLightVersion = 1;
    stack.ApplyState();
    EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(0), target.GetShaderResourceView());

    // The record's own choice without a texture binds none.
    stack.GetRenderState().myCubeMap = nullptr;
    stack.GetRenderState().myLightVersion = 2;
    stack.ApplyState();
    EXPECT_EQ(Vra::DX11::Context->PSGetShaderResource(0), nullptr);
}
