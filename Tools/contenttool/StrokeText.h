#pragma once
#include "PaintTypes.h"

#include <string>
#include <vector>

namespace ContentTool
{
    // A line of capitals, digits and a little punctuation drawn as round-capped strokes: our own
    // glyph skeletons (cap height 6 units), so the content needs no font file. Characters without
    // a glyph are refused with an exception, so a typo in a caption fails the build.
    class StrokeText
    {
    public:
        // aCapHeight and aStrokeWidth in pixels; aTracking is the extra gap between glyphs in glyph
        // units; aSlant leans the glyphs (x grows by aSlant per unit of height).
        StrokeText(const std::string& aText, float aCapHeight, float aStrokeWidth, float aTracking = 1.3f, float aSlant = 0.0f);

        static bool HasGlyph(char aCharacter);

        // Size of the inked area in pixels, strokes included.
        float Width() const { return myWidth; }
        float Height() const { return myHeight; }

        // Moves the text so that its inked box is centred on aCentre.
        void CentreAt(Vec2 aCentre);
        Vec2 Min() const { return myOrigin; }
        Vec2 Max() const { return myOrigin + Vec2{myWidth, myHeight}; }

        // Signed distance in pixels from p to the strokes' edge (negative inside).
        float Distance(Vec2 p) const;

    private:
        struct Segment
        {
            Vec2 a;
            Vec2 b;
        };
        struct PlacedGlyph
        {
            Vec2 myMin;
            Vec2 myMax;
            std::vector<Segment> mySegments;
        };

        std::vector<PlacedGlyph> myGlyphs; // relative to myOrigin
        Vec2 myOrigin;
        float myRadius;
        float myDescent = 0.0f;
        float myWidth = 0.0f;
        float myHeight = 0.0f;
    };
}
