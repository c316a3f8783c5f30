#pragma once
#include "gpu/GpuTypes.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// The objects a device creates. They are shared (Ref = std::shared_ptr): a view keeps its
// resource alive, the context keeps what is bound. They may be created and released on any
// thread; their GL objects are made and deleted on the thread that owns the GL context, at the
// latest when the immediate context first uses them.
namespace Platform::Gpu
{
    namespace impl
    {
        class DeviceState;
        class Backend;
    }

    // Common to every object: the device it belongs to and a process-unique id.
    class DeviceChild
    {
    public:
        virtual ~DeviceChild();
        DeviceChild(const DeviceChild&) = delete;
        DeviceChild& operator=(const DeviceChild&) = delete;

        uint64_t GetId() const { return myId; }

    protected:
        explicit DeviceChild(std::shared_ptr<impl::DeviceState> aDevice);

        std::shared_ptr<impl::DeviceState> myDevice;
        uint64_t myId;
        // Guards the one-time creation of the GL object and data waiting for it.
        mutable std::mutex myRealizeMutex;
        uint32_t myGlName = 0;

        friend class impl::Backend;
    };

    enum class ResourceKind { Buffer, Texture2D };

    class Resource : public DeviceChild
    {
    public:
        ResourceKind GetKind() const { return myKind; }

    protected:
        Resource(std::shared_ptr<impl::DeviceState> aDevice, ResourceKind aKind);

    private:
        ResourceKind myKind;
    };

    class Buffer final : public Resource
    {
    public:
        Buffer(std::shared_ptr<impl::DeviceState> aDevice, const BufferDesc& aDesc);
        ~Buffer() override;
        const BufferDesc& GetDesc() const { return myDesc; }

    private:
        BufferDesc myDesc;
        // Contents until the GL buffer exists, then the memory a map hands out.
        std::vector<std::byte> myShadow;
        bool myHasPendingData = false;
        bool myIsMapped = false;
        // After a write-discard map the GL store is stale; only the leading bytes a use needs are
        // sent, just before that use (device thread only).
        bool myIsStoreStale = false;
        uint32_t myUploadedBytes = 0;
        // What the last write-discard map's unmap said it wrote: nothing past it is sent.
        uint32_t myWrittenBytes = 0;

        friend class impl::Backend;
    };

    class Texture2D final : public Resource
    {
    public:
        Texture2D(std::shared_ptr<impl::DeviceState> aDevice, const Texture2DDesc& aDesc);
        ~Texture2D() override;
        // The description as created; a mip count of 0 reads back as the full chain's count.
        const Texture2DDesc& GetDesc() const { return myDesc; }
        uint32_t GetSubresourceCount() const { return myDesc.myMipLevels * myDesc.myArraySize; }

    private:
        struct Subresource
        {
            std::vector<std::byte> myBytes;
            // Pending rows that lie, packed, in the texture's taken-over storage instead of myBytes.
            const std::byte* myTakenBytes = nullptr;
            uint32_t myRowPitch = 0;
            bool myIsPending = false;
            bool myIsMapped = false;
            MapType myMapType = MapType::Read;
        };

        Texture2DDesc myDesc;
        uint32_t myGlTarget = 0;
        std::vector<Subresource> mySubresources;
        // The caller's memory the pending rows were taken over in, kept until they are uploaded.
        std::shared_ptr<const void> myTakenStorage;

        friend class impl::Backend;
    };

    class ShaderResourceView final : public DeviceChild
    {
    public:
        ShaderResourceView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const ShaderResourceViewDesc& aDesc);
        ~ShaderResourceView() override;
        const ShaderResourceViewDesc& GetDesc() const { return myDesc; }
        Ref<Resource> GetResource() const { return myTexture; }
        const Ref<Texture2D>& GetTexture2D() const { return myTexture; }

    private:
        Ref<Texture2D> myTexture;
        ShaderResourceViewDesc myDesc;
        uint32_t myGlTarget = 0;

