#include "Lettering.h"

#include <cmath>

namespace ContentTool
{
    void PaintText(Image& anImage, const StrokeText& aText, const TextStyle& aStyle)
    {
        const float reach = std::max({aStyle.myOutlineWidth, aStyle.myGlowRadius * 3.0f,
                                      std::abs(aStyle.myShadowOffset.x) + std::abs(aStyle.myShadowOffset.y) + aStyle.myShadowSoftness * 2.0f}) + 2.0f;
        const Box box = BoundsOf(anImage, aText.Min(), aText.Max(), reach);
        const float top = aText.Min().y;
        const float height = aText.Height();
        for (int y = box.myTop; y < box.myBottom; ++y)
        {
            for (int x = box.myLeft; x < box.myRight; ++x)
            {
                const Vec2 p{x + 0.5f, y + 0.5f};
                const float d = aText.Distance(p);
                if (aStyle.myGlow.a > 0.0f && d > 0.0f)
                {
                    anImage.Over(x, y, aStyle.myGlow, std::exp(-d / aStyle.myGlowRadius));
                }
                if (aStyle.myShadow.a > 0.0f)
                {
                    const float shadow = aText.Distance(p - aStyle.myShadowOffset);
                    anImage.Over(x, y, aStyle.myShadow, Clamp01(0.5f - shadow / aStyle.myShadowSoftness));
                }
                if (aStyle.myOutline.a > 0.0f)
                {
                    anImage.Over(x, y, aStyle.myOutline, Clamp01(0.5f - (d - aStyle.myOutlineWidth)));
                }
                const float coverage = Clamp01(0.5f - d);
                if (coverage > 0.0f)
                {
                    anImage.Over(x, y, Mix(aStyle.myTop, aStyle.myBottom, Clamp01((p.y - top) / height)), coverage);
                }
            }
        }
    }

    StrokeText PaintCaption(Image& anImage, const std::string& aCaption, Vec2 aCentre, float aCapHeight, float aStrokeWidth,
                            const TextStyle& aStyle, float aTracking, float aSlant)
    {
        // A caption wider than the picture (less a margin) is set smaller, so nothing is cut off.
        const float room = anImage.Width() * 0.92f;
        StrokeText text(aCaption, aCapHeight, aStrokeWidth, aTracking, aSlant);
        if (text.Width() > room)
        {
            const float scale = room / text.Width();
            text = StrokeText(aCaption, aCapHeight * scale, aStrokeWidth * scale, aTracking, aSlant);
        }
        text.CentreAt(aCentre);
        PaintText(anImage, text, aStyle);
        return text;
    }
}
