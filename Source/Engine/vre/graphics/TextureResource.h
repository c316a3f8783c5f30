#pragma once
#include "Math/Vector2.h"
#include "graphics/TextureSrgbMode.h"
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <string>

namespace Vra
{
    // A shader-readable texture. The texture manager owns every one and replaces its view in
    // place on reload, so the rest of the engine holds plain pointers.
    class TextureResource
    {
    public:
        using View = Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView>;

        // Width and height of the view's texture; 0, 0 without one.
        Vector2<std::uint32_t> GetSize() const;
        void SetView(View aView) { mySRV = std::move(aView); }
        // Binds the view at that pixel-shader slot; the view must exist.
        void Bind(std::uint32_t aSlot) const;

        View mySRV;
        TextureSrgbMode mySrgbMode = TextureSrgbMode::AsFile;
        // The resolved file of a loaded texture, the requested path of a placeholder.
        std::string myPath = "undefined";
        // What a reload asks for again.
        std::string myRequestedPath;
        // Width and height divided by the render height at load time.
        Vector2<float> myRelativeSize;
        Vector2<std::uint32_t> mySize;
        bool myIsPlaceholder = false;
    };
}
