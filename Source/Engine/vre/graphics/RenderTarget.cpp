#include "graphics/RenderTarget.h"

#include "Assert.h"
#include "graphics/DX11.h"
#include "graphics/DepthBuffer.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

namespace Vra
{
    using namespace Platform::Gpu;

    namespace
    {
        std::shared_ptr<const Viewport> ViewportOf(const Texture2DDesc& aDesc)
        {
            return std::make_shared<const Viewport>(Viewport{0.0f, 0.0f, static_cast<float>(aDesc.myWidth), static_cast<float>(aDesc.myHeight), 0.0f, 1.0f});
        }
    }

    RenderTarget::RenderTarget(const Ref<Texture2D>& aTexture)
        : RenderTarget(aTexture, nullptr)
    {
    }

    RenderTarget::RenderTarget(const Ref<Texture2D>& aTexture, Format aViewFormat)
    {
        RenderTargetViewDesc desc;
        desc.myFormat = aViewFormat;
        desc.myViewDimension = RtvDimension::Texture2D;
        desc.myMipSlice = 0;
        *this = RenderTarget(aTexture, &desc);
    }

    RenderTarget::RenderTarget(const Ref<Texture2D>& aTexture, const RenderTargetViewDesc* aDesc)
    {
        const Result result = DX11::Device->CreateRenderTargetView(aTexture, aDesc, &myRenderTargetView);
        CU_ASSERT(SUCCEEDED(result));
        myViewport = ViewportOf(aTexture->GetDesc());
    }

    RenderTarget RenderTarget::Create(Vector2<std::uint32_t> aSize, Format aFormat)
    {
        Texture2DDesc desc;
        desc.myWidth = aSize.x;
        desc.myHeight = aSize.y;
        desc.myMipLevels = 1;
        desc.myArraySize = 1;
        desc.myFormat = aFormat;
        desc.myUsage = Usage::Default;
        desc.myBindFlags = BIND_RENDER_TARGET | BIND_SHADER_RESOURCE;
        Ref<Texture2D> texture;
        Result result = DX11::Device->CreateTexture2D(desc, nullptr, &texture);
        CU_ASSERT(SUCCEEDED(result));

        RenderTarget target;
        result = DX11::Device->CreateRenderTargetView(texture, nullptr, &target.myRenderTargetView);
        target.myViewport = ViewportOf(desc);
        result = DX11::Device->CreateShaderResourceView(texture, nullptr, &target.myShaderResourceView);
        CU_ASSERT(SUCCEEDED(result));
        return target;
    }

    void RenderTarget::Clear(const Color& aColor) const
    {
        const float color[4] = {aColor.r, aColor.g, aColor.b, aColor.a};
        DX11::Context->ClearRenderTargetView(myRenderTargetView, color);
    }

    void RenderTarget::SetAsActiveTarget(const DepthBuffer* aDepth) const
    {
        DX11::Context->OMSetRenderTargets(1, &myRenderTargetView, aDepth ? aDepth->GetDepthStencilView() : nullptr);
        if (myViewport)
        {
            DX11::Context->RSSetViewports(1, myViewport.get());
        }
    }

    Vector2<std::uint32_t> RenderTarget::GetSize() const
    {
        if (!myViewport)
        {
            return {0, 0};
        }
        return {static_cast<std::uint32_t>(myViewport->myWidth), static_cast<std::uint32_t>(myViewport->myHeight)};
    }
}
