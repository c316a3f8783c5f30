#include "Scenery.h"

#include "Shapes.h"

#include <cmath>
#include <vector>

namespace ContentTool
{
    namespace
    {
        float RidgeNoise(const RidgeStyle& aStyle, float aCell)
        {
            float sum = 0.0f;
            float weight = 0.5f;
            float total = 0.0f;
            float cell = aCell;
            int period = aStyle.myPeriod;
            for (int octave = 0; octave < aStyle.myOctaves; ++octave)
            {
                const std::uint32_t seed = aStyle.mySeed * 31u + octave;
                const float smooth = period > 0 ? PeriodicNoise1D(cell, period, seed) : ValueNoise(cell, 0.5f, seed);
                const float ridged = 1.0f - std::abs(smooth * 2.0f - 1.0f);
                sum += Lerp(smooth, ridged, aStyle.myJaggedness) * weight;
                total += weight;
                cell *= 2.0f;
                period *= 2;
                weight *= 0.5f;
            }
            return sum / total;
        }
    }

    float RidgeHeight(const RidgeStyle& aStyle, float aX)
    {
        return aStyle.myBase - aStyle.myAmplitude * RidgeNoise(aStyle, aX / aStyle.myWavelength);
    }

    void PaintRidge(Image& anImage, const RidgeStyle& aStyle)
    {
        const float height = static_cast<float>(anImage.Height());
        for (int x = 0; x < anImage.Width(); ++x)
        {
            const float cx = x + 0.5f;
            // Four samples across the column give the coverage of steep and even overhanging-
            // looking flanks, where a vertical distance says nothing about the edge.
            float tops[4];
            for (int i = 0; i < 4; ++i)
            {
                tops[i] = RidgeHeight(aStyle, x + 0.125f + 0.25f * i);
            }
            const float top = RidgeHeight(aStyle, cx);
            const float highest = std::min({tops[0], tops[1], tops[2], tops[3]});
            // Shading follows the broad shape of the slope, not every small bump of the line.
            const float slope = (RidgeHeight(aStyle, cx + 16.0f) - RidgeHeight(aStyle, cx - 16.0f)) / 32.0f;
            const float facing = SmoothStep(-0.25f, 0.25f, slope);
            const float peakLevel = aStyle.myBase - aStyle.myAmplitude;
            for (int y = std::max(0, static_cast<int>(highest) - 2); y < anImage.Height(); ++y)
            {
                const float cy = y + 0.5f;
                float coverage = 0.0f;
                for (const float sampleTop : tops)
                {
                    coverage += Clamp01(cy - sampleTop + 0.5f) * 0.25f;
                }
                if (coverage <= 0.0f)
                {
                    continue;
                }
                const float depth = Clamp01((cy - peakLevel) / std::max(1.0f, height - peakLevel));
                Colour colour = Mix(aStyle.myTop, aStyle.myBottom, depth);
                if (aStyle.myRim.a > 0.0f)
                {
                    // Slopes rising to the right face the light on the left.
                    const float lit = facing * std::exp(-(cy - top) / 18.0f);
                    colour = Mix(colour, WithAlpha(aStyle.myRim, colour.a), lit * aStyle.myRim.a);
                }
                if (aStyle.mySnow.a > 0.0f)
                {
                    // Snow above the snow line, lying near the surface, with a ragged lower edge.
                    const float snowLine = peakLevel + aStyle.myAmplitude * aStyle.mySnowDepth;
                    const float capDepth = aStyle.myAmplitude * aStyle.mySnowDepth * 0.6f;
                    const float ragged = (Fbm(cx / 28.0f, cy / 28.0f, 3, aStyle.mySeed + 7u) - 0.5f) * capDepth;
                    const float snow = SmoothStep(snowLine + capDepth * 0.3f, snowLine - capDepth * 0.3f, cy + ragged) *
                                       SmoothStep(capDepth, capDepth * 0.5f, cy - top + ragged);
                    colour = Mix(colour, WithAlpha(Scaled(aStyle.mySnow, 0.9f + 0.1f * facing), colour.a), snow * aStyle.mySnow.a);
                }
                anImage.Over(x, y, colour, coverage);
            }
        }
    }

