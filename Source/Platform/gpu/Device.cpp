#include "gpu/Device.h"

#include "gpu/DeviceContext.h"
#include "gpu/impl/CookedShader.h"
#include "gpu/impl/DeviceState.h"
#include "gpu/impl/GlFormat.h"

#include <algorithm>
#include <strings.h>

namespace Platform::Gpu
{
    namespace
    {
        constexpr uint32_t MAX_CONSTANT_BUFFER_BYTES = 65536;

        // Views may reinterpret a texture only within formats of the same size class.
        bool AreViewCompatible(Format aTextureFormat, Format aViewFormat)
        {
            const impl::GlFormat texture = impl::GetGlFormat(aTextureFormat);
            const impl::GlFormat view = impl::GetGlFormat(aViewFormat);
            return view.myInternalFormat != 0 && texture.myIsCompressed == view.myIsCompressed && texture.myBytesPerElement == view.myBytesPerElement;
        }

        Result Validate(const Texture2DDesc& aDesc, const SubresourceData* someInitialData)
        {
            const impl::GlFormat format = impl::GetGlFormat(aDesc.myFormat);
            const bool isDepth = (aDesc.myBindFlags & BIND_DEPTH_STENCIL) != 0;
            if (aDesc.myWidth == 0 || aDesc.myHeight == 0 || aDesc.myWidth > MAX_TEXTURE_SIZE || aDesc.myHeight > MAX_TEXTURE_SIZE || aDesc.myArraySize == 0)
            {
                return Result::InvalidArgument;
            }
            if (format.myInternalFormat == 0 || aDesc.mySampleDesc.myCount != 1)
            {
                return Result::InvalidArgument;
            }
            if (aDesc.myMipLevels > impl::FullMipCount(aDesc.myWidth, aDesc.myHeight))
            {
                return Result::InvalidArgument;
            }
            if ((aDesc.myMiscFlags & RESOURCE_MISC_TEXTURECUBE) != 0 && (aDesc.myArraySize % 6 != 0 || aDesc.myWidth != aDesc.myHeight))
            {
                return Result::InvalidArgument;
            }
            if (isDepth && impl::GetDepthFormatOfTypeless(aDesc.myFormat) == Format::UNKNOWN)
            {
                return Result::InvalidArgument;
            }
            if (format.myIsCompressed && (aDesc.myBindFlags & (BIND_RENDER_TARGET | BIND_DEPTH_STENCIL)) != 0)
            {
                return Result::InvalidArgument;
            }
            if ((aDesc.myMiscFlags & RESOURCE_MISC_GENERATE_MIPS) != 0 && (aDesc.myBindFlags & (BIND_RENDER_TARGET | BIND_SHADER_RESOURCE)) != (BIND_RENDER_TARGET | BIND_SHADER_RESOURCE))
            {
                return Result::InvalidArgument;
            }
            switch (aDesc.myUsage)
            {
            case Usage::Immutable:
                return someInitialData == nullptr ? Result::InvalidArgument : Result::Ok;
            case Usage::Dynamic:
                return (aDesc.myCpuAccessFlags & CPU_ACCESS_WRITE) == 0 || aDesc.myMipLevels != 1 || isDepth ? Result::InvalidArgument : Result::Ok;
            case Usage::Staging:
                return aDesc.myBindFlags != 0 ? Result::InvalidArgument : Result::Ok;
            default:
                return Result::Ok;
            }
        }

        Result Validate(const BufferDesc& aDesc, const SubresourceData* anInitialData)
        {
            if (aDesc.myByteWidth == 0)
            {
                return Result::InvalidArgument;
            }
            if ((aDesc.myBindFlags & BIND_CONSTANT_BUFFER) != 0 && (aDesc.myByteWidth % 16 != 0 || aDesc.myByteWidth > MAX_CONSTANT_BUFFER_BYTES))
            {
                return Result::InvalidArgument;
            }
            switch (aDesc.myUsage)
            {
            case Usage::Immutable:
                return anInitialData == nullptr || anInitialData->mySysMem == nullptr ? Result::InvalidArgument : Result::Ok;
            case Usage::Dynamic:
                return (aDesc.myCpuAccessFlags & CPU_ACCESS_WRITE) == 0 ? Result::InvalidArgument : Result::Ok;
            case Usage::Staging:
                return aDesc.myBindFlags != 0 ? Result::InvalidArgument : Result::Ok;
            default:
                return Result::Ok;
            }
        }

