#pragma once
#include "gpu/GpuObjects.h"
#include "gpu/GpuTypes.h"

#include <string>

namespace Platform::Gpu
{
    class DeviceContext;

    // Creates every GPU object. Creation calls may come from any thread; the objects' GL side is
    // made on the device's own thread (the one that created it), so creation off that thread
    // never touches GL and its data waits in the object until the immediate context uses it.
    class Device
    {
    public:
        explicit Device(std::shared_ptr<impl::DeviceState> aState);
        ~Device();
        Device(const Device&) = delete;
        Device& operator=(const Device&) = delete;

        Result CreateBuffer(const BufferDesc& aDesc, const SubresourceData* anInitialData, Ref<Buffer>* aBuffer);
        // someInitialData, when given, holds one entry per subresource (mip + slice * mips).
        Result CreateTexture2D(const Texture2DDesc& aDesc, const SubresourceData* someInitialData, Ref<Texture2D>* aTexture);
        // As above, with the initial data lying in aStorage, which the texture may keep instead of
        // copying its rows when it is made off the device thread: packed rows are uploaded from
        // there when the texture is realized, and the storage is let go then.
        Result CreateTexture2D(const Texture2DDesc& aDesc, const SubresourceData* someInitialData, std::shared_ptr<const void> aStorage,
                               Ref<Texture2D>* aTexture);
        // A null description views the whole resource in its own format.
        Result CreateShaderResourceView(const Ref<Resource>& aResource, const ShaderResourceViewDesc* aDesc, Ref<ShaderResourceView>* aView);
        Result CreateRenderTargetView(const Ref<Resource>& aResource, const RenderTargetViewDesc* aDesc, Ref<RenderTargetView>* aView);
        Result CreateDepthStencilView(const Ref<Resource>& aResource, const DepthStencilViewDesc* aDesc, Ref<DepthStencilView>* aView);

        Result CreateBlendState(const BlendDesc& aDesc, Ref<BlendState>* aState);
        Result CreateDepthStencilState(const DepthStencilDesc& aDesc, Ref<DepthStencilState>* aState);
        Result CreateRasterizerState(const RasterizerDesc& aDesc, Ref<RasterizerState>* aState);
        Result CreateSamplerState(const SamplerDesc& aDesc, Ref<SamplerState>* aState);

        // aBytecode is a cooked shader file's contents; a file of the wrong stage, an empty or
        // malformed one, or code the driver rejects fails.
        Result CreateVertexShader(const void* aBytecode, std::size_t aLength, Ref<VertexShader>* aShader);
        Result CreatePixelShader(const void* aBytecode, std::size_t aLength, Ref<PixelShader>* aShader);
        // Elements are matched to the vertex shader's inputs by semantic; every input must be fed.
        Result CreateInputLayout(const InputElementDesc* someElements, uint32_t aCount, const void* aBytecode, std::size_t aLength, Ref<InputLayout>* aLayout);

        const Ref<DeviceContext>& GetImmediateContext() const { return myContext; }
        // The GL renderer, as the adapter's description reads.
        const std::string& GetRendererName() const;
        bool IsOnDeviceThread() const;
        const std::shared_ptr<impl::DeviceState>& GetState() const { return myState; }

    private:
        std::shared_ptr<impl::DeviceState> myState;
        Ref<DeviceContext> myContext;
    };
}
