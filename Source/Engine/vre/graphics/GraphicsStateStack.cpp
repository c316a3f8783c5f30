#include "graphics/GraphicsStateStack.h"

#include "Assert.h"
#include "graphics/DX11.h"
#include "graphics/TextureManager.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Vra
{
    using namespace Platform::Gpu;

    namespace
    {
        BlendDesc MakeBlend(bool anEnable, Blend aSource, Blend aDestination, BlendOp aColorOp, Blend anAlphaSource, Blend anAlphaDestination, BlendOp anAlphaOp)
        {
            BlendDesc desc;
            desc.myAlphaToCoverageEnable = false;
            desc.myIndependentBlendEnable = false;
            RenderTargetBlendDesc& target = desc.myRenderTarget[0];
            target.myBlendEnable = anEnable;
            target.mySrcBlend = aSource;
            target.myDestBlend = aDestination;
            target.myBlendOp = aColorOp;
            target.mySrcBlendAlpha = anAlphaSource;
            target.myDestBlendAlpha = anAlphaDestination;
            target.myBlendOpAlpha = anAlphaOp;
            target.myRenderTargetWriteMask = COLOR_WRITE_ENABLE_ALL;
            return desc;
        }

        DepthStencilDesc MakeDepth(DepthWriteMask aWriteMask, ComparisonFunc aFunc)
        {
            DepthStencilDesc desc;
            desc.myDepthEnable = true;
            desc.myDepthWriteMask = aWriteMask;
            desc.myDepthFunc = aFunc;
            desc.myStencilEnable = false;
            return desc;
        }

        RasterizerDesc MakeRasterizer(FillMode aFill, CullMode aCull)
        {
            RasterizerDesc desc;
            desc.myFillMode = aFill;
            desc.myCullMode = aCull;
            desc.myFrontCounterClockwise = false;
            desc.myDepthClipEnable = true;
            return desc;
        }

        // Maps with write-discard, lets aFill write the bytes, unmaps; false when the map fails.
        template <typename Fill>
        bool Upload(const Ref<Buffer>& aBuffer, Fill&& aFill)
        {
            MappedSubresource mapped;
            if (!aBuffer || FAILED(DX11::Context->Map(aBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
            {
                return false;
            }
            auto* bytes = static_cast<std::byte*>(mapped.myData);
            std::memset(bytes, 0, aBuffer->GetDesc().myByteWidth);
            aFill(bytes);
            DX11::Context->Unmap(aBuffer, 0);
            return true;
        }

        void Put(std::byte* someBytes, std::size_t anOffset, const void* aValue, std::size_t aSize)
        {
            std::memcpy(someBytes + anOffset, aValue, aSize);
        }

        void PutColor(std::byte* someBytes, std::size_t anOffset, const Color& anSrgbColor)
        {
            const Color linear = SrgbToLinear(anSrgbColor);
            const float values[4] = {linear.r, linear.g, linear.b, linear.a};
            Put(someBytes, anOffset, values, sizeof(values));
        }

        // The inverse of a rigid motion: transposed rotation, translation rotated back and negated.
        Matrix4x4 RigidInverse(const Matrix4x4& aTransform)
        {
            Matrix4x4 view;
            for (int row = 1; row <= 3; ++row)
            {
                for (int column = 1; column <= 3; ++column)
                {
                    view(row, column) = aTransform(column, row);
                }
            }
            for (int column = 1; column <= 3; ++column)
            {
                float sum = 0.0f;
                for (int k = 1; k <= 3; ++k)
                {
                    sum += aTransform(4, k) * aTransform(column, k);
                }
                view(4, column) = -sum;
            }
            return view;
        }

        // Orthographic over the back buffer in pixels, origin at the bottom left, no transform.
        Camera MakeScreenSpaceCamera()
        {
            const Vector2<std::uint32_t> size = DX11::GetBackBufferSize();
            Camera camera;
            camera.SetOrthographicProjection(0.0f, static_cast<float>(size.x), 0.0f, static_cast<float>(size.y), -1.0f, 1.0f);
            camera.myTransform = Matrix4x4();
            return camera;
        }
    }

    GraphicsStateStack::GraphicsStateStack(Services someServices)
        : myServices(std::move(someServices))
    {
    }

    bool GraphicsStateStack::CreateStateObjects()
    {
        const BlendDesc blends[3] = {
            MakeBlend(false, Blend::Zero, Blend::Zero, BlendOp::Add, Blend::Zero, Blend::Zero, BlendOp::Add),
            MakeBlend(true, Blend::SrcAlpha, Blend::InvSrcAlpha, BlendOp::Add, Blend::One, Blend::One, BlendOp::Max),
            MakeBlend(true, Blend::SrcAlpha, Blend::One, BlendOp::Add, Blend::One, Blend::One, BlendOp::Max),
        };
        for (std::size_t index = 0; index < myBlendStates.size(); ++index)
        {
            if (FAILED(DX11::Device->CreateBlendState(blends[index], &myBlendStates[index])))
            {
                return false;
            }
        }
        const DepthStencilDesc depths[4] = {
            MakeDepth(DepthWriteMask::All, ComparisonFunc::Less),
            MakeDepth(DepthWriteMask::All, ComparisonFunc::LessEqual),
            MakeDepth(DepthWriteMask::Zero, ComparisonFunc::Less),
            MakeDepth(DepthWriteMask::Zero, ComparisonFunc::LessEqual),
        };
        for (std::size_t index = 0; index < myDepthStencilStates.size(); ++index)
        {
            if (FAILED(DX11::Device->CreateDepthStencilState(depths[index], &myDepthStencilStates[index])))
            {
                return false;
            }
        }
        // Index 0 stays empty: the device default (solid, back faces culled).
        const RasterizerDesc rasterizers[3] = {
            MakeRasterizer(FillMode::Solid, CullMode::None),
            MakeRasterizer(FillMode::Wireframe, CullMode::Back),
            MakeRasterizer(FillMode::Wireframe, CullMode::None),
        };
        for (std::size_t index = 1; index < myRasterizerStates.size(); ++index)
        {
            if (FAILED(DX11::Device->CreateRasterizerState(rasterizers[index - 1], &myRasterizerStates[index])))
            {
                return false;
            }
        }
        const Filter filters[3] = {Filter::MinMagMipPoint, Filter::MinMagMipLinear, Filter::Anisotropic};
        const TextureAddressMode modes[4] = {TextureAddressMode::Clamp, TextureAddressMode::Wrap, TextureAddressMode::Mirror, TextureAddressMode::Border};
        for (std::uint32_t filter = 0; filter < 3; ++filter)
        {
            for (std::uint32_t mode = 0; mode < 4; ++mode)
            {
                SamplerDesc desc;
                desc.myFilter = filters[filter];
                desc.myAddressU = desc.myAddressV = desc.myAddressW = modes[mode];
                desc.myMipLodBias = 0.0f;
                desc.myMaxAnisotropy = 16;
                desc.myComparisonFunc = ComparisonFunc::Always;
                desc.myMinLod = 0.0f;
                desc.myMaxLod = FLOAT32_MAX;
                // Outside its texture a sprite fades out: a visible border colour would draw a
                // thin frame along every sprite edge that linear filtering reaches past.
                std::fill(std::begin(desc.myBorderColor), std::end(desc.myBorderColor), 0.0f);
                if (FAILED(DX11::Device->CreateSamplerState(desc, &mySamplerStates[filter * 4 + mode])))
                {
                    return false;
                }
            }
        }
        return true;
    }

    bool GraphicsStateStack::CreateBuffers()
    {
        myObjectBuffer = CreateDynamicConstantBuffer(OBJECT_BUFFER_SIZE);
        myFrameBuffer = CreateDynamicConstantBuffer(FRAME_BUFFER_SIZE);
        myLightBuffer = CreateDynamicConstantBuffer(LIGHT_BUFFER_SIZE);
        myCameraBuffer = CreateDynamicConstantBuffer(CAMERA_BUFFER_SIZE);
        return myObjectBuffer && myFrameBuffer && myLightBuffer && myCameraBuffer;
    }

    bool GraphicsStateStack::Init()
    {
        if (!DX11::Device || !DX11::Context || !CreateStateObjects() || !CreateBuffers())
        {
            return false;
        }
        myRenderStateStack.assign(1, RenderState{});
        if (myServices.myTextureManager != nullptr)
        {
            myWhiteCubeMap = myServices.myTextureManager->GetTexture("Textures/whiteCubeMap.dds", TextureSrgbMode::AsFile);
            myHorizonCubeMap = myServices.myTextureManager->GetTexture("Textures/horizonCubeMap.dds", TextureSrgbMode::AsFile);
        }
        ResetFrameState();
        return true;
    }

    RenderState GraphicsStateStack::MakeFrameDefault() const
    {
        RenderState state;
        state.myBlendState = static_cast<std::uint32_t>(BlendState::AlphaBlend);
        state.myDepthStencilState = static_cast<std::uint32_t>(DepthStencilState::WriteLess);
        state.myRasterizerState = static_cast<std::uint32_t>(RasterizerState::NoFaceCulling);
        state.mySamplerFilter = static_cast<std::uint32_t>(SamplerFilter::Anisotropic);
        state.mySamplerAddressMode = static_cast<std::uint32_t>(SamplerAddressMode::Wrap);
        state.myObjectVersion = 0;
        state.myCamera = MakeScreenSpaceCamera();
        return state;
    }

    void GraphicsStateStack::ResetFrameState()
    {
        const RenderState frameDefault = MakeFrameDefault();
        myCameraCounter = 0;
        myRenderStateStack.back() = frameDefault;
        ApplyState(true);
    }

    void GraphicsStateStack::BeginFrame()
    {
        CU_ASSERT(myRenderStateStack.size() == 1);
        const Vector2<std::uint32_t> size = DX11::GetBackBufferSize();
        const float frame[4] = {static_cast<float>(size.x), static_cast<float>(size.y), myServices.myTotalTime ? myServices.myTotalTime() : 0.0f,
            myServices.myDeltaTime ? myServices.myDeltaTime() : 0.0f};
        Upload(myFrameBuffer, [&](std::byte* someBytes) { Put(someBytes, 0, frame, sizeof(frame)); });
        ResetFrameState();
    }

    void GraphicsStateStack::Push()
    {
        myRenderStateStack.push_back(myRenderStateStack.back());
    }

    void GraphicsStateStack::Pop()
    {
        CU_ASSERT(myRenderStateStack.size() > 1);
        if (myRenderStateStack.size() > 1)
        {
            myRenderStateStack.pop_back();
        }
    }

    void GraphicsStateStack::SetBlendState(BlendState aState)
    {
        myRenderStateStack.back().myBlendState = static_cast<std::uint32_t>(aState);
    }

    void GraphicsStateStack::SetDepthStencilState(DepthStencilState aState)
    {
        myRenderStateStack.back().myDepthStencilState = static_cast<std::uint32_t>(aState);
    }

    void GraphicsStateStack::SetRasterizerState(RasterizerState aState)
    {
        myRenderStateStack.back().myRasterizerState = static_cast<std::uint32_t>(aState);
    }

    void GraphicsStateStack::SetSamplerState(SamplerFilter aFilter, SamplerAddressMode anAddressMode)
    {
        myRenderStateStack.back().mySamplerFilter = static_cast<std::uint32_t>(aFilter);
        myRenderStateStack.back().mySamplerAddressMode = static_cast<std::uint32_t>(anAddressMode);
    }

    void GraphicsStateStack::SetCamera(const Camera& aCamera)
    {
        ++myCameraCounter;
        myRenderStateStack.back().myCameraVersion = myCameraCounter;
        myRenderStateStack.back().myCamera = aCamera;
    }

    void GraphicsStateStack::SetScreenSpaceCamera()
    {
        SetCamera(MakeScreenSpaceCamera());
    }

    void GraphicsStateStack::BindSamplers(const RenderState& aState)
    {
        // Slot 0 takes the chosen sampler; slots 1 to 3 the same filter with the other address
        // modes in turn, so no slot reads past the table.
        const std::uint32_t filter = std::min(aState.mySamplerFilter, static_cast<std::uint32_t>(SamplerFilter::Count) - 1);
        const std::uint32_t mode = std::min(aState.mySamplerAddressMode, static_cast<std::uint32_t>(SamplerAddressMode::Count) - 1);
        Ref<SamplerState> samplers[SAMPLER_SLOTS];
        for (std::uint32_t slot = 0; slot < SAMPLER_SLOTS; ++slot)
        {
            samplers[slot] = mySamplerStates[filter * 4 + (mode + slot) % 4];
        }
        DX11::Context->PSSetSamplers(0, SAMPLER_SLOTS, samplers);
    }

    bool GraphicsStateStack::UploadObject(const RenderState& aState)
    {
        return Upload(myObjectBuffer, [&](std::byte* someBytes) {
            Put(someBytes, 0, aState.myObjectVector.data(), 16);
            Put(someBytes, 16, &aState.myObjectScalar, 4);
        });
    }

    bool GraphicsStateStack::UploadCamera(const RenderState& aState)
    {
        const Camera& camera = aState.myCamera;
        const Matrix4x4 view = RigidInverse(camera.myTransform);
        const Matrix4x4 inverseProjection = Matrix4x4::GetInverse(camera.myProjection);
        return Upload(myCameraBuffer, [&](std::byte* someBytes) {
            Put(someBytes, 0, view.GetData(), 64);
            Put(someBytes, 64, camera.myTransform.GetData(), 64);
            Put(someBytes, 128, camera.myProjection.GetData(), 64);
            Put(someBytes, 192, inverseProjection.GetData(), 64);
            Put(someBytes, 256, &camera.myNear, 4);
            Put(someBytes, 260, &camera.myFar, 4);
        });
    }

    bool GraphicsStateStack::UploadLights(const RenderState& aState)
    {
        const std::int32_t count = std::clamp(aState.myLightCount, 0, static_cast<std::int32_t>(MAX_POINT_LIGHTS));
        return Upload(myLightBuffer, [&](std::byte* someBytes) {
            for (std::int32_t index = 0; index < count; ++index)
            {
                const PointLight& light = aState.myPointLights[index];
                const std::size_t slot = static_cast<std::size_t>(index) * 48;
                const float position[3] = {light.myPosition.x, light.myPosition.y, light.myPosition.z};
                Put(someBytes, slot, position, sizeof(position));
                PutColor(someBytes, slot + 16, light.myColor);
                Put(someBytes, slot + 32, &light.myRange, 4);
                Put(someBytes, slot + 36, &light.myIntensity, 4);
            }
            Put(someBytes, 384, &aState.myLightCount, 4);
            Put(someBytes, 388, &aState.myLightScalar, 4);
            PutColor(someBytes, 400, aState.mySecondLightColor);
            PutColor(someBytes, 416, aState.myFirstLightColor);
            Put(someBytes, 432, aState.myLightMatrix.GetData(), 64);
        });
    }

    void GraphicsStateStack::ApplyState(bool aForce)
    {
        const RenderState& top = myRenderStateStack.back();
        const RenderState& last = myLastApplied;
        DeviceContext& context = *DX11::Context;
        if (aForce || top.myBlendState != last.myBlendState)
        {
            context.OMSetBlendState(myBlendStates[std::min<std::size_t>(top.myBlendState, myBlendStates.size() - 1)], nullptr, DEFAULT_SAMPLE_MASK);
        }
        if (aForce || top.myDepthStencilState != last.myDepthStencilState)
        {
            context.OMSetDepthStencilState(myDepthStencilStates[std::min<std::size_t>(top.myDepthStencilState, myDepthStencilStates.size() - 1)], 0);
        }
        if (aForce || top.myRasterizerState != last.myRasterizerState)
        {
            context.RSSetState(myRasterizerStates[std::min<std::size_t>(top.myRasterizerState, myRasterizerStates.size() - 1)]);
        }
        if (aForce || top.mySamplerFilter != last.mySamplerFilter || top.mySamplerAddressMode != last.mySamplerAddressMode)
        {
            BindSamplers(top);
        }
        if ((aForce || top.myObjectVersion != last.myObjectVersion) && !UploadObject(top))
        {
            return;
        }
        if ((aForce || top.myCameraVersion != last.myCameraVersion) && !UploadCamera(top))
        {
            return;
        }
        if (aForce || top.myLightVersion != last.myLightVersion)
        {
            if (!UploadLights(top))
            {
                return;
            }
            const TextureResource* cubeMaps[3] = {myWhiteCubeMap, myHorizonCubeMap, top.myCubeMap};
            const TextureResource* cubeMap = top.myEnvironmentCubeMap < 3 ? cubeMaps[top.myEnvironmentCubeMap] : nullptr;
            const Ref<ShaderResourceView> view = cubeMap ? cubeMap->mySRV : nullptr;
            context.PSSetShaderResources(0, 1, &view);
        }
        if (aForce)
        {
            const Ref<Buffer> buffers[4] = {myFrameBuffer, myCameraBuffer, myLightBuffer, myObjectBuffer};
            context.VSSetConstantBuffers(0, 4, buffers);
            context.PSSetConstantBuffers(0, 4, buffers);
        }
        myLastApplied = top;
    }
}
