#include "fbx/LayeredTexture.h"

namespace Vra::Fbx
{
    const Texture* LayeredTexture::GetTexture(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetTextureCount() ? myTextures[anIndex] : nullptr;
    }
}
