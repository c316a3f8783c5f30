#pragma once
#include "text/InternalTextAndFontData.h"

#include <algorithm>
#include <string_view>

namespace Vra::impl
{
    // Where each character of a string goes: one glyph per byte, left to right from the pen
    // at (0, 0), y upward; a line feed drops the pen by the tallest glyph so far plus a gap.
    class TextLayout
    {
    public:
        static constexpr float LINE_GAP = 6.0f;

        struct Point
        {
            float myX = 0.0f;
            float myY = 0.0f;
        };

        // aVisit(x, y, glyph) per byte, line feeds and spaces included; x and y are the glyph's
        // top-left corner, scaled.
        template <typename Visit>
        static void ForEachGlyph(const InternalTextAndFontData& aFont, std::string_view aText, float aScale,
                                 Visit&& aVisit)
        {
            float penX = 0.0f;
            float penY = 0.0f;
            float lineHeight = 0.0f;
            for (const char character : aText)
            {
                const GlyphRecord& glyph = aFont.myGlyphs[static_cast<unsigned char>(character)];
                lineHeight = std::max(lineHeight, static_cast<float>(glyph.myHeight));
                const float glyphY = (static_cast<float>(glyph.myTopBearing) + penY) * aScale;
                const float glyphX = (static_cast<float>(glyph.myLeftBearing) + penX) * aScale;
                if (character == '\n')
                {
                    penX = 0.0f;
                    penY -= lineHeight + LINE_GAP;
                }
                else
                {
                    if (character == ' ')
                    {
                        penX += static_cast<float>(aFont.myExtraSpaceWidth);
                    }
                    penX += static_cast<float>(glyph.myAdvanceX);
                }
                aVisit(glyphX, glyphY, glyph);
            }
        }

        // The rightmost glyph edge (glyph widths unscaled); 0 for an empty string.
        static float Width(const InternalTextAndFontData& aFont, std::string_view aText, float aScale);
        // The topmost glyph edge (glyph heights unscaled); 0 for an empty string.
        static float Height(const InternalTextAndFontData& aFont, std::string_view aText, float aScale);
        // The middle of the box around every glyph, the point a rotated text turns about.
        static Point Centre(const InternalTextAndFontData& aFont, std::string_view aText, float aScale);
    };
}