        template <typename T>
        Result Hand(Ref<T> anObject, Ref<T>* anOut)
        {
            if (anOut != nullptr)
            {
                *anOut = std::move(anObject);
            }
            return Result::Ok;
        }

        uint32_t MipSize(uint32_t aSize, uint32_t aMip)
        {
            return std::max(1u, aSize >> aMip);
        }
    }

    Device::Device(std::shared_ptr<impl::DeviceState> aState)
        : myState(std::move(aState)), myContext(std::make_shared<DeviceContext>(myState))
    {
    }

    Device::~Device()
    {
        myContext->ClearState();
        myContext.reset();
        myState->Shutdown();
    }

    const std::string& Device::GetRendererName() const
    {
        return myState->GetRendererName();
    }

    bool Device::IsOnDeviceThread() const
    {
        return myState->IsOnDeviceThread();
    }

    Result Device::CreateBuffer(const BufferDesc& aDesc, const SubresourceData* anInitialData, Ref<Buffer>* aBuffer)
    {
        if (const Result result = Validate(aDesc, anInitialData); FAILED(result))
        {
            return result;
        }
        auto buffer = std::make_shared<Buffer>(myState, aDesc);
        std::vector<std::byte>& shadow = impl::Backend::GetShadow(*buffer);
        if (anInitialData != nullptr && anInitialData->mySysMem != nullptr)
        {
            const auto* bytes = static_cast<const std::byte*>(anInitialData->mySysMem);
            shadow.assign(bytes, bytes + aDesc.myByteWidth);
            impl::Backend::SetPendingData(*buffer);
        }
        else if (aDesc.myUsage == Usage::Dynamic || aDesc.myUsage == Usage::Staging)
        {
            shadow.resize(aDesc.myByteWidth);
        }
        if (myState->IsOnDeviceThread())
        {
            impl::Backend::Realize(*buffer);
        }
        return Hand(std::move(buffer), aBuffer);
    }

    Result Device::CreateTexture2D(const Texture2DDesc& aDesc, const SubresourceData* someInitialData, Ref<Texture2D>* aTexture)
    {
        return CreateTexture2D(aDesc, someInitialData, nullptr, aTexture);
    }

    Result Device::CreateTexture2D(const Texture2DDesc& aDesc, const SubresourceData* someInitialData, std::shared_ptr<const void> aStorage,
                                   Ref<Texture2D>* aTexture)
    {
        Texture2DDesc desc = aDesc;
        if (desc.myMipLevels == 0 && desc.myWidth > 0 && desc.myHeight > 0)
        {
            desc.myMipLevels = impl::FullMipCount(desc.myWidth, desc.myHeight);
        }
        if (const Result result = Validate(desc, someInitialData); FAILED(result))
        {
            return result;
        }
        auto texture = std::make_shared<Texture2D>(myState, desc);
        const bool realizesNow = myState->IsOnDeviceThread();
        bool isStorageTaken = false;
        for (uint32_t index = 0; index < texture->GetSubresourceCount(); ++index)
        {
            const uint32_t mip = index % desc.myMipLevels;
            const uint32_t rowBytes = GetRowPitch(desc.myFormat, MipSize(desc.myWidth, mip));
            auto& subresource = impl::Backend::GetSubresource(*texture, index);
            subresource.myRowPitch = rowBytes;
            // Off the device thread the caller's memory is gone by the time the texture is
            // realized, so it is staged; on it the upload below reads that memory directly.
            if (!realizesNow && someInitialData != nullptr && someInitialData[index].mySysMem != nullptr)
            {
                const SubresourceData& data = someInitialData[index];
                const bool isPacked = data.mySysMemPitch == 0 || data.mySysMemPitch == rowBytes;
                if (aStorage && isPacked)
                {
                    subresource.myTakenBytes = static_cast<const std::byte*>(data.mySysMem);
                    isStorageTaken = true;
                }
                else
                {
                    const uint32_t rows = GetRowCount(desc.myFormat, MipSize(desc.myHeight, mip));
                    subresource.myBytes = impl::PackRows(data.mySysMem, data.mySysMemPitch, rowBytes, rows);
                }
                subresource.myIsPending = true;
            }
        }
        if (isStorageTaken)
        {
            impl::Backend::GetTakenStorage(*texture) = std::move(aStorage);
        }
        if (realizesNow && !impl::Backend::Realize(*texture, someInitialData))
        {
            return Result::Fail;
        }
        return Hand(std::move(texture), aTexture);
    }

