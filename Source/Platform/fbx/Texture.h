#pragma once
#include "fbx/Object.h"

namespace Vra::Fbx
{
    class FileTexture;
    class LayeredTexture;

    // Any texture a material property can be connected to.
    class Texture : public Object
    {
    public:
        // Down-casts without RTTI tricks at the call site; null when the texture is another kind.
        virtual const FileTexture* AsFileTexture() const { return nullptr; }
        virtual const LayeredTexture* AsLayeredTexture() const { return nullptr; }

    protected:
        Texture() = default;
    };
}
