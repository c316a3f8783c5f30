#pragma once
#include "Image.h"
#include "StrokeText.h"

namespace ContentTool
{
    // How a caption is inked: a vertical fill gradient, an outline, a drop shadow and a glow;
    // any part with alpha 0 is left out.
    struct TextStyle
    {
        Colour myTop = {1.0f, 1.0f, 1.0f, 1.0f};
        Colour myBottom = {1.0f, 1.0f, 1.0f, 1.0f};
        Colour myOutline = {0.0f, 0.0f, 0.0f, 0.0f};
        float myOutlineWidth = 0.0f;
        Colour myShadow = {0.0f, 0.0f, 0.0f, 0.0f};
        Vec2 myShadowOffset = {0.0f, 0.0f};
        float myShadowSoftness = 1.0f;
        Colour myGlow = {0.0f, 0.0f, 0.0f, 0.0f};
        float myGlowRadius = 0.0f;
    };

    void PaintText(Image& anImage, const StrokeText& aText, const TextStyle& aStyle);
    // Lays out aCaption centred on aCentre (smaller where it would not fit the picture's width)
    // and paints it; returns the laid-out text.
    StrokeText PaintCaption(Image& anImage, const std::string& aCaption, Vec2 aCentre, float aCapHeight, float aStrokeWidth,
                            const TextStyle& aStyle, float aTracking = 1.3f, float aSlant = 0.0f);
}
