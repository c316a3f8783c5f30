#include "graphics/DepthBuffer.h"

#include "Assert.h"
#include "graphics/DX11.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

namespace Vra
{
    using namespace Platform::Gpu;

    DepthBuffer DepthBuffer::Create(Vector2<std::uint32_t> aSize)
    {
        Texture2DDesc desc;
        desc.myWidth = aSize.x;
        desc.myHeight = aSize.y;
        desc.myMipLevels = 1;
        desc.myArraySize = 1;
        desc.myFormat = Format::R32_TYPELESS;
        desc.myUsage = Usage::Default;
        desc.myBindFlags = BIND_DEPTH_STENCIL | BIND_SHADER_RESOURCE;
        Ref<Texture2D> texture;
        Result result = DX11::Device->CreateTexture2D(desc, nullptr, &texture);
        CU_ASSERT(SUCCEEDED(result));

        DepthBuffer buffer;
        DepthStencilViewDesc depthDesc;
        depthDesc.myFormat = Format::D32_FLOAT;
        depthDesc.myViewDimension = DsvDimension::Texture2D;
        depthDesc.myFlags = 0;
        depthDesc.myMipSlice = 0;
        result = DX11::Device->CreateDepthStencilView(texture, &depthDesc, &buffer.myDepthStencilView);
        CU_ASSERT(SUCCEEDED(result));

        ShaderResourceViewDesc shaderDesc;
        shaderDesc.myFormat = Format::R32_FLOAT;
        shaderDesc.myViewDimension = SrvDimension::Texture2D;
        shaderDesc.myMostDetailedMip = 0;
        shaderDesc.myMipLevels = ALL_MIPS;
        result = DX11::Device->CreateShaderResourceView(texture, &shaderDesc, &buffer.myShaderResourceView);
        CU_ASSERT(SUCCEEDED(result));

        buffer.myViewport = std::make_shared<const Viewport>(Viewport{0.0f, 0.0f, static_cast<float>(aSize.x), static_cast<float>(aSize.y), 0.0f, 1.0f});
        return buffer;
    }

    void DepthBuffer::Clear(float aDepth, std::uint8_t aStencil) const
    {
        DX11::Context->ClearDepthStencilView(myDepthStencilView, CLEAR_DEPTH | CLEAR_STENCIL, aDepth, aStencil);
    }

    Vector2<std::uint32_t> DepthBuffer::GetSize() const
    {
        if (!myViewport)
        {
            return {0, 0};
        }
        return {static_cast<std::uint32_t>(myViewport->myWidth), static_cast<std::uint32_t>(myViewport->myHeight)};
    }
}
