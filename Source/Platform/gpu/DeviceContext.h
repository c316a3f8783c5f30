#pragma once
#include "gpu/GpuObjects.h"
#include "gpu/GpuTypes.h"

#include <array>

namespace Platform::Gpu
{
    constexpr uint32_t MAX_CONSTANT_BUFFER_SLOTS = 14;
    constexpr uint32_t MAX_SHADER_RESOURCE_SLOTS = 32;
    constexpr uint32_t MAX_SAMPLER_SLOTS = 16;
    constexpr uint32_t MAX_VERTEX_BUFFER_SLOTS = 16;
    constexpr uint32_t MAX_RENDER_TARGETS = 8;
    constexpr uint32_t MAX_VIEWPORTS = 16;

    // The immediate context: holds the pipeline state and issues clears, copies, maps and draws.
    // Used from the device's thread only. Setters store what they are given and count the call;
    // the GL state follows at the next draw or clear.
    class DeviceContext
    {
    public:
        explicit DeviceContext(std::shared_ptr<impl::DeviceState> aDevice);
        ~DeviceContext();
        DeviceContext(const DeviceContext&) = delete;
        DeviceContext& operator=(const DeviceContext&) = delete;

        void IASetInputLayout(const Ref<InputLayout>& aLayout);
        void IASetPrimitiveTopology(PrimitiveTopology aTopology);
        void IASetVertexBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers, const uint32_t* someStrides, const uint32_t* someOffsets);
        // aFormat is R16_UINT or R32_UINT.
        void IASetIndexBuffer(const Ref<Buffer>& aBuffer, Format aFormat, uint32_t anOffset);

