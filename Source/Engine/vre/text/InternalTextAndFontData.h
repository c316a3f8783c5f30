#pragma once
#include "graphics/TextureResource.h"
#include "text/GlyphRecord.h"
#include "gpu/GpuObjects.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Vra
{
    // A loaded font: its glyph table and atlas. Shared by every text that asks for the same
    // path, size and border while any of them holds it.
    struct InternalTextAndFontData
    {
        static constexpr uint32_t ATLAS_SIZE = 1024;
        static constexpr uint32_t GLYPH_COUNT = 1024;

        // Indexed by the character's byte value; only 32 to 255 are ever filled.
        std::array<GlyphRecord, GLYPH_COUNT> myGlyphs{};
        uint32_t myAtlasWidth = 0;
        uint32_t myAtlasHeight = 0;
        // Added to the advance of the space character.
        int32_t myExtraSpaceWidth = 0;
        uint32_t myFontSize = 0;
        // ATLAS_SIZE x ATLAS_SIZE pixels, red in the low byte; kept after upload.
        std::vector<uint32_t> myAtlasPixels;
        std::string myFontPath;
        // The atlas as the sprite drawer takes a colour texture; its view is myAtlasView.
        TextureResource myAtlasTexture;
        Platform::Gpu::Ref<Platform::Gpu::ShaderResourceView> myAtlasView;
    };
}