    void PaintStars(Image& anImage, std::uint32_t aSeed, int aCount, float aBottom, float aBrightness)
    {
        Random random(aSeed);
        for (int i = 0; i < aCount; ++i)
        {
            const Vec2 at{random.Range(0.0f, static_cast<float>(anImage.Width())), random.Range(0.0f, aBottom)};
            const float fade = 1.0f - at.y / aBottom;
            const float size = random.Range(0.6f, 1.0f) * (random.Below(12) == 0 ? 2.2f : 1.0f);
            const Colour tint = Mix(Hex(0xffffff), Hex(0xbcd4ff), random.Range(0.0f, 1.0f));
            Glow(anImage, at, size * 3.0f, WithAlpha(tint, aBrightness * fade * 0.5f));
            FillCircle(anImage, at, size * 0.7f, WithAlpha(tint, aBrightness * fade));
        }
    }

    void PaintMoon(Image& anImage, Vec2 aCentre, float aRadius)
    {
        Glow(anImage, aCentre, aRadius * 5.0f, WithAlpha(Hex(0xcfe0ff), 0.25f));
        Glow(anImage, aCentre, aRadius * 2.0f, WithAlpha(Hex(0xe8f0ff), 0.35f));
        const Vec2 reach{aRadius, aRadius};
        FillShape(anImage, BoundsOf(anImage, aCentre - reach, aCentre + reach),
                  [&](Vec2 p) { return CircleDistance(p, aCentre, aRadius); },
                  [&](Vec2 p) {
                      const Vec2 d = (p - aCentre) * (1.0f / aRadius);
                      const float maria = Fbm(d.x * 2.5f + 3.0f, d.y * 2.5f + 1.0f, 4, 991u);
                      const float shade = 0.92f - 0.18f * SmoothStep(0.45f, 0.7f, maria) - 0.08f * Clamp01(Dot(d, Vec2{0.6f, 0.4f}));
                      return Scaled(Hex(0xf5f2e6), shade);
                  });
    }

    void PaintAurora(Image& anImage, float aBaseY, float aHeight, std::uint32_t aSeed, const Colour& aLow, const Colour& aHigh, float aStrength)
    {
        const float width = static_cast<float>(anImage.Width());
        for (int x = 0; x < anImage.Width(); ++x)
        {
            const float u = (x + 0.5f) / width;
            const float line = aBaseY + std::sin(u * 7.0f + 1.3f) * aHeight * 0.35f + (ValueNoise(u * 6.0f, 0.0f, aSeed) - 0.5f) * aHeight * 0.5f;
            const float curtain = std::pow(ValueNoise(u * 90.0f, 1.0f, aSeed + 1u), 2.0f) * 0.6f + 0.4f;
            const float band = Fbm(u * 5.0f, 3.0f, 3, aSeed + 2u);
            for (int y = std::max(0, static_cast<int>(line - aHeight)); y < std::min(anImage.Height(), static_cast<int>(line + aHeight * 0.3f)); ++y)
            {
                const float above = (line - (y + 0.5f)) / aHeight; // 0 at the line, 1 at the top of the curtain
                const float profile = above >= 0.0f ? std::exp(-above * 3.0f) : std::exp(-above * above * 60.0f);
                const float alpha = profile * curtain * SmoothStep(0.3f, 0.7f, band) * aStrength;
                anImage.Over(x, y, WithAlpha(Mix(aLow, aHigh, Clamp01(above)), 1.0f), Clamp01(alpha));
            }
        }
    }