        void VSSetShader(const Ref<VertexShader>& aShader);
        void PSSetShader(const Ref<PixelShader>& aShader);
        // There is no geometry stage; render code that clears it says so with this.
        void GSSetShader(std::nullptr_t) {}
        void VSSetConstantBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers);
        void PSSetConstantBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers);
        void VSSetShaderResources(uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews);
        void PSSetShaderResources(uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews);
        void VSSetSamplers(uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers);
        void PSSetSamplers(uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers);

        void RSSetState(const Ref<RasterizerState>& aState);
        void RSSetViewports(uint32_t aCount, const Viewport* someViewports);
        void RSSetScissorRects(uint32_t aCount, const Rect* someRects);

        void OMSetRenderTargets(uint32_t aCount, const Ref<RenderTargetView>* someViews, const Ref<DepthStencilView>& aDepthView);
        // A null blend factor means (1, 1, 1, 1).
        void OMSetBlendState(const Ref<BlendState>& aState, const float* aBlendFactor, uint32_t aSampleMask);
        void OMSetDepthStencilState(const Ref<DepthStencilState>& aState, uint32_t aStencilRef);

        Ref<InputLayout> IAGetInputLayout() const { return myInputLayout; }
        PrimitiveTopology IAGetPrimitiveTopology() const { return myTopology; }
        Ref<Buffer> IAGetVertexBuffer(uint32_t aSlot, uint32_t* aStride = nullptr, uint32_t* anOffset = nullptr) const;
        Ref<Buffer> IAGetIndexBuffer(Format* aFormat = nullptr, uint32_t* anOffset = nullptr) const;
        Ref<VertexShader> VSGetShader() const { return myVertexShader; }
        Ref<PixelShader> PSGetShader() const { return myPixelShader; }
        Ref<Buffer> VSGetConstantBuffer(uint32_t aSlot) const;
        Ref<Buffer> PSGetConstantBuffer(uint32_t aSlot) const;
        Ref<ShaderResourceView> VSGetShaderResource(uint32_t aSlot) const;
        Ref<ShaderResourceView> PSGetShaderResource(uint32_t aSlot) const;
        Ref<SamplerState> VSGetSampler(uint32_t aSlot) const;
        Ref<SamplerState> PSGetSampler(uint32_t aSlot) const;
        Ref<RasterizerState> RSGetState() const { return myRasterizerState; }
        // Returns the number of viewports set; copies at most aCapacity of them.
        uint32_t RSGetViewports(uint32_t aCapacity, Viewport* someViewports) const;
        Ref<RenderTargetView> OMGetRenderTarget(uint32_t aSlot) const;
        Ref<DepthStencilView> OMGetDepthStencilView() const { return myDepthView; }
        Ref<BlendState> OMGetBlendState(float* aBlendFactor = nullptr, uint32_t* aSampleMask = nullptr) const;
        Ref<DepthStencilState> OMGetDepthStencilState(uint32_t* aStencilRef = nullptr) const;

        // The colour is written as given; an sRGB view encodes it on the way in.
        void ClearRenderTargetView(const Ref<RenderTargetView>& aView, const float aColor[4]);
        void ClearDepthStencilView(const Ref<DepthStencilView>& aView, uint32_t someClearFlags, float aDepth, uint8_t aStencil);

        // Buffers: WriteDiscard (dynamic), Read/Write (staging). Textures: WriteDiscard (dynamic)
        // and Read/Write (staging), one subresource at a time.
        Result Map(const Ref<Resource>& aResource, uint32_t aSubresource, MapType aType, uint32_t someFlags, MappedSubresource* aMapped);
        void Unmap(const Ref<Resource>& aResource, uint32_t aSubresource);
        // A write-discard map of a dynamic buffer of which only the first aWrittenBytes were
        // written: only those are sent, and the rest of the buffer is not to be read until a
        // later map writes it (a written range, as later Direct3D versions pass to their unmap).
        void Unmap(const Ref<Resource>& aResource, uint32_t aSubresource, uint32_t aWrittenBytes);
        void UpdateSubresource(const Ref<Resource>& aResource, uint32_t aSubresource, const Box* aBox, const void* aData, uint32_t aRowPitch, uint32_t aDepthPitch);
        // Same-sized resources of compatible formats: every subresource is copied.
        void CopyResource(const Ref<Resource>& aDestination, const Ref<Resource>& aSource);
        // Fills the view's lower mips from its most detailed one.
        void GenerateMips(const Ref<ShaderResourceView>& aView);

        void Draw(uint32_t aVertexCount, uint32_t aStartVertex);
        void DrawIndexed(uint32_t anIndexCount, uint32_t aStartIndex, int32_t aBaseVertex);
        void DrawInstanced(uint32_t aVertexCountPerInstance, uint32_t anInstanceCount, uint32_t aStartVertex, uint32_t aStartInstance);
        void DrawIndexedInstanced(uint32_t anIndexCountPerInstance, uint32_t anInstanceCount, uint32_t aStartIndex, int32_t aBaseVertex, uint32_t aStartInstance);

        // Unbinds everything and returns every state to its default.
        void ClearState();
        // Hands the queued GL work to the driver and deletes GL objects released meanwhile.
        void Flush();

        const Counters& GetCounters() const { return myCounters; }
        void ResetCounters() { myCounters = Counters{}; }

    private:
        struct StageBindings
        {
            std::array<Ref<Buffer>, MAX_CONSTANT_BUFFER_SLOTS> myConstantBuffers;
            std::array<Ref<ShaderResourceView>, MAX_SHADER_RESOURCE_SLOTS> myShaderResources;
            std::array<Ref<SamplerState>, MAX_SAMPLER_SLOTS> mySamplers;
        };

        struct VertexBufferBinding
        {
            Ref<Buffer> myBuffer;
            uint32_t myStride = 0;
            uint32_t myOffset = 0;
        };

        void SetConstantBuffers(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers);
        void SetShaderResources(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews);
        void SetSamplers(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers);
        // aVertexEnd and anInstanceEnd bound the elements the draw reads (UINT64_MAX: unknown), so
        // that a buffer refilled by a write-discard map sends only what the draw can read.
        bool PrepareDraw(uint64_t aVertexEnd, uint64_t anInstanceEnd);
        void CountDraw(uint64_t anInstanceCount);

        std::shared_ptr<impl::DeviceState> myDevice;
        Counters myCounters;

        Ref<InputLayout> myInputLayout;
        PrimitiveTopology myTopology = PrimitiveTopology::Undefined;
        std::array<VertexBufferBinding, MAX_VERTEX_BUFFER_SLOTS> myVertexBuffers;
        Ref<Buffer> myIndexBuffer;
        Format myIndexFormat = Format::UNKNOWN;
        uint32_t myIndexOffset = 0;

        Ref<VertexShader> myVertexShader;
        Ref<PixelShader> myPixelShader;
        StageBindings myVertexStage;
        StageBindings myPixelStage;

        Ref<RasterizerState> myRasterizerState;
        std::array<Viewport, MAX_VIEWPORTS> myViewports{};
        uint32_t myViewportCount = 0;
        std::array<Rect, MAX_VIEWPORTS> myScissorRects{};
        uint32_t myScissorCount = 0;

        std::array<Ref<RenderTargetView>, MAX_RENDER_TARGETS> myRenderTargets;
        uint32_t myRenderTargetCount = 0;
        Ref<DepthStencilView> myDepthView;
        Ref<BlendState> myBlendState;
        std::array<float, 4> myBlendFactor{1.0f, 1.0f, 1.0f, 1.0f};
        uint32_t mySampleMask = DEFAULT_SAMPLE_MASK;
        Ref<DepthStencilState> myDepthStencilState;
        uint32_t myStencilRef = 0;

        bool myTargetsDirty = true;
    };
}
