#pragma once
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <memory>

namespace Vra
{
    class DepthBuffer;

    // A render-target view with an optional shader view and its viewport. Copies share the views
    // and the viewport.
    class RenderTarget
    {
    public:
        RenderTarget() = default;
        // Over an existing texture (the swap chain's buffer), in its own format or the one given.
        explicit RenderTarget(const Platform::Gpu::Ref<Platform::Gpu::Texture2D>& aTexture);
        RenderTarget(const Platform::Gpu::Ref<Platform::Gpu::Texture2D>& aTexture, Platform::Gpu::Format aViewFormat);

        // A new texture of that size and format with both views.
        static RenderTarget Create(Vector2<std::uint32_t> aSize, Platform::Gpu::Format aFormat);

        // The colour is written as given, without conversion.
        void Clear(const Color& aColor) const;
        void SetAsActiveTarget(const DepthBuffer* aDepth) const;
        // The viewport's size; 0, 0 for an empty target.
        Vector2<std::uint32_t> GetSize() const;

        const Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView>& GetShaderResourceView() const { return myShaderResourceView; }
        const Platform::Gpu::Ref<Platform::Gpu::RenderTargetView>& GetRenderTargetView() const { return myRenderTargetView; }
        const std::shared_ptr<const Platform::Gpu::Viewport>& GetViewport() const { return myViewport; }

    private:
        RenderTarget(const Platform::Gpu::Ref<Platform::Gpu::Texture2D>& aTexture, const Platform::Gpu::RenderTargetViewDesc* aDesc);

        Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> myShaderResourceView;
        Platform::Gpu::Ref<Platform::Gpu::RenderTargetView> myRenderTargetView;
        std::shared_ptr<const Platform::Gpu::Viewport> myViewport;
    };
}