        friend class impl::Backend;
    };

    class RenderTargetView final : public DeviceChild
    {
    public:
        RenderTargetView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const RenderTargetViewDesc& aDesc);
        ~RenderTargetView() override;
        const RenderTargetViewDesc& GetDesc() const { return myDesc; }
        Ref<Resource> GetResource() const { return myTexture; }
        const Ref<Texture2D>& GetTexture2D() const { return myTexture; }

    private:
        Ref<Texture2D> myTexture;
        RenderTargetViewDesc myDesc;

        friend class impl::Backend;
    };

    class DepthStencilView final : public DeviceChild
    {
    public:
        DepthStencilView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const DepthStencilViewDesc& aDesc);
        ~DepthStencilView() override;
        const DepthStencilViewDesc& GetDesc() const { return myDesc; }
        Ref<Resource> GetResource() const { return myTexture; }
        const Ref<Texture2D>& GetTexture2D() const { return myTexture; }

    private:
        Ref<Texture2D> myTexture;
        DepthStencilViewDesc myDesc;

        friend class impl::Backend;
    };

    class BlendState final : public DeviceChild
    {
    public:
        BlendState(std::shared_ptr<impl::DeviceState> aDevice, const BlendDesc& aDesc);
        const BlendDesc& GetDesc() const { return myDesc; }

    private:
        BlendDesc myDesc;
    };

    class DepthStencilState final : public DeviceChild
    {
    public:
        DepthStencilState(std::shared_ptr<impl::DeviceState> aDevice, const DepthStencilDesc& aDesc);
        const DepthStencilDesc& GetDesc() const { return myDesc; }

    private:
        DepthStencilDesc myDesc;
    };

    class RasterizerState final : public DeviceChild
    {
    public:
        RasterizerState(std::shared_ptr<impl::DeviceState> aDevice, const RasterizerDesc& aDesc);
        const RasterizerDesc& GetDesc() const { return myDesc; }

    private:
        RasterizerDesc myDesc;
    };

    class SamplerState final : public DeviceChild
    {
    public:
        SamplerState(std::shared_ptr<impl::DeviceState> aDevice, const SamplerDesc& aDesc);
        ~SamplerState() override;
        const SamplerDesc& GetDesc() const { return myDesc; }

    private:
        SamplerDesc myDesc;

        friend class impl::Backend;
    };

    enum class ShaderStage { Vertex, Pixel };

    // What a cooked shader tells the layer besides its code.
    struct ShaderReflection
    {
        struct Input
        {
            uint32_t myLocation = 0;
            std::string mySemanticName;
            uint32_t mySemanticIndex = 0;
            bool myIsInteger = false;
        };
        struct TextureSampler
        {
            uint32_t myTextureSlot = 0;
            int32_t mySamplerSlot = -1; // -1: read without a sampler
        };
        std::vector<Input> myInputs;
        std::vector<uint32_t> myConstantBuffers;
        std::vector<TextureSampler> myTextures;
    };

    class Shader : public DeviceChild
    {
    public:
        ~Shader() override;
        ShaderStage GetStage() const { return myStage; }
        const ShaderReflection& GetReflection() const { return myReflection; }

    protected:
        Shader(std::shared_ptr<impl::DeviceState> aDevice, ShaderStage aStage, ShaderReflection aReflection, std::string aSource);

    private:
        ShaderStage myStage;
        ShaderReflection myReflection;
        std::string mySource;
        bool myCompileFailed = false;

        friend class impl::Backend;
    };

    class VertexShader final : public Shader
    {
    public:
        VertexShader(std::shared_ptr<impl::DeviceState> aDevice, ShaderReflection aReflection, std::string aSource);
    };

    class PixelShader final : public Shader
    {
    public:
        PixelShader(std::shared_ptr<impl::DeviceState> aDevice, ShaderReflection aReflection, std::string aSource);
    };

    class InputLayout final : public DeviceChild
    {
    public:
        struct Attribute
        {
            uint32_t myLocation = 0;
            Format myFormat = Format::UNKNOWN;
            uint32_t myInputSlot = 0;
            uint32_t myOffset = 0;
            bool myIsInteger = false;
        };

        InputLayout(std::shared_ptr<impl::DeviceState> aDevice, std::vector<Attribute> someAttributes, std::vector<uint32_t> someSlotStepRates);
        ~InputLayout() override;
        const std::vector<Attribute>& GetAttributes() const { return myAttributes; }

    private:
        std::vector<Attribute> myAttributes;
        // Per input slot: 0 per vertex, else instances per element.
        std::vector<uint32_t> mySlotStepRates;
        // Per input slot: the bytes of one element the attributes reach (0 where none reads it).
        std::vector<uint32_t> mySlotExtents;

        friend class impl::Backend;
    };
}
