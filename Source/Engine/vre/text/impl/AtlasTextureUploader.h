#pragma once
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <vector>

namespace Platform::Gpu
{
    class Device;
    class DeviceContext;
}

namespace Vra::impl
{
    // Turns a font's atlas pixels into a mipmapped texture the sprite shader can sample.
    class AtlasTextureUploader
    {
    public:
        // somePixels holds aSize x aSize RGBA pixels (red in the low byte). Null on failure.
        static Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> Upload(Platform::Gpu::Device& aDevice,
                                                                              Platform::Gpu::DeviceContext& aContext,
                                                                              const std::vector<uint32_t>& somePixels,
                                                                              uint32_t aSize);
    };
}
