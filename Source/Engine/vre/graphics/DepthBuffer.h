#pragma once
#include "Math/Vector2.h"
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <memory>

namespace Vra
{
    // A 32-bit float depth buffer that shaders can also read (as R32_FLOAT).
    class DepthBuffer
    {
    public:
        DepthBuffer() = default;

        static DepthBuffer Create(Vector2<std::uint32_t> aSize);

        // Clears depth and stencil.
        void Clear(float aDepth, std::uint8_t aStencil) const;
        Vector2<std::uint32_t> GetSize() const;

        const Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView>& GetShaderResourceView() const { return myShaderResourceView; }
        const Platform::Gpu::Ref<Platform::Gpu::DepthStencilView>& GetDepthStencilView() const { return myDepthStencilView; }
        const std::shared_ptr<const Platform::Gpu::Viewport>& GetViewport() const { return myViewport; }

    private:
        Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> myShaderResourceView;
        Platform::Gpu::Ref<Platform::Gpu::DepthStencilView> myDepthStencilView;
        std::shared_ptr<const Platform::Gpu::Viewport> myViewport;
    };
}