    void PaintClouds(Image& anImage, float aTop, float aBottom, std::uint32_t aSeed, const Colour& aColour, float aCover)
    {
        const Box box = BoundsOf(anImage, Vec2{0.0f, aTop}, Vec2{static_cast<float>(anImage.Width()), aBottom}, 0.0f);
        FillBox(anImage, box, [&](Vec2 p) {
            const float band = SmoothStep(aTop, aTop + (aBottom - aTop) * 0.3f, p.y) * SmoothStep(aBottom, aBottom - (aBottom - aTop) * 0.3f, p.y);
            const float n = Fbm(p.x / 260.0f, p.y / 90.0f, 5, aSeed);
            const float density = SmoothStep(1.0f - aCover, 1.0f - aCover + 0.25f, n) * band;
            // Lit from above: tops brighter than the bellies.
            const float light = 1.0f - 0.25f * SmoothStep(0.0f, 1.0f, Fbm(p.x / 260.0f, (p.y - 12.0f) / 90.0f, 5, aSeed));
            return WithAlpha(Scaled(aColour, light), aColour.a * density);
        });
    }

    void PaintPine(Image& anImage, Vec2 aFoot, float aHeight, const PineStyle& aStyle, std::uint32_t aSeed)
    {
        Random random(aSeed);
        const float trunkWidth = aHeight * 0.045f;
        const float trunkTop = aFoot.y - aHeight * 0.35f;
        FillPolygon(anImage, {{aFoot.x - trunkWidth, aFoot.y}, {aFoot.x + trunkWidth, aFoot.y}, {aFoot.x + trunkWidth * 0.6f, trunkTop}, {aFoot.x - trunkWidth * 0.6f, trunkTop}},
                    aStyle.myTrunk);
        const float crownBottom = aFoot.y - aHeight * 0.1f;
        const float tip = aFoot.y - aHeight;
        for (int tier = 0; tier < aStyle.myTiers; ++tier)
        {
            // Tiers from the bottom up, each a drooping cone narrower than the one below it.
            const float t = static_cast<float>(tier) / aStyle.myTiers;
            const float bottom = Lerp(crownBottom, tip + aHeight * 0.16f, t);
            const float top = tier + 1 == aStyle.myTiers ? tip : Lerp(crownBottom - aHeight * 0.42f, tip + aHeight * 0.05f, std::pow(t, 0.9f));
            const float halfWidth = aHeight * 0.3f * (1.0f - t * 0.8f) * random.Range(0.9f, 1.1f);
            const float sag = (bottom - top) * 0.16f;
            std::vector<Vec2> shape{{aFoot.x, top}};
            constexpr int SIDE_STEPS = 4;
            for (int k = 1; k <= SIDE_STEPS; ++k)
            {
                const float f = static_cast<float>(k) / SIDE_STEPS;
                shape.push_back({aFoot.x + halfWidth * f, top + (bottom - top) * std::pow(f, 1.15f)});
            }
            // The hem: branch tips hanging down, lifted towards the trunk.
            constexpr int HEM_STEPS = 9;
            for (int k = 1; k < HEM_STEPS; ++k)
            {
                const float g = 1.0f - 2.0f * static_cast<float>(k) / HEM_STEPS;
                const float tooth = k % 2 ? sag * 0.7f : 0.0f;
                shape.push_back({aFoot.x + halfWidth * g * 0.97f, bottom - sag * (1.0f - std::abs(g)) - tooth});
            }
            for (int k = SIDE_STEPS; k >= 1; --k)
            {
                const float f = static_cast<float>(k) / SIDE_STEPS;
                shape.push_back({aFoot.x - halfWidth * f, top + (bottom - top) * std::pow(f, 1.15f)});
            }
            FillShape(anImage, BoundsOf(anImage, PolygonMin(shape), PolygonMax(shape)),
                      [&](Vec2 p) { return PolygonDistance(p, shape); },
                      [&](Vec2 p) {
                          const float across = Clamp01(std::abs(p.x - aFoot.x) / std::max(1.0f, halfWidth));
                          const float down = Clamp01((p.y - top) / std::max(1.0f, bottom - top));
                          Colour colour = Mix(aStyle.myNeedles, aStyle.myShade, Clamp01(down * 0.7f + (p.x > aFoot.x ? 0.25f : 0.0f)));
                          // Snow lies along the upper face of each tier, thickest near the edge.
                          const float face = top + (bottom - top) * std::pow(across, 1.15f);
                          const float depth = (p.y - face) / std::max(1.0f, bottom - top);
                          const float grain = 3.0f + aHeight * 0.012f;
                          const float ragged = (ValueNoise(p.x / grain, p.y / grain, aSeed) - 0.5f) * 0.12f;
                          const float snow = SmoothStep(0.22f, 0.08f, depth + ragged) * SmoothStep(0.05f, 0.3f, across + down * 0.3f);
                          return Mix(colour, aStyle.mySnow, snow * aStyle.mySnow.a);
                      });
        }
    }

