#pragma once
#include "graphics/RenderState.h"
#include "gpu/GpuObjects.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace Vra
{
    class TextureManager;

    // The render state as a stack of records. Render code pushes a copy, changes the top, draws
    // and pops; ApplyState sets on the immediate context only what differs from the record
    // applied last. Main thread only.
    class GraphicsStateStack
    {
    public:
        // Where the stack takes the cube maps and the frame's times from (the engine's).
        struct Services
        {
            TextureManager* myTextureManager = nullptr; // none: no cube maps
            std::function<float()> myTotalTime;
            std::function<float()> myDeltaTime;
        };

        static constexpr std::uint32_t SAMPLER_COUNT = static_cast<std::uint32_t>(SamplerFilter::Count) * static_cast<std::uint32_t>(SamplerAddressMode::Count);
        static constexpr std::uint32_t SAMPLER_SLOTS = 4;
        static constexpr std::uint32_t FRAME_BUFFER_SLOT = 0;
        static constexpr std::uint32_t CAMERA_BUFFER_SLOT = 1;
        static constexpr std::uint32_t LIGHT_BUFFER_SLOT = 2;
        static constexpr std::uint32_t OBJECT_BUFFER_SLOT = 3;
        static constexpr std::uint32_t FRAME_BUFFER_SIZE = 16;
        static constexpr std::uint32_t CAMERA_BUFFER_SIZE = 272;
        static constexpr std::uint32_t LIGHT_BUFFER_SIZE = 496;
        static constexpr std::uint32_t OBJECT_BUFFER_SIZE = 32;

        GraphicsStateStack() = default;
        explicit GraphicsStateStack(Services someServices);

        bool Init();
        void BeginFrame();

        void Push();
        void Pop();

        void SetBlendState(BlendState aState);
        void SetDepthStencilState(DepthStencilState aState);
        void SetRasterizerState(RasterizerState aState);
        void SetSamplerState(SamplerFilter aFilter, SamplerAddressMode anAddressMode);
        void SetCamera(const Camera& aCamera);
        // An orthographic camera over the back buffer: x 0..width, y 0..height, z -1..1.
        void SetScreenSpaceCamera();

        const Matrix4x4& GetTransform() const { return myRenderStateStack.back().myTransform; }
        // The top record, for the values without a setter of their own (lights, object constants).
        RenderState& GetRenderState() { return myRenderStateStack.back(); }
        std::size_t GetDepth() const { return myRenderStateStack.size(); }

        void ApplyState(bool aForce = false);

        const Platform::Gpu::Ref<Platform::Gpu::SamplerState>& GetSampler(std::uint32_t anIndex) const { return mySamplerStates[anIndex]; }

    private:
        RenderState MakeFrameDefault() const;
        void ResetFrameState();
        bool CreateStateObjects();
        bool CreateBuffers();
        bool UploadObject(const RenderState& aState);
        bool UploadCamera(const RenderState& aState);
        bool UploadLights(const RenderState& aState);
        void BindSamplers(const RenderState& aState);

        Services myServices;
        RenderState myLastApplied;
        std::vector<RenderState> myRenderStateStack;
        std::uint32_t myCameraCounter = 0;
        std::array<Platform::Gpu::Ref<Platform::Gpu::SamplerState>, SAMPLER_COUNT> mySamplerStates;
        std::array<Platform::Gpu::Ref<Platform::Gpu::DepthStencilState>, 4> myDepthStencilStates;
        std::array<Platform::Gpu::Ref<Platform::Gpu::RasterizerState>, 4> myRasterizerStates;
        std::array<Platform::Gpu::Ref<Platform::Gpu::BlendState>, 3> myBlendStates;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myObjectBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myFrameBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myCameraBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myLightBuffer;
        TextureResource* myWhiteCubeMap = nullptr;
        TextureResource* myHorizonCubeMap = nullptr;
    };
}
