#pragma once
#include "Image.h"

#include <vector>

namespace ContentTool
{
    // Signed distances in pixels, negative inside.
    float CircleDistance(Vec2 p, Vec2 aCentre, float aRadius);
    float EllipseDistance(Vec2 p, Vec2 aCentre, Vec2 aRadii);
    float SegmentDistance(Vec2 p, Vec2 a, Vec2 b);
    float RoundedBoxDistance(Vec2 p, Vec2 aCentre, Vec2 aHalfSize, float aCornerRadius);
    // Exact distance to a closed polygon (any winding, may be concave).
    float PolygonDistance(Vec2 p, const std::vector<Vec2>& somePoints);
    Vec2 PolygonMin(const std::vector<Vec2>& somePoints);
    Vec2 PolygonMax(const std::vector<Vec2>& somePoints);

    // Convenience painters over the shapes above.
    void FillCircle(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour);
    void FillEllipse(Image& anImage, Vec2 aCentre, Vec2 aRadii, const Colour& aColour);
    void FillPolygon(Image& anImage, const std::vector<Vec2>& somePoints, const Colour& aColour);
    void StrokeSegment(Image& anImage, Vec2 a, Vec2 b, float aRadius, const Colour& aColour);
    // A soft round light: aColour at the centre fading to nothing at aRadius.
    void Glow(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour);
    // Vertical gradient through the given stops (position 0 top .. 1 bottom) over the whole image.
    struct GradientStop
    {
        float myPosition;
        Colour myColour;
    };
    Colour GradientAt(const std::vector<GradientStop>& someStops, float aPosition);
    void FillVerticalGradient(Image& anImage, const std::vector<GradientStop>& someStops);

    // A disc with a soft rim: solid inside aRadius * aCore, fading out to aRadius.
    void SoftDisc(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour, float aCore = 0.35f);
    // A four-pointed glint: two crossed thin diamonds with a glow.
    void Sparkle(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour);
}
