#pragma once
#include <cstdint>

namespace Vra
{
    // One character of a font atlas; a character FreeType could not place stays all zero.
    struct GlyphRecord
    {
        // Left u, top v, right u, bottom v in the atlas.
        float myTextureRect[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
        // Pixels, each including twice the border.
        int16_t myWidth = 0;
        int16_t myHeight = 0;
        // Whole pixels.
        int16_t myAdvanceX = 0;
        int16_t myAdvanceY = 0;
        // Offsets of the rendered bitmap from the pen; the top one counts upward from the baseline.
        int16_t myLeftBearing = 0;
        int16_t myTopBearing = 0;
    };
}