    Result Device::CreateShaderResourceView(const Ref<Resource>& aResource, const ShaderResourceViewDesc* aDesc, Ref<ShaderResourceView>* aView)
    {
        if (!aResource || aResource->GetKind() != ResourceKind::Texture2D)
        {
            return Result::InvalidArgument;
        }
        auto texture = std::static_pointer_cast<Texture2D>(aResource);
        const Texture2DDesc& textureDesc = texture->GetDesc();
        if ((textureDesc.myBindFlags & BIND_SHADER_RESOURCE) == 0)
        {
            return Result::InvalidArgument;
        }
        ShaderResourceViewDesc desc;
        if (aDesc != nullptr)
        {
            desc = *aDesc;
        }
        else
        {
            desc.myFormat = textureDesc.myFormat;
            const bool isCube = (textureDesc.myMiscFlags & RESOURCE_MISC_TEXTURECUBE) != 0 && textureDesc.myArraySize == 6;
            desc.myViewDimension = isCube ? SrvDimension::TextureCube : (textureDesc.myArraySize > 1 ? SrvDimension::Texture2DArray : SrvDimension::Texture2D);
            desc.myArraySize = textureDesc.myArraySize;
        }
        const bool isDepth = (textureDesc.myBindFlags & BIND_DEPTH_STENCIL) != 0;
        if (!isDepth && !AreViewCompatible(textureDesc.myFormat, desc.myFormat))
        {
            return Result::InvalidArgument;
        }
        const uint32_t mips = desc.myMipLevels == ALL_MIPS ? textureDesc.myMipLevels - std::min(desc.myMostDetailedMip, textureDesc.myMipLevels) : desc.myMipLevels;
        if (desc.myMostDetailedMip >= textureDesc.myMipLevels || mips == 0 || desc.myMostDetailedMip + mips > textureDesc.myMipLevels)
        {
            return Result::InvalidArgument;
        }
        if (desc.myViewDimension == SrvDimension::TextureCube && ((textureDesc.myMiscFlags & RESOURCE_MISC_TEXTURECUBE) == 0 || desc.myFirstArraySlice + 6 > textureDesc.myArraySize))
        {
            return Result::InvalidArgument;
        }
        if (desc.myViewDimension != SrvDimension::TextureCube && (desc.myArraySize == 0 || desc.myFirstArraySlice + desc.myArraySize > textureDesc.myArraySize))
        {
            return Result::InvalidArgument;
        }
        if (desc.myViewDimension == SrvDimension::Buffer || desc.myViewDimension == SrvDimension::Unknown)
        {
            return Result::InvalidArgument;
        }
        auto view = std::make_shared<ShaderResourceView>(myState, std::move(texture), desc);
        if (myState->IsOnDeviceThread() && !impl::Backend::Realize(*view))
        {
            return Result::Fail;
        }
        return Hand(std::move(view), aView);
    }

