#include "text/impl/AtlasTextureUploader.h"

#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

#include <algorithm>

namespace Vra::impl
{
    namespace Gpu = Platform::Gpu;

    Gpu::Ref<Gpu::ShaderResourceView> AtlasTextureUploader::Upload(Gpu::Device& aDevice, Gpu::DeviceContext& /*aContext*/,
                                                                   const std::vector<uint32_t>& somePixels, uint32_t aSize)
    {
        if (somePixels.size() != static_cast<size_t>(aSize) * aSize)
        {
            return nullptr;
        }
        Gpu::Texture2DDesc description;
        description.myWidth = aSize;
        description.myHeight = aSize;
        description.myMipLevels = 0; // the full chain, so scaled-down text stays smooth
        description.myArraySize = 1;
        description.myFormat = Gpu::Format::R8G8B8A8_UNORM;
        description.mySampleDesc = { 1, 0 };
        description.myUsage = Gpu::Usage::Default;
        description.myBindFlags = Gpu::BIND_SHADER_RESOURCE | Gpu::BIND_RENDER_TARGET;
        description.myMiscFlags = Gpu::RESOURCE_MISC_GENERATE_MIPS;

        // The chain is made here, by the same 2 x 2 box filter the context's GenerateMips applies:
        // the software renderer would compile a blit program of its own for it, which costs a
        // start-up far more than the halving does.
        std::vector<std::vector<uint32_t>> levels;
        std::vector<Gpu::SubresourceData> initialData{{somePixels.data(), aSize * static_cast<uint32_t>(sizeof(uint32_t)), 0}};
        const uint32_t* above = somePixels.data();
        for (uint32_t size = aSize / 2, aboveSize = aSize; size >= 1; aboveSize = size, size /= 2)
        {
            std::vector<uint32_t>& level = levels.emplace_back(static_cast<size_t>(size) * size);
            for (uint32_t y = 0; y < size; ++y)
            {
                const uint32_t* row0 = above + static_cast<size_t>(2 * y) * aboveSize;
                const uint32_t* row1 = above + static_cast<size_t>(std::min(2 * y + 1, aboveSize - 1)) * aboveSize;
                for (uint32_t x = 0; x < size; ++x)
                {
                    const uint32_t right = std::min(2 * x + 1, aboveSize - 1);
                    const uint32_t quad[4] = {row0[2 * x], row0[right], row1[2 * x], row1[right]};
                    uint32_t pixel = 0;
                    for (uint32_t shift = 0; shift < 32; shift += 8)
                    {
                        const uint32_t sum = ((quad[0] >> shift) & 0xFF) + ((quad[1] >> shift) & 0xFF) + ((quad[2] >> shift) & 0xFF) + ((quad[3] >> shift) & 0xFF);
                        pixel |= ((sum + 2) / 4) << shift;
                    }
                    level[static_cast<size_t>(y) * size + x] = pixel;
                }
            }
            initialData.push_back({level.data(), size * static_cast<uint32_t>(sizeof(uint32_t)), 0});
            above = level.data();
        }

        Gpu::Ref<Gpu::Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(description, initialData.data(), &texture)) || !texture)
        {
            return nullptr;
        }
        Gpu::Ref<Gpu::ShaderResourceView> view;
        if (FAILED(aDevice.CreateShaderResourceView(texture, nullptr, &view)) || !view)
        {
            return nullptr;
        }
        return view;
    }
}
