#include "graphics/TextureResource.h"

#include "Assert.h"
#include "graphics/DX11.h"
#include "gpu/DeviceContext.h"

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

    void TextureResource::Bind(std::uint32_t aSlot) const
    {
        CU_ASSERT_MSG(mySRV != nullptr, "mySRV.Get()");
        DX11::Context->PSSetShaderResources(aSlot, 1, &mySRV);
    }
}
