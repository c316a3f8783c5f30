#pragma once
#include "fbx/Texture.h"

#include <vector>

namespace Vra::Fbx
{
    // A stack of textures blended together.
    class LayeredTexture : public Texture
    {
    public:
        LayeredTexture() = default;

        int GetTextureCount() const { return static_cast<int>(myTextures.size()); }
        const Texture* GetTexture(int anIndex) const; // null when out of range
        const LayeredTexture* AsLayeredTexture() const override { return this; }

    private:
        friend class SceneBuilder;
        std::vector<const Texture*> myTextures;
    };
}