    Result Device::CreateRenderTargetView(const Ref<Resource>& aResource, const RenderTargetViewDesc* aDesc, Ref<RenderTargetView>* aView)
    {
        if (!aResource || aResource->GetKind() != ResourceKind::Texture2D)
        {
            return Result::InvalidArgument;
        }
        auto texture = std::static_pointer_cast<Texture2D>(aResource);
        const Texture2DDesc& textureDesc = texture->GetDesc();
        if ((textureDesc.myBindFlags & BIND_RENDER_TARGET) == 0)
        {
            return Result::InvalidArgument;
        }
        RenderTargetViewDesc desc;
        if (aDesc != nullptr)
        {
            desc = *aDesc;
        }
        else
        {
            desc.myFormat = textureDesc.myFormat;
            desc.myViewDimension = textureDesc.myArraySize > 1 ? RtvDimension::Texture2DArray : RtvDimension::Texture2D;
        }
        if (!AreViewCompatible(textureDesc.myFormat, desc.myFormat) || desc.myMipSlice >= textureDesc.myMipLevels || desc.myFirstArraySlice >= textureDesc.myArraySize)
        {
            return Result::InvalidArgument;
        }
        auto view = std::make_shared<RenderTargetView>(myState, std::move(texture), desc);
        if (myState->IsOnDeviceThread() && !impl::Backend::Realize(*view))
        {
            return Result::Fail;
        }
        return Hand(std::move(view), aView);
    }

    Result Device::CreateDepthStencilView(const Ref<Resource>& aResource, const DepthStencilViewDesc* aDesc, Ref<DepthStencilView>* aView)
    {
        if (!aResource || aResource->GetKind() != ResourceKind::Texture2D)
        {
            return Result::InvalidArgument;
        }
        auto texture = std::static_pointer_cast<Texture2D>(aResource);
        const Texture2DDesc& textureDesc = texture->GetDesc();
        if ((textureDesc.myBindFlags & BIND_DEPTH_STENCIL) == 0)
        {
            return Result::InvalidArgument;
        }
        DepthStencilViewDesc desc;
        if (aDesc != nullptr)
        {
            desc = *aDesc;
        }
        else
        {
            desc.myFormat = impl::GetDepthFormatOfTypeless(textureDesc.myFormat);
            desc.myViewDimension = textureDesc.myArraySize > 1 ? DsvDimension::Texture2DArray : DsvDimension::Texture2D;
        }
        const bool isDepthFormat = desc.myFormat == Format::D32_FLOAT || desc.myFormat == Format::D24_UNORM_S8_UINT;
        if (!isDepthFormat || impl::GetDepthFormatOfTypeless(textureDesc.myFormat) != desc.myFormat || desc.myMipSlice >= textureDesc.myMipLevels || desc.myFirstArraySlice >= textureDesc.myArraySize)
        {
            return Result::InvalidArgument;
        }
        auto view = std::make_shared<DepthStencilView>(myState, std::move(texture), desc);
        if (myState->IsOnDeviceThread() && !impl::Backend::Realize(*view))
        {
            return Result::Fail;
        }
        return Hand(std::move(view), aView);
    }

    Result Device::CreateBlendState(const BlendDesc& aDesc, Ref<BlendState>* aState)
    {
        return Hand(std::make_shared<BlendState>(myState, aDesc), aState);
    }

    Result Device::CreateDepthStencilState(const DepthStencilDesc& aDesc, Ref<DepthStencilState>* aState)
    {
        return Hand(std::make_shared<DepthStencilState>(myState, aDesc), aState);
    }

    Result Device::CreateRasterizerState(const RasterizerDesc& aDesc, Ref<RasterizerState>* aState)
    {
        return Hand(std::make_shared<RasterizerState>(myState, aDesc), aState);
    }

    Result Device::CreateSamplerState(const SamplerDesc& aDesc, Ref<SamplerState>* aState)
    {
        auto sampler = std::make_shared<SamplerState>(myState, aDesc);
        if (myState->IsOnDeviceThread())
        {
            impl::Backend::Realize(*sampler);
        }
        return Hand(std::move(sampler), aState);
    }

