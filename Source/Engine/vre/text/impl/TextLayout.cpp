#include "text/impl/TextLayout.h"

#include <limits>

namespace Vra::impl
{
    float TextLayout::Width(const InternalTextAndFontData& aFont, std::string_view aText, float aScale)
    {
        if (aText.empty())
        {
            return 0.0f;
        }
        float result = std::numeric_limits<float>::min();
        ForEachGlyph(aFont, aText, aScale, [&](float aX, float, const GlyphRecord& aGlyph) {
            result = std::max(result, aX + static_cast<float>(aGlyph.myWidth));
        });
        return result;
    }

    float TextLayout::Height(const InternalTextAndFontData& aFont, std::string_view aText, float aScale)
    {
        if (aText.empty())
        {
            return 0.0f;
        }
        float result = std::numeric_limits<float>::min();
        ForEachGlyph(aFont, aText, aScale, [&](float, float aY, const GlyphRecord& aGlyph) {
            result = std::max(result, aY + static_cast<float>(aGlyph.myHeight));
        });
        return result;
    }

    TextLayout::Point TextLayout::Centre(const InternalTextAndFontData& aFont, std::string_view aText, float aScale)
    {
        Point minimum{ std::numeric_limits<float>::max(), std::numeric_limits<float>::max() };
        // The lowest float, not the smallest positive one: a block lying wholly below or left of
        // the origin must still find its own edges.
        Point maximum{ std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest() };
        ForEachGlyph(aFont, aText, aScale, [&](float aX, float aY, const GlyphRecord& aGlyph) {
            minimum.myX = std::min(minimum.myX, aX);
            minimum.myY = std::min(minimum.myY, aY);
            maximum.myX = std::max(maximum.myX, aX + static_cast<float>(aGlyph.myWidth));
            maximum.myY = std::max(maximum.myY, aY + static_cast<float>(aGlyph.myHeight));
        });
        return { (maximum.myX + minimum.myX) / 2.0f, (maximum.myY + minimum.myY) / 2.0f };
    }
}