    void PaintVignette(Image& anImage, float aStrength)
    {
        const float width = static_cast<float>(anImage.Width());
        const float height = static_cast<float>(anImage.Height());
        FillBox(anImage, Whole(anImage), [&](Vec2 p) {
            const Vec2 d{(p.x / width - 0.5f) * 2.0f, (p.y / height - 0.5f) * 2.0f};
            return WithAlpha(Hex(0x02050c), aStrength * SmoothStep(0.6f, 1.5f, Length(d)));
        });
    }

    void PaintNightSky(Image& anImage, std::uint32_t aSeed)
    {
        const float w = static_cast<float>(anImage.Width());
        const float h = static_cast<float>(anImage.Height());
        FillVerticalGradient(anImage, {{0.0f, Hex(0x060d22)}, {0.35f, Hex(0x14285a)}, {0.6f, Hex(0x3e5f94)}, {0.72f, Hex(0x8aa6cc)}});
        PaintStars(anImage, aSeed, static_cast<int>(w * h / 5000.0f), h * 0.6f, 0.9f);
        PaintAurora(anImage, h * 0.3f, h * 0.22f, aSeed + 1u, Hex(0x3dffb0), Hex(0x6b8cff), 0.35f);
        PaintMoon(anImage, {w * 0.8f, h * 0.17f}, h * 0.055f);
    }

    RidgeStyle FarRange(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed)
    {
        return {.myBase = aBase, .myAmplitude = anAmplitude, .myWavelength = aWavelength, .myJaggedness = 0.8f, .mySeed = aSeed,
                .myTop = Hex(0x5d7aa8), .myBottom = Hex(0x7890b8), .mySnow = WithAlpha(Hex(0xdfe9f7), 0.9f), .mySnowDepth = 0.45f,
                .myRim = WithAlpha(Hex(0xc8dcff), 0.5f)};
    }

    RidgeStyle NearRange(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed)
    {
        return {.myBase = aBase, .myAmplitude = anAmplitude, .myWavelength = aWavelength, .myJaggedness = 0.5f, .mySeed = aSeed,
                .myTop = Hex(0x2c4474), .myBottom = Hex(0x3b5485), .mySnow = WithAlpha(Hex(0xb9cde8), 0.85f), .mySnowDepth = 0.35f,
                .myRim = WithAlpha(Hex(0xc8dcff), 0.5f)};
    }

    RidgeStyle SnowField(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed)
    {
        return {.myBase = aBase, .myAmplitude = anAmplitude, .myWavelength = aWavelength, .myOctaves = 3, .myJaggedness = 0.0f, .mySeed = aSeed,
                .myTop = Hex(0xc9d8ee), .myBottom = Hex(0x7f97c2)};
    }

    const PineStyle FAR_FIRS{Hex(0x1d3152), Hex(0x15243f), WithAlpha(Hex(0x9fb6d8), 0.8f), Hex(0x1a2438), 5};
    const PineStyle NEAR_FIRS{Hex(0x10203a), Hex(0x0a1528), WithAlpha(Hex(0xcfdcf0), 0.9f), Hex(0x140f14), 7};
}
