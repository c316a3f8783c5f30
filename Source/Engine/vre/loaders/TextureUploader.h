#pragma once
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "loaders/ImageData.h"
#include "loaders/TargaLoader.h"

#include <cstdint>

namespace Platform
{
    struct DecodedImage;
}

namespace Vra
{
    // Turns decoded images into GPU textures and their shader views. Every function answers
    // an empty view when the GPU refuses the texture.
    class TextureUploader
    {
    public:
        using View = Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView>;

        // Default usage, read by shaders only; a cube map is viewed as a cube. The texture takes the
        // image's bytes over (a texture made off the device thread uploads from them later).
        static View FromDds(Platform::Gpu::Device& aDevice, ImageData&& anImage);
        // Uploads the top level and lets the context build the mip chain, as the platform's
        // image loader does when it is given a context. aFormat is an 8-bit RGBA format.
        static View FromDecodedImage(Platform::Gpu::Device& aDevice, Platform::Gpu::DeviceContext& aContext,
                                     const Platform::DecodedImage& anImage, Platform::Gpu::Format aFormat);
        // Dynamic and CPU-writable, always in the sRGB format.
        static View FromTarga(Platform::Gpu::Device& aDevice, const TargaImage& anImage);
        // One level filled from memory, rows of aWidth * 4 bytes.
        static View FromPixels(Platform::Gpu::Device& aDevice, std::uint32_t aWidth, std::uint32_t aHeight,
                               Platform::Gpu::Format aFormat, const std::uint8_t* somePixels);
    };
}
