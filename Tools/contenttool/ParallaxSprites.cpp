#include "ParallaxSprites.h"

#include "Palette.h"
#include "Scenery.h"
#include "Shapes.h"

#include <cmath>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;

        float W(const Image& anImage) { return static_cast<float>(anImage.Width()); }
        float H(const Image& anImage) { return static_cast<float>(anImage.Height()); }

        void ForestSky(Image& anImage)
        {
            FillVerticalGradient(anImage, {{0.0f, Hex(0x35679f)}, {0.55f, Hex(0x8db8dc)}, {1.0f, Hex(0xe6eef6)}});
            PaintClouds(anImage, H(anImage) * 0.1f, H(anImage) * 0.75f, 61u, WithAlpha(Hex(0xf7fbff), 0.85f), 0.45f);
        }

        void ForestMountains(Image& anImage)
        {
            const RidgeStyle style{.myBase = H(anImage) * 0.95f, .myAmplitude = H(anImage) * 0.8f, .myWavelength = W(anImage) * 0.16f, .myOctaves = 3,
                                   .myJaggedness = 0.75f, .mySeed = 101u, .myTop = Hex(0x8ea9c9), .myBottom = Hex(0xb7c9de),
                                   .mySnow = WithAlpha(Hex(0xf3f7fc), 0.95f), .mySnowDepth = 0.5f, .myRim = WithAlpha(Hex(0xe8f1ff), 0.6f)};
            PaintRidge(anImage, style);
        }

        void ForestHills(Image& anImage)
        {
            const RidgeStyle style{.myBase = H(anImage) * 0.85f, .myAmplitude = H(anImage) * 0.45f, .myWavelength = W(anImage) * 0.2f, .myJaggedness = 0.1f,
                                   .mySeed = 102u, .myTop = Hex(0x4d6f8a), .myBottom = Hex(0x6f8aa3), .mySnow = WithAlpha(Hex(0xdfe9f3), 0.9f),
                                   .mySnowDepth = 0.4f};
            PaintRidge(anImage, style);
            const PineStyle pines{Hex(0x2f4e5c), Hex(0x233c49), WithAlpha(Hex(0xdce7f1), 0.85f), Hex(0x2a3440), 4};
            Random random(103u);
            for (float x = 0.0f; x < W(anImage); x += random.Range(10.0f, 28.0f))
            {
                PaintPine(anImage, {x, RidgeHeight(style, x) + 2.0f}, random.Range(0.08f, 0.16f) * H(anImage), pines, random.Next());
            }
        }

        const PineStyle FOREST_PINE{Hex(0x25503f), Hex(0x16332a), WithAlpha(Hex(0xf2f7fc), 0.95f), Hex(0x4a3426), 7};

        void ForestPine(Image& anImage)
        {
            PaintPine(anImage, {W(anImage) * 0.5f, H(anImage) * 0.99f}, H(anImage) * 0.97f, FOREST_PINE, 111u);
        }

        void ForestBush(Image& anImage)
        {
            Random random(112u);
            for (int i = 0; i < 9; ++i)
            {
                const Vec2 centre{W(anImage) * random.Range(0.2f, 0.8f), H(anImage) * random.Range(0.55f, 0.8f)};
                const float radius = H(anImage) * random.Range(0.2f, 0.32f);
                FillShape(anImage, BoundsOf(anImage, centre - Vec2{radius, radius}, centre + Vec2{radius, radius}, 8.0f),
                          [&](Vec2 p) { return CircleDistance(p, centre, radius) + (Fbm(p.x / 7.0f, p.y / 7.0f, 3, 113u) - 0.5f) * 10.0f; },
                          [&](Vec2 p) {
                              const float up = Clamp01((centre.y - p.y) / radius);
                              return Mix(Mix(Hex(0x1b3a32), Hex(0x2c5a48), up), Palette::SNOW, SmoothStep(0.45f, 0.75f, up));
                          });
            }
            FillShape(anImage, Whole(anImage), [&](Vec2 p) { return EllipseDistance(p, {W(anImage) * 0.5f, H(anImage) * 0.92f}, {W(anImage) * 0.42f, H(anImage) * 0.09f}); },
                      [](Vec2) { return Hex(0xe4edf7); });
        }

        // Dark needles hanging in from the top, close to the camera.
        void ForestBranches(Image& anImage)
        {
            const Colour dark = Hex(0x0d1a1f);
            Random random(114u);
            const Vec2 root{-20.0f, H(anImage) * 0.12f};
            const Vec2 tip{W(anImage) * 0.92f, H(anImage) * 0.3f};
            for (int i = 0; i <= 40; ++i)
            {
                const float t = i / 40.0f;
                const Vec2 along = root + (tip - root) * t + Vec2{0.0f, std::sin(t * PI) * H(anImage) * 0.12f};
                const float reach = H(anImage) * 0.45f * (1.0f - t * 0.7f);
                for (int needle = 0; needle < 3; ++needle)
                {
                    const float angle = PI * 0.5f + random.Range(-0.9f, 0.6f);
                    StrokeSegment(anImage, along, along + Vec2{std::cos(angle), std::sin(angle)} * reach * random.Range(0.4f, 1.0f), random.Range(3.0f, 6.0f), dark);
                }
                if (i < 40)
                {
                    const Vec2 next = root + (tip - root) * ((i + 1) / 40.0f) + Vec2{0.0f, std::sin((i + 1) / 40.0f * PI) * H(anImage) * 0.12f};
                    StrokeSegment(anImage, along, next, 14.0f * (1.0f - t) + 3.0f, Hex(0x120d0c));
                    StrokeSegment(anImage, along - Vec2{0.0f, 8.0f * (1.0f - t) + 2.0f}, next - Vec2{0.0f, 8.0f * (1.0f - t) + 2.0f}, 4.0f * (1.0f - t) + 1.5f,
                                  WithAlpha(Hex(0xc9d7e6), 0.8f));
                }
            }
        }

        // Snow drifting up to the camera along the bottom, with a few grass tufts poking through.
        void ForestDrift(Image& anImage)
        {
            const RidgeStyle drift{.myBase = H(anImage) * 0.95f, .myAmplitude = H(anImage) * 0.7f, .myWavelength = W(anImage) * 0.35f, .myOctaves = 3,
                                   .myJaggedness = 0.0f, .mySeed = 115u, .myTop = Hex(0xf1f6fc), .myBottom = Hex(0x9fb4cf),
                                   .myRim = WithAlpha(Palette::WHITE, 0.6f)};
            PaintRidge(anImage, drift);
            Random random(116u);
            for (int tuft = 0; tuft < 9; ++tuft)
            {
                const float x = random.Range(0.05f, 0.95f) * W(anImage);
                const float y = RidgeHeight(drift, x) + 4.0f;
                for (int blade = -2; blade <= 2; ++blade)
                {
                    StrokeSegment(anImage, {x + blade * 3.0f, y}, {x + blade * 7.0f, y - random.Range(14.0f, 30.0f)}, 1.6f, Hex(0x5b6b4a));
                }
            }
        }

        void CaveBack(Image& anImage)
        {
            FillBox(anImage, Whole(anImage), [&](Vec2 p) {
                const float rock = Fbm(p.x / 180.0f, p.y / 180.0f, 6, 201u);
                const float cracks = std::abs(Fbm(p.x / 90.0f, p.y / 90.0f, 4, 202u) - 0.5f);
                Colour colour = Mix(Hex(0x141a2b), Hex(0x343a56), rock);
                colour = Mix(colour, Hex(0x0b0e18), SmoothStep(0.04f, 0.0f, cracks) * 0.8f);
                // Faint glowing veins.
                colour = Mix(colour, Hex(0x3fb7d6), SmoothStep(0.012f, 0.0f, cracks) * SmoothStep(0.55f, 0.75f, rock) * 0.6f);
                return colour;
            });
            PaintVignette(anImage, 0.5f);
        }

        void Spike(Image& anImage, Vec2 aBase, float aHalfWidth, float aLength, float aDirection, const Colour& aNear, const Colour& aFar, std::uint32_t aSeed)
        {
            // aDirection +1 grows downward (hanging), -1 upward.
            std::vector<Vec2> shape;
            const int steps = 10;
            for (int i = 0; i <= steps; ++i)
            {
                const float t = static_cast<float>(i) / steps;
                shape.push_back({aBase.x - aHalfWidth * std::pow(1.0f - t, 0.7f) + std::sin(t * 9.0f + aSeed) * 2.0f, aBase.y + aDirection * aLength * t});
            }
            for (int i = steps - 1; i >= 0; --i)
            {
                const float t = static_cast<float>(i) / steps;
                shape.push_back({aBase.x + aHalfWidth * std::pow(1.0f - t, 0.8f) + std::cos(t * 7.0f + aSeed) * 2.0f, aBase.y + aDirection * aLength * t});
            }
            FillShape(anImage, BoundsOf(anImage, PolygonMin(shape), PolygonMax(shape)), [&](Vec2 p) { return PolygonDistance(p, shape); },
                      [&](Vec2 p) {
                          const float side = Clamp01((p.x - (aBase.x - aHalfWidth)) / (2.0f * aHalfWidth));
                          const float bands = 0.5f + 0.5f * std::sin((p.y - aBase.y) * 0.12f + Fbm(p.x / 20.0f, p.y / 20.0f, 2, aSeed) * 4.0f);
                          return Scaled(Mix(aNear, aFar, side), 0.85f + 0.15f * bands);
                      });
        }

        void CaveCeilingOrFloor(Image& anImage, bool aCeiling, std::uint32_t aSeed)
        {
            // The ceiling's ragged edge, or the floor's line.
            const RidgeStyle band{.myBase = aCeiling ? H(anImage) * 0.06f : H(anImage) * 1.02f, .myAmplitude = H(anImage) * 0.15f,
                                  .myWavelength = W(anImage) * 0.08f, .myJaggedness = 0.6f, .mySeed = aSeed, .myTop = Hex(0x2b3048),
                                  .myBottom = Hex(0x1b1f30)};
            Random random(aSeed + 1u);
            for (int i = 0; i < 9; ++i)
            {
                const float x = random.Range(0.05f, 0.95f) * W(anImage);
                const float length = random.Range(0.35f, 0.75f) * H(anImage);
                const float halfWidth = random.Range(0.025f, 0.06f) * W(anImage);
                Spike(anImage, {x, aCeiling ? H(anImage) * 0.1f : H(anImage) * 0.95f}, halfWidth, length, aCeiling ? 1.0f : -1.0f, Hex(0x4b5273), Hex(0x262a3e), aSeed + i);
            }
            if (aCeiling)
            {
                // The rock the stalactites hang from: everything above a ragged edge.
                FillShape(anImage, Whole(anImage), [&](Vec2 p) { return p.y - (H(anImage) * 0.3f - RidgeHeight(band, p.x)); },
                          [&](Vec2 p) { return Mix(Hex(0x1b1f30), Hex(0x2b3048), Clamp01(p.y / (H(anImage) * 0.2f))); });
            }
            else
            {
                PaintRidge(anImage, band);
            }
        }

        void CaveStalactites(Image& anImage) { CaveCeilingOrFloor(anImage, true, 203u); }
        void CaveStalagmites(Image& anImage) { CaveCeilingOrFloor(anImage, false, 204u); }

        void CaveCrystals(Image& anImage)
        {
            const Vec2 base{W(anImage) * 0.5f, H(anImage) * 0.9f};
            Glow(anImage, base - Vec2{0.0f, H(anImage) * 0.25f}, H(anImage) * 0.55f, WithAlpha(Palette::CRYSTAL, 0.35f));
            Random random(205u);
            for (int i = 0; i < 7; ++i)
            {
                const float angle = -PI * 0.5f + random.Range(-0.75f, 0.75f);
                const float length = H(anImage) * random.Range(0.35f, 0.75f);
                const float width = length * random.Range(0.12f, 0.2f);
                const Vec2 along{std::cos(angle), std::sin(angle)};
                const Vec2 across{-along.y, along.x};
                const Vec2 root = base + Vec2{random.Range(-0.12f, 0.12f) * W(anImage), 0.0f};
                const std::vector<Vec2> prism{root - across * width, root - across * width + along * length * 0.8f, root + along * length,
                                              root + across * width + along * length * 0.8f, root + across * width};
                const Colour tint = random.Below(3) == 0 ? Hex(0xb48cff) : Palette::CRYSTAL;
                FillShape(anImage, BoundsOf(anImage, PolygonMin(prism), PolygonMax(prism)), [&](Vec2 p) { return PolygonDistance(p, prism); },
                          [&](Vec2 p) {
                              const float side = Dot(p - root, across) / width;
                              const float up = Clamp01(Dot(p - root, along) / length);
                              Colour colour = Mix(Scaled(tint, 0.55f), tint, up);
                              colour = side > 0.0f ? Scaled(colour, 0.75f) : Mix(colour, Palette::WHITE, 0.25f * (1.0f + side));
                              return WithAlpha(colour, 0.92f);
                          });
            }
            FillEllipse(anImage, base, {W(anImage) * 0.3f, H(anImage) * 0.07f}, Hex(0x1e2336));
        }

        // Boulders close to the camera: a dark rounded line lit at its rim by the crystals' glow.
        void CaveRocks(Image& anImage)
        {
            const RidgeStyle style{.myBase = H(anImage) * 1.02f, .myAmplitude = H(anImage) * 0.75f, .myWavelength = W(anImage) * 0.12f, .myOctaves = 4,
                                   .myJaggedness = 0.35f, .mySeed = 206u, .myTop = Hex(0x161a2a), .myBottom = Hex(0x07080f),
                                   .myRim = WithAlpha(Hex(0x58a8c8), 0.9f)};
            PaintRidge(anImage, style);
        }

        void FinalSky(Image& anImage)
        {
            FillVerticalGradient(anImage, {{0.0f, Hex(0x070818)}, {0.6f, Hex(0x1e1f4a)}, {1.0f, Hex(0x4b3f72)}});
            PaintStars(anImage, 301u, 160, H(anImage) * 0.85f, 1.0f);
            PaintAurora(anImage, H(anImage) * 0.45f, H(anImage) * 0.35f, 302u, Hex(0x3dffb0), Hex(0xff7ad9), 0.55f);
        }

        void FinalPeaks(Image& anImage)
        {
            const RidgeStyle style{.myBase = H(anImage) * 0.98f, .myAmplitude = H(anImage) * 0.9f, .myWavelength = W(anImage) * 0.12f, .myOctaves = 3,
                                   .myJaggedness = 0.85f, .mySeed = 303u, .myTop = Hex(0x2a2d52), .myBottom = Hex(0x1a1c38),
                                   .mySnow = WithAlpha(Hex(0xc7cff0), 0.8f), .mySnowDepth = 0.3f, .myRim = WithAlpha(Hex(0xbfd2ff), 0.9f)};
            PaintRidge(anImage, style);
        }

        void Branch(Image& anImage, Vec2 aFrom, float anAngle, float aLength, float aWidth, int aDepth, Random& aRandom)
        {
            const Vec2 to = aFrom + Vec2{std::cos(anAngle), std::sin(anAngle)} * aLength;
            StrokeSegment(anImage, aFrom, to, aWidth, Hex(0x241c22));
            // Snow rests on the upper side of the thicker limbs that lean out far enough to hold it.
            const float level = std::abs(std::cos(anAngle));
            if (aWidth > 3.0f && level > 0.45f)
            {
                StrokeSegment(anImage, aFrom - Vec2{0.0f, aWidth * 0.6f}, to - Vec2{0.0f, aWidth * 0.6f}, aWidth * 0.45f,
                              WithAlpha(Palette::SNOW, 0.9f * SmoothStep(0.45f, 0.8f, level)));
            }
            if (aDepth == 0)
            {
                return;
            }
            const int children = 2 + (aRandom.Below(3) == 0 ? 1 : 0);
            for (int child = 0; child < children; ++child)
            {
                const float turn = aRandom.Range(0.3f, 0.75f) * (child % 2 ? 1.0f : -1.0f);
                Branch(anImage, to, anAngle + turn, aLength * aRandom.Range(0.6f, 0.8f), aWidth * 0.68f, aDepth - 1, aRandom);
            }
        }

        void FinalDeadTree(Image& anImage)
        {
            Random random(304u);
            Branch(anImage, {W(anImage) * 0.5f, H(anImage) * 0.99f}, -PI * 0.5f, H(anImage) * 0.3f, W(anImage) * 0.035f, 6, random);
            FillEllipse(anImage, {W(anImage) * 0.5f, H(anImage) * 0.99f}, {W(anImage) * 0.3f, H(anImage) * 0.03f}, Hex(0xdfe6f5));
        }

        void FinalRuins(Image& anImage)
        {
            const Colour stone = Hex(0x6b6f8c);
            const Colour shade = Hex(0x3c3f58);
            const auto block = [&](Vec2 aCentre, Vec2 aHalf) {
                FillShape(anImage, BoundsOf(anImage, aCentre - aHalf, aCentre + aHalf, 5.0f),
                          [&](Vec2 p) { return RoundedBoxDistance(p, aCentre, aHalf, 4.0f) + (Fbm(p.x / 12.0f, p.y / 12.0f, 3, 305u) - 0.5f) * 6.0f; },
                          [&](Vec2 p) {
                              Colour colour = Mix(stone, shade, Clamp01((p.x - (aCentre.x - aHalf.x)) / (2.0f * aHalf.x)));
                              const float snow = SmoothStep(aCentre.y - aHalf.y + 14.0f, aCentre.y - aHalf.y + 4.0f, p.y);
                              return Mix(colour, Palette::SNOW, snow);
                          });
            };
            const float w = W(anImage);
            const float h = H(anImage);
            // An arch on two pillars, a broken pillar beside it and fallen blocks.
            block({w * 0.25f, h * 0.62f}, {w * 0.045f, h * 0.36f});
            block({w * 0.55f, h * 0.62f}, {w * 0.045f, h * 0.36f});
            FillShape(anImage, Whole(anImage),
                      [&](Vec2 p) {
                          const Vec2 centre{w * 0.4f, h * 0.3f};
                          const float ring = std::abs(Length(Vec2{(p.x - centre.x) / 1.0f, (p.y - centre.y) * 1.3f}) - w * 0.15f) - w * 0.04f;
                          return std::max(ring, p.y - centre.y);
                      },
                      [&](Vec2 p) { return Mix(stone, Palette::SNOW, SmoothStep(h * 0.12f, h * 0.06f, p.y)); });
            block({w * 0.78f, h * 0.76f}, {w * 0.04f, h * 0.22f});
            block({w * 0.88f, h * 0.93f}, {w * 0.07f, h * 0.05f});
            block({w * 0.08f, h * 0.94f}, {w * 0.06f, h * 0.045f});
        }

        void FinalRocks(Image& anImage)
        {
            const RidgeStyle style{.myBase = H(anImage) * 1.0f, .myAmplitude = H(anImage) * 0.85f, .myWavelength = W(anImage) * 0.1f, .myJaggedness = 0.9f,
                                   .mySeed = 306u, .myTop = Hex(0x101226), .myBottom = Hex(0x07080f), .myRim = WithAlpha(Hex(0x9fc2ff), 0.8f)};
            PaintRidge(anImage, style);
        }
    }

    const std::vector<ParallaxPiece>& ParallaxPieces()
    {
        static const std::vector<ParallaxPiece> pieces = {
            {"sprites/parallax/S_PX_Forest_Sky.dds", 512, 512, "forest", "BG", ForestSky},
            {"sprites/parallax/S_PX_Forest_Mountains.dds", 2048, 512, "forest", "BG", ForestMountains},
            {"sprites/parallax/S_PX_Forest_Hills.dds", 2048, 512, "forest", "BG", ForestHills},
            {"sprites/parallax/S_PX_Forest_Pine.dds", 512, 1024, "forest", "LG", ForestPine},
            {"sprites/parallax/S_PX_Forest_Bush.dds", 512, 256, "forest", "LG", ForestBush},
            {"sprites/parallax/S_PX_Forest_Branches.dds", 1024, 512, "forest", "FG", ForestBranches},
            {"sprites/parallax/S_PX_Forest_Drift.dds", 1024, 256, "forest", "FG", ForestDrift},
            {"sprites/parallax/S_PX_Cave_Back.dds", 1024, 1024, "cave", "BG", CaveBack},
            {"sprites/parallax/S_PX_Cave_Stalactites.dds", 1024, 512, "cave", "LG", CaveStalactites},
            {"sprites/parallax/S_PX_Cave_Stalagmites.dds", 1024, 512, "cave", "LG", CaveStalagmites},
            {"sprites/parallax/S_PX_Cave_Crystals.dds", 512, 512, "cave", "LG", CaveCrystals},
            {"sprites/parallax/S_PX_Cave_Rocks.dds", 1024, 512, "cave", "FG", CaveRocks},
            {"sprites/parallax/S_PX_Final_Sky.dds", 512, 512, "final", "BG", FinalSky},
            {"sprites/parallax/S_PX_Final_Peaks.dds", 2048, 512, "final", "BG", FinalPeaks},
            {"sprites/parallax/S_PX_Final_DeadTree.dds", 512, 1024, "final", "LG", FinalDeadTree},
            {"sprites/parallax/S_PX_Final_Ruins.dds", 1024, 512, "final", "LG", FinalRuins},
            {"sprites/parallax/S_PX_Final_Rocks.dds", 1024, 256, "final", "FG", FinalRocks},
        };
        return pieces;
    }

    std::vector<SpriteJob> ParallaxSpriteJobs()
    {
        return PieceJobs(ParallaxPieces());
    }
}
