#include "graphics/TextureResource.h"

namespace Vra
{
    Vector2<std::uint32_t> TextureResource::GetSize() const
    {
        if (!mySRV || !mySRV->GetTexture2D())
        {
            return {0, 0};
        }
        const Platform::Gpu::Texture2DDesc& desc = mySRV->GetTexture2D()->GetDesc();
        return {desc.myWidth, desc.myHeight};
    }
}
