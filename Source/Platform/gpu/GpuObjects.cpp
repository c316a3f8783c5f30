#include "gpu/GpuObjects.h"

#include "gpu/impl/DeviceState.h"

#include <algorithm>

namespace Platform::Gpu
{
    DeviceChild::DeviceChild(std::shared_ptr<impl::DeviceState> aDevice)
        : myDevice(std::move(aDevice)), myId(impl::NextObjectId())
    {
    }

    DeviceChild::~DeviceChild() = default;

    Resource::Resource(std::shared_ptr<impl::DeviceState> aDevice, ResourceKind aKind)
        : DeviceChild(std::move(aDevice)), myKind(aKind)
    {
    }

    Buffer::Buffer(std::shared_ptr<impl::DeviceState> aDevice, const BufferDesc& aDesc)
        : Resource(std::move(aDevice), ResourceKind::Buffer), myDesc(aDesc)
    {
    }

    Buffer::~Buffer()
    {
        myDevice->Release(impl::GlObjectKind::Buffer, myGlName);
    }

    Texture2D::Texture2D(std::shared_ptr<impl::DeviceState> aDevice, const Texture2DDesc& aDesc)
        : Resource(std::move(aDevice), ResourceKind::Texture2D), myDesc(aDesc)
    {
        mySubresources.resize(GetSubresourceCount());
    }

    Texture2D::~Texture2D()
    {
        myDevice->Release(impl::GlObjectKind::Texture, myGlName);
    }

    ShaderResourceView::ShaderResourceView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const ShaderResourceViewDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myTexture(std::move(aTexture)), myDesc(aDesc)
    {
    }

    ShaderResourceView::~ShaderResourceView()
    {
        myDevice->Release(impl::GlObjectKind::Texture, myGlName);
    }

    RenderTargetView::RenderTargetView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const RenderTargetViewDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myTexture(std::move(aTexture)), myDesc(aDesc)
    {
    }

    RenderTargetView::~RenderTargetView()
    {
        myDevice->Release(impl::GlObjectKind::Texture, myGlName);
    }

    DepthStencilView::DepthStencilView(std::shared_ptr<impl::DeviceState> aDevice, Ref<Texture2D> aTexture, const DepthStencilViewDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myTexture(std::move(aTexture)), myDesc(aDesc)
    {
    }

    DepthStencilView::~DepthStencilView() = default;

    BlendState::BlendState(std::shared_ptr<impl::DeviceState> aDevice, const BlendDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myDesc(aDesc)
    {
    }

    DepthStencilState::DepthStencilState(std::shared_ptr<impl::DeviceState> aDevice, const DepthStencilDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myDesc(aDesc)
    {
    }

    RasterizerState::RasterizerState(std::shared_ptr<impl::DeviceState> aDevice, const RasterizerDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myDesc(aDesc)
    {
    }

    SamplerState::SamplerState(std::shared_ptr<impl::DeviceState> aDevice, const SamplerDesc& aDesc)
        : DeviceChild(std::move(aDevice)), myDesc(aDesc)
    {
    }

    SamplerState::~SamplerState()
    {
        myDevice->Release(impl::GlObjectKind::Sampler, myGlName);
    }

    Shader::Shader(std::shared_ptr<impl::DeviceState> aDevice, ShaderStage aStage, ShaderReflection aReflection, std::string aSource)
        : DeviceChild(std::move(aDevice)), myStage(aStage), myReflection(std::move(aReflection)), mySource(std::move(aSource))
    {
    }

    Shader::~Shader()
    {
        myDevice->ForgetShader(myId);
        myDevice->Release(impl::GlObjectKind::Shader, myGlName);
    }

    VertexShader::VertexShader(std::shared_ptr<impl::DeviceState> aDevice, ShaderReflection aReflection, std::string aSource)
        : Shader(std::move(aDevice), ShaderStage::Vertex, std::move(aReflection), std::move(aSource))
    {
    }

    PixelShader::PixelShader(std::shared_ptr<impl::DeviceState> aDevice, ShaderReflection aReflection, std::string aSource)
        : Shader(std::move(aDevice), ShaderStage::Pixel, std::move(aReflection), std::move(aSource))
    {
    }

    InputLayout::InputLayout(std::shared_ptr<impl::DeviceState> aDevice, std::vector<Attribute> someAttributes, std::vector<uint32_t> someSlotStepRates)
        : DeviceChild(std::move(aDevice)), myAttributes(std::move(someAttributes)), mySlotStepRates(std::move(someSlotStepRates))
    {
        mySlotExtents.assign(mySlotStepRates.size(), 0);
        for (const Attribute& attribute : myAttributes)
        {
            if (attribute.myInputSlot < mySlotExtents.size())
            {
                // A format of unknown size makes the whole buffer count as read.
                const uint32_t bytes = GetFormatInfo(attribute.myFormat).myBytesPerElement;
                uint32_t& extent = mySlotExtents[attribute.myInputSlot];
                extent = bytes == 0 ? UINT32_MAX : std::max(extent, attribute.myOffset + bytes);
            }
        }
    }

    InputLayout::~InputLayout()
    {
        myDevice->Release(impl::GlObjectKind::VertexArray, myGlName);
    }
}