    Result Device::CreateVertexShader(const void* aBytecode, std::size_t aLength, Ref<VertexShader>* aShader)
    {
        std::optional<impl::CookedShader> cooked = impl::ParseCookedShader(aBytecode, aLength);
        if (!cooked || cooked->myStage != ShaderStage::Vertex)
        {
            return Result::InvalidArgument;
        }
        auto shader = std::make_shared<VertexShader>(myState, std::move(cooked->myReflection), std::move(cooked->mySource));
        if (myState->IsOnDeviceThread() && !impl::Backend::Realize(*shader))
        {
            return Result::Fail;
        }
        return Hand(std::move(shader), aShader);
    }

    Result Device::CreatePixelShader(const void* aBytecode, std::size_t aLength, Ref<PixelShader>* aShader)
    {
        std::optional<impl::CookedShader> cooked = impl::ParseCookedShader(aBytecode, aLength);
        if (!cooked || cooked->myStage != ShaderStage::Pixel)
        {
            return Result::InvalidArgument;
        }
        auto shader = std::make_shared<PixelShader>(myState, std::move(cooked->myReflection), std::move(cooked->mySource));
        if (myState->IsOnDeviceThread() && !impl::Backend::Realize(*shader))
        {
            return Result::Fail;
        }
        return Hand(std::move(shader), aShader);
    }

    Result Device::CreateInputLayout(const InputElementDesc* someElements, uint32_t aCount, const void* aBytecode, std::size_t aLength, Ref<InputLayout>* aLayout)
    {
        std::optional<impl::CookedShader> cooked = impl::ParseCookedShader(aBytecode, aLength);
        if (!cooked || cooked->myStage != ShaderStage::Vertex || (aCount > 0 && someElements == nullptr))
        {
            return Result::InvalidArgument;
        }
        std::vector<InputLayout::Attribute> attributes;
        std::vector<uint32_t> stepRates(MAX_VERTEX_BUFFER_SLOTS, 0);
        std::vector<bool> slotSeen(MAX_VERTEX_BUFFER_SLOTS, false);
        std::vector<uint32_t> nextOffset(MAX_VERTEX_BUFFER_SLOTS, 0);
        std::vector<bool> inputFed(cooked->myReflection.myInputs.size(), false);
        for (uint32_t index = 0; index < aCount; ++index)
        {
            const InputElementDesc& element = someElements[index];
            const impl::GlVertexFormat format = impl::GetGlVertexFormat(element.myFormat);
            if (format.mySize == 0 || element.myInputSlot >= MAX_VERTEX_BUFFER_SLOTS || element.mySemanticName == nullptr)
            {
                return Result::InvalidArgument;
            }
            const uint32_t offset = element.myAlignedByteOffset == APPEND_ALIGNED_ELEMENT ? nextOffset[element.myInputSlot] : element.myAlignedByteOffset;
            nextOffset[element.myInputSlot] = offset + format.mySize;
            if (!slotSeen[element.myInputSlot])
            {
                slotSeen[element.myInputSlot] = true;
                const bool perInstance = element.myInputSlotClass == InputClassification::PerInstanceData;
                stepRates[element.myInputSlot] = perInstance ? std::max(1u, element.myInstanceDataStepRate) : 0;
            }
            for (std::size_t input = 0; input < cooked->myReflection.myInputs.size(); ++input)
            {
                const ShaderReflection::Input& shaderInput = cooked->myReflection.myInputs[input];
                if (shaderInput.mySemanticIndex == element.mySemanticIndex && strcasecmp(shaderInput.mySemanticName.c_str(), element.mySemanticName) == 0)
                {
                    if (shaderInput.myIsInteger != format.myIsInteger)
                    {
                        return Result::InvalidArgument;
                    }
                    attributes.push_back({shaderInput.myLocation, element.myFormat, element.myInputSlot, offset, format.myIsInteger});
                    inputFed[input] = true;
                }
            }
        }
        if (std::find(inputFed.begin(), inputFed.end(), false) != inputFed.end())
        {
            return Result::InvalidArgument;
        }
        auto layout = std::make_shared<InputLayout>(myState, std::move(attributes), std::move(stepRates));
        if (myState->IsOnDeviceThread())
        {
            impl::Backend::Realize(*layout);
        }
        return Hand(std::move(layout), aLayout);
    }
}
