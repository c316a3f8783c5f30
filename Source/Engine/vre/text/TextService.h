#pragma once
#include "text/InternalTextAndFontData.h"
#include "text/impl/FontKeyHash.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

struct FT_LibraryRec_;

namespace Vra
{
    class SpriteShader;
    class Text;

    // Loads fonts into glyph atlases on FreeType and draws texts through the sprite drawer.
    // Main thread only: a load creates a texture on the immediate context, and a load from any
    // other thread fails.
    class TextService
    {
    public:
        TextService();
        ~TextService();
        TextService(const TextService&) = delete;
        TextService& operator=(const TextService&) = delete;

        // Starts FreeType; its error code, 0 on success.
        int Init();

        // aSize in points at 100 dpi, aBorder in pixels. The font already loaded for the same
        // path, size and border while anybody holds it; empty when the font cannot be loaded.
        std::shared_ptr<InternalTextAndFontData> LoadFont(const std::string& aPath, uint32_t aSize, uint8_t aBorder);

        // One sprite per byte, in one batch through the engine's sprite drawer; aShader null for
        // the drawer's own. False when the text has no usable font or there is no engine.
        bool Render(const Text& aText, SpriteShader* aShader = nullptr);

        float GetTextWidth(const Text& aText) const;
        float GetTextHeight(const Text& aText) const;

    private:
        bool CreateAtlasTexture(InternalTextAndFontData& aFont) const;

        FT_LibraryRec_* myLibrary = nullptr;
        std::unordered_map<std::string, std::weak_ptr<InternalTextAndFontData>, impl::FontKeyHash> myFontCache;
    };
}
