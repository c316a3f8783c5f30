#include "Shapes.h"

namespace ContentTool
{
    float CircleDistance(Vec2 p, Vec2 aCentre, float aRadius)
    {
        return Length(p - aCentre) - aRadius;
    }

    float EllipseDistance(Vec2 p, Vec2 aCentre, Vec2 aRadii)
    {
        // Scaled circle distance, corrected by the gradient length: close enough for edges a pixel wide.
        const Vec2 d = p - aCentre;
        const float k0 = Length(Vec2{d.x / aRadii.x, d.y / aRadii.y});
        const float k1 = Length(Vec2{d.x / (aRadii.x * aRadii.x), d.y / (aRadii.y * aRadii.y)});
        if (k1 <= 0.0f)
        {
            return -std::min(aRadii.x, aRadii.y);
        }
        return k0 * (k0 - 1.0f) / k1;
    }

    float SegmentDistance(Vec2 p, Vec2 a, Vec2 b)
    {
        const Vec2 ab = b - a;
        const Vec2 ap = p - a;
        const float lengthSquared = Dot(ab, ab);
        const float t = lengthSquared > 0.0f ? Clamp01(Dot(ap, ab) / lengthSquared) : 0.0f;
        return Length(ap - ab * t);
    }

    float RoundedBoxDistance(Vec2 p, Vec2 aCentre, Vec2 aHalfSize, float aCornerRadius)
    {
        const Vec2 q{std::abs(p.x - aCentre.x) - aHalfSize.x + aCornerRadius, std::abs(p.y - aCentre.y) - aHalfSize.y + aCornerRadius};
        const float outside = Length(Vec2{std::max(q.x, 0.0f), std::max(q.y, 0.0f)});
        return outside + std::min(std::max(q.x, q.y), 0.0f) - aCornerRadius;
    }

    float PolygonDistance(Vec2 p, const std::vector<Vec2>& somePoints)
    {
        float best = 1e30f;
        bool inside = false;
        const std::size_t count = somePoints.size();
        for (std::size_t i = 0, j = count - 1; i < count; j = i++)
        {
            const Vec2 a = somePoints[j];
            const Vec2 b = somePoints[i];
            best = std::min(best, SegmentDistance(p, a, b));
            if ((b.y > p.y) != (a.y > p.y) && p.x < (a.x - b.x) * (p.y - b.y) / (a.y - b.y) + b.x)
            {
                inside = !inside;
            }
        }
        return inside ? -best : best;
    }

    Vec2 PolygonMin(const std::vector<Vec2>& somePoints)
    {
        Vec2 low{1e30f, 1e30f};
        for (const Vec2& point : somePoints)
        {
            low = {std::min(low.x, point.x), std::min(low.y, point.y)};
        }
        return low;
    }

    Vec2 PolygonMax(const std::vector<Vec2>& somePoints)
    {
        Vec2 high{-1e30f, -1e30f};
        for (const Vec2& point : somePoints)
        {
            high = {std::max(high.x, point.x), std::max(high.y, point.y)};
        }
        return high;
    }

    void FillCircle(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour)
    {
        const Vec2 reach{aRadius, aRadius};
        FillShape(anImage, BoundsOf(anImage, aCentre - reach, aCentre + reach),
                  [&](Vec2 p) { return CircleDistance(p, aCentre, aRadius); }, [&](Vec2) { return aColour; });
    }

    void FillEllipse(Image& anImage, Vec2 aCentre, Vec2 aRadii, const Colour& aColour)
    {
        FillShape(anImage, BoundsOf(anImage, aCentre - aRadii, aCentre + aRadii),
                  [&](Vec2 p) { return EllipseDistance(p, aCentre, aRadii); }, [&](Vec2) { return aColour; });
    }

    void FillPolygon(Image& anImage, const std::vector<Vec2>& somePoints, const Colour& aColour)
    {
        FillShape(anImage, BoundsOf(anImage, PolygonMin(somePoints), PolygonMax(somePoints)),
                  [&](Vec2 p) { return PolygonDistance(p, somePoints); }, [&](Vec2) { return aColour; });
    }

    void StrokeSegment(Image& anImage, Vec2 a, Vec2 b, float aRadius, const Colour& aColour)
    {
        const Vec2 low{std::min(a.x, b.x) - aRadius, std::min(a.y, b.y) - aRadius};
        const Vec2 high{std::max(a.x, b.x) + aRadius, std::max(a.y, b.y) + aRadius};
        FillShape(anImage, BoundsOf(anImage, low, high),
                  [&](Vec2 p) { return SegmentDistance(p, a, b) - aRadius; }, [&](Vec2) { return aColour; });
    }

    void Glow(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour)
    {
        const Vec2 reach{aRadius, aRadius};
        FillBox(anImage, BoundsOf(anImage, aCentre - reach, aCentre + reach, 0.0f), [&](Vec2 p) {
            const float t = Clamp01(1.0f - Length(p - aCentre) / aRadius);
            return WithAlpha(aColour, aColour.a * t * t);
        });
    }

    Colour GradientAt(const std::vector<GradientStop>& someStops, float aPosition)
    {
        if (aPosition <= someStops.front().myPosition)
        {
            return someStops.front().myColour;
        }
        for (std::size_t i = 1; i < someStops.size(); ++i)
        {
            if (aPosition <= someStops[i].myPosition)
            {
                const GradientStop& low = someStops[i - 1];
                const GradientStop& high = someStops[i];
                return Mix(low.myColour, high.myColour, SmoothStep(low.myPosition, high.myPosition, aPosition));
            }
        }
        return someStops.back().myColour;
    }

    void FillVerticalGradient(Image& anImage, const std::vector<GradientStop>& someStops)
    {
        const float height = static_cast<float>(anImage.Height());
        FillBox(anImage, Whole(anImage), [&](Vec2 p) { return GradientAt(someStops, p.y / height); });
    }

    void SoftDisc(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour, float aCore)
    {
        const Vec2 reach{aRadius, aRadius};
        FillBox(anImage, BoundsOf(anImage, aCentre - reach, aCentre + reach, 1.0f), [&](Vec2 p) {
            return WithAlpha(aColour, aColour.a * SmoothStep(aRadius, aRadius * aCore, Length(p - aCentre)));
        });
    }

    void Sparkle(Image& anImage, Vec2 aCentre, float aRadius, const Colour& aColour)
    {
        Glow(anImage, aCentre, aRadius * 0.8f, WithAlpha(aColour, aColour.a * 0.6f));
        const float thin = std::max(1.0f, aRadius * 0.12f);
        FillPolygon(anImage, {{aCentre.x - aRadius, aCentre.y}, {aCentre.x, aCentre.y - thin}, {aCentre.x + aRadius, aCentre.y}, {aCentre.x, aCentre.y + thin}}, aColour);
        FillPolygon(anImage, {{aCentre.x, aCentre.y - aRadius}, {aCentre.x + thin, aCentre.y}, {aCentre.x, aCentre.y + aRadius}, {aCentre.x - thin, aCentre.y}}, aColour);
    }
}
