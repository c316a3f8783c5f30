#include "text/impl/AtlasTextureUploader.h"

#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

namespace Vra::impl
{
    namespace Gpu = Platform::Gpu;

    Gpu::Ref<Gpu::ShaderResourceView> AtlasTextureUploader::Upload(Gpu::Device& aDevice, Gpu::DeviceContext& aContext,
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

        Gpu::Ref<Gpu::Texture2D> texture;
        if (FAILED(aDevice.CreateTexture2D(description, nullptr, &texture)) || !texture)
        {
            return nullptr;
        }
        aContext.UpdateSubresource(texture, 0, nullptr, somePixels.data(), aSize * sizeof(uint32_t), 0);
        Gpu::Ref<Gpu::ShaderResourceView> view;
        if (FAILED(aDevice.CreateShaderResourceView(texture, nullptr, &view)) || !view)
        {
            return nullptr;
        }
        aContext.GenerateMips(view);
        return view;
    }
}
