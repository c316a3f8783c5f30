#include "fbx/MaterialProperty.h"

#include "fbx/LayeredTexture.h"

namespace Vra::Fbx
{
    const Texture* MaterialProperty::GetTexture(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetTextureCount() ? myTextures[anIndex] : nullptr;
    }

    int MaterialProperty::GetLayeredTextureCount() const
    {
        int count = 0;
        for (const Texture* texture : myTextures)
        {
            count += texture->AsLayeredTexture() ? 1 : 0;
        }
        return count;
    }

    const LayeredTexture* MaterialProperty::GetLayeredTexture(int anIndex) const
    {
        for (const Texture* texture : myTextures)
        {
            if (const LayeredTexture* layered = texture->AsLayeredTexture(); layered && anIndex-- == 0)
            {
                return layered;
            }
        }
        return nullptr;
    }
}
