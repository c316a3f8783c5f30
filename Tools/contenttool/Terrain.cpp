#include "Terrain.h"

#include "Noise.h"
#include "Palette.h"
#include "Shapes.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace ContentTool
{
    namespace
    {
        constexpr float TAU = 6.28318531f;

        float W(const Image& anImage) { return static_cast<float>(anImage.Width()); }
        float H(const Image& anImage) { return static_cast<float>(anImage.Height()); }

        // Draws a shape at aPlace and at its copies one picture width (and height) away, so that
        // whatever crosses an edge comes back in at the other: the tiles join without a seam.
        template <class Draw>
        void Wrapped(const Image& anImage, bool aWrapsDown, Draw&& aDraw)
        {
            for (const float dx : {-W(anImage), 0.0f, W(anImage)})
            {
                for (const float dy : {-H(anImage), 0.0f, H(anImage)})
                {
                    if (aWrapsDown || dy == 0.0f)
                    {
                        aDraw(Vec2{dx, dy});
                    }
                }
            }
        }

        // The body of a box: earth or rock in wandering strata, with cracks and stones.
        struct FaceStyle
        {
            Colour myLight;
            Colour myDark;
            Colour myStrata;
            Colour myCrack;
            Colour myStone;
            Colour myStoneShade;
            Colour myFleck = {0.0f, 0.0f, 0.0f, 0.0f}; // frost on the stone; alpha 0 for none
            int myBands = 3;
            int myStones = 10;
            std::uint32_t mySeed = 1;
        };

        // Features keep their size in texels: a larger picture repeats less often, not coarser.
        constexpr int FEATURE_TEXELS = 256;

        void PaintFace(Image& anImage, const FaceStyle& aStyle)
        {
            const float width = W(anImage);
            const float height = H(anImage);
            const int across = std::max(1, anImage.Width() / FEATURE_TEXELS);
            const int down = std::max(1, anImage.Height() / FEATURE_TEXELS);
            const auto periodic = [&](float aU, float aV, int aCells, int anOctaves, std::uint32_t aSeed) {
                return PeriodicFbm(aU * aCells * across, aV * aCells * down, aCells * across, aCells * down, anOctaves, aSeed);
            };
            FillBox(anImage, Whole(anImage), [&](Vec2 p) {
                const float u = p.x / width;
                const float v = p.y / height;
                const float body = periodic(u, v, 2, 6, aStyle.mySeed);
                const float wander = (periodic(u, v, 2, 3, aStyle.mySeed + 7u) - 0.5f) * 0.2f / down;
                const float band = 0.5f + 0.5f * std::sin((v + wander) * TAU * static_cast<float>(aStyle.myBands * down));
                Colour colour = Mix(aStyle.myDark, aStyle.myLight, SmoothStep(0.3f, 0.7f, body));
                colour = Mix(colour, aStyle.myStrata, SmoothStep(0.6f, 1.0f, band) * 0.35f);
                // Grain, and cracks in a few places only.
                colour = Scaled(colour, 0.94f + 0.12f * periodic(u, v, 32, 2, aStyle.mySeed + 5u));
                const float crack = std::abs(periodic(u, v, 3, 4, aStyle.mySeed + 13u) - 0.5f);
                const float cracked = SmoothStep(0.55f, 0.7f, periodic(u, v, 2, 2, aStyle.mySeed + 19u));
                colour = Mix(colour, aStyle.myCrack, SmoothStep(0.014f, 0.0f, crack) * 0.65f * cracked);
                if (aStyle.myFleck.a > 0.0f)
                {
                    // Snow caught in the hollows.
                    const float fleck = periodic(u, v, 8, 3, aStyle.mySeed + 17u);
                    colour = Mix(colour, WithAlpha(aStyle.myFleck, 1.0f), SmoothStep(0.76f, 0.86f, fleck) * aStyle.myFleck.a);
                }
                return colour;
            });
            Random random(aStyle.mySeed + 21u);
            for (int stone = 0; stone < aStyle.myStones * across * down; ++stone)
            {
                const Vec2 centre{random.Range(0.0f, width), random.Range(0.0f, height)};
                const Vec2 radii{random.Range(0.025f, 0.055f) * FEATURE_TEXELS, random.Range(0.018f, 0.035f) * FEATURE_TEXELS};
                const std::uint32_t seed = random.Next();
                Wrapped(anImage, true, [&](Vec2 anOffset) {
                    const Vec2 at = centre + anOffset;
                    FillShape(anImage, BoundsOf(anImage, at - radii, at + radii, 4.0f),
                              [&](Vec2 p) { return EllipseDistance(p, at, radii) + (ValueNoise(p.x / 5.0f, p.y / 5.0f, seed) - 0.5f) * 3.0f; },
                              [&](Vec2 p) {
                                  // Lit from above: the lower half in shade.
                                  const float down = Clamp01((p.y - (at.y - radii.y)) / (2.0f * radii.y));
                                  const float grain = 0.92f + 0.16f * ValueNoise(p.x / 3.0f, p.y / 3.0f, seed + 1u);
                                  return Scaled(Mix(aStyle.myStone, aStyle.myStoneShade, SmoothStep(0.2f, 1.0f, down)), grain);
                              });
                });
            }
        }

        // What lies on a box's top: snow or a frosted rim, as thick as myThickness pixels give or
        // take myVariation, along the picture's top edge, with a soft shadow under it.
        struct TopStyle
        {
            Colour mySurface;
            Colour myUnder;
            Colour myShadow;
            float myThickness = 24.0f;
            float myVariation = 8.0f;
            bool myDrips = true;
            std::uint32_t mySeed = 1;
        };

        void PaintTop(Image& anImage, const TopStyle& aStyle)
        {
            const float width = W(anImage);
            const int PERIOD = 8 * std::max(1, anImage.Width() / FEATURE_TEXELS);
            const auto bottomAt = [&](float anX) {
                const float u = anX / width;
                float bottom = aStyle.myThickness + aStyle.myVariation * (2.0f * PeriodicNoise1D(u * PERIOD, PERIOD, aStyle.mySeed) - 1.0f) +
                               2.0f * (PeriodicNoise1D(u * PERIOD * 8, PERIOD * 8, aStyle.mySeed + 1u) - 0.5f);
                if (aStyle.myDrips)
                {
                    // Lumps hanging a little lower, where snow slid over the edge.
                    const float lump = PeriodicNoise1D(u * PERIOD * 3, PERIOD * 3, aStyle.mySeed + 2u);
                    bottom += SmoothStep(0.7f, 0.95f, lump) * aStyle.myVariation * 1.2f;
                }
                return bottom;
            };
            FillBox(anImage, Whole(anImage), [&](Vec2 p) {
                const float bottom = bottomAt(p.x);
                const float coverage = Clamp01(bottom - p.y + 0.5f);
                if (coverage <= 0.0f)
                {
                    const float shadow = Clamp01(1.0f - (p.y - bottom) / 7.0f);
                    return WithAlpha(aStyle.myShadow, 0.45f * shadow * shadow);
                }
                Colour colour = Mix(aStyle.mySurface, aStyle.myUnder, SmoothStep(bottom * 0.2f, bottom, p.y));
                // A bright line along the top and a few glints.
                colour = Mix(colour, Palette::WHITE, Clamp01(1.0f - p.y / 3.0f) * 0.6f);
                const float glint = ValueNoise(p.x / 1.5f, p.y / 1.5f, aStyle.mySeed + 3u);
                colour = Mix(colour, Palette::WHITE, SmoothStep(0.93f, 0.98f, glint) * 0.8f);
                return WithAlpha(colour, coverage);
            });
        }

        // A ledge to jump up through: a log, a slab of rock or of ice, the whole picture wide, with
        // its cap (snow or frost) on top.
        struct LedgeStyle
        {
            Colour myBody;
            Colour myBodyDark;
            Colour myGrain;
            Colour myCap;
            bool myGrainLines = false; // a log's bark runs along it; rock gets blotches
            float myCapDepth = 0.35f;  // of the picture's height
            std::uint32_t mySeed = 1;
        };

        void PaintLedge(Image& anImage, const LedgeStyle& aStyle)
        {
            const float width = W(anImage);
            const float height = H(anImage);
            const Vec2 centre{width * 0.5f, height * 0.55f};
            const Vec2 half{width * 0.5f - 3.0f, height * 0.43f};
            FillShape(anImage, Whole(anImage),
                      [&](Vec2 p) { return RoundedBoxDistance(p, centre, half, height * 0.35f) + (Fbm(p.x / 9.0f, p.y / 9.0f, 3, aStyle.mySeed) - 0.5f) * 3.0f; },
                      [&](Vec2 p) {
                          const float down = Clamp01((p.y - (centre.y - half.y)) / (2.0f * half.y));
                          Colour colour = Mix(aStyle.myBody, aStyle.myBodyDark, SmoothStep(0.2f, 1.0f, down));
                          if (aStyle.myGrainLines)
                          {
                              const float grain = std::abs(std::sin((p.y + (Fbm(p.x / 40.0f, p.y / 6.0f, 3, aStyle.mySeed + 1u) - 0.5f) * 10.0f) * 0.9f));
                              colour = Mix(colour, aStyle.myGrain, SmoothStep(0.25f, 0.0f, grain) * 0.7f);
                          }
                          else
                          {
                              colour = Mix(colour, aStyle.myGrain, SmoothStep(0.6f, 0.8f, Fbm(p.x / 14.0f, p.y / 14.0f, 4, aStyle.mySeed + 1u)) * 0.5f);
                          }
                          return colour;
                      });
            // The cap: thickest in the middle, thinning toward the ends.
            FillShape(anImage, Whole(anImage),
                      [&](Vec2 p) {
                          const float across = std::abs(p.x - centre.x) / (width * 0.5f);
                          const float depth = height * aStyle.myCapDepth * (1.0f - 0.5f * across * across) +
                                              (Fbm(p.x / 12.0f, 0.5f, 3, aStyle.mySeed + 2u) - 0.5f) * 6.0f;
                          const float top = centre.y - half.y - 1.0f;
                          return std::max({p.y - (top + depth), top - p.y, std::abs(p.x - centre.x) - (width * 0.5f - 2.0f)});
                      },
                      [&](Vec2 p) { return Mix(aStyle.myCap, Palette::WHITE, Clamp01(1.0f - p.y / 4.0f) * 0.5f); });
        }

        // What kills: spikes (thorns, stone or ice) on a ragged mound along the bottom. Nothing
        // reaches above a tenth of the picture's height, so the art stays within its box.
        struct TrapStyle
        {
            Colour myMound;
            Colour mySpike;
            Colour mySpikeShade;
            Colour myTip;
            int mySpikes = 9;
            float myShortest = 0.45f; // of the picture's height
            float myLongest = 0.85f;
            float myLean = 0.25f;     // how far a spike may lean, of its length
            bool myVines = false;     // brambles: thorny stems winding along the mound
            std::uint32_t mySeed = 1;
        };

        void PaintTrap(Image& anImage, const TrapStyle& aStyle)
        {
            const float width = W(anImage);
            const float height = H(anImage);
            Random random(aStyle.mySeed);
            const float baseY = height * 0.97f;
            for (int spike = 0; spike < aStyle.mySpikes; ++spike)
            {
                const float x = (spike + random.Range(0.2f, 0.8f)) * width / aStyle.mySpikes;
                const float length = height * random.Range(aStyle.myShortest, aStyle.myLongest);
                const float halfWidth = width / aStyle.mySpikes * random.Range(0.3f, 0.45f);
                const float lean = length * random.Range(-aStyle.myLean, aStyle.myLean);
                const std::vector<Vec2> shape{{x - halfWidth, baseY}, {x + lean, baseY - length}, {x + halfWidth, baseY}};
                Wrapped(anImage, false, [&](Vec2 anOffset) {
                    std::vector<Vec2> placed;
                    for (const Vec2& point : shape)
                    {
                        placed.push_back(point + anOffset);
                    }
                    const Vec2 tip = placed[1];
                    FillShape(anImage, BoundsOf(anImage, PolygonMin(placed), PolygonMax(placed)), [&](Vec2 p) { return PolygonDistance(p, placed); },
                              [&](Vec2 p) {
                                  // The right flank in shade, the last quarter toward the tip pale.
                                  const float along = Clamp01((baseY - p.y) / length);
                                  const float side = (p.x - (tip.x + (x + anOffset.x - tip.x) * (1.0f - along))) / halfWidth;
                                  Colour colour = Mix(aStyle.mySpike, aStyle.mySpikeShade, SmoothStep(-0.2f, 0.4f, side));
                                  return Mix(colour, aStyle.myTip, SmoothStep(0.65f, 0.95f, along));
                              });
                });
            }
            if (aStyle.myVines)
            {
                for (int vine = 0; vine < 3; ++vine)
                {
                    const std::uint32_t seed = aStyle.mySeed + 10u + vine;
                    const auto stemAt = [&](float anX) {
                        return Vec2{anX, height * (0.62f + 0.1f * vine) + height * 0.18f * (2.0f * PeriodicNoise1D(anX / width * 4.0f, 4, seed) - 1.0f)};
                    };
                    for (float x = 0.0f; x < width; x += 3.0f)
                    {
                        StrokeSegment(anImage, stemAt(x), stemAt(x + 3.0f), 2.6f - 0.5f * vine, aStyle.mySpikeShade);
                    }
                    // Small thorns along the stem, pointing every way but down.
                    for (float x = random.Range(2.0f, 8.0f); x < width - 4.0f; x += random.Range(9.0f, 16.0f))
                    {
                        const Vec2 root = stemAt(x);
                        const float angle = random.Range(-2.6f, -0.5f);
                        const Vec2 tip = root + Vec2{std::cos(angle), std::sin(angle)} * random.Range(5.0f, 9.0f);
                        const Vec2 across = Vec2{-std::sin(angle), std::cos(angle)} * 2.2f;
                        FillPolygon(anImage, {root - across, tip, root + across}, aStyle.myTip);
                    }
                }
            }
            // The mound the spikes grow from, over their roots.
            FillShape(anImage, Whole(anImage),
                      [&](Vec2 p) {
                          const float top = height * 0.86f - height * 0.08f * PeriodicNoise1D(p.x / width * 6.0f, 6, aStyle.mySeed + 5u);
                          return top - p.y;
                      },
                      [&](Vec2 p) { return Mix(aStyle.myMound, Scaled(aStyle.myMound, 0.7f), Clamp01((p.y - height * 0.8f) / (height * 0.2f))); });
        }

        // The forest: brown earth under snow, a snowy log, brambles.
        void ForestFace(Image& anImage)
        {
            PaintFace(anImage, {.myLight = Hex(0x7d5f46), .myDark = Hex(0x563f2e), .myStrata = Hex(0x8f7055), .myCrack = Hex(0x352519),
                                .myStone = Hex(0x8a837a), .myStoneShade = Hex(0x5c5650), .myBands = 3, .myStones = 7, .mySeed = 401u});
        }

        void ForestTop(Image& anImage)
        {
            PaintTop(anImage, {.mySurface = Hex(0xf7fbff), .myUnder = Hex(0xd0dfee), .myShadow = Hex(0x24170f), .myThickness = 26.0f,
                               .myVariation = 8.0f, .mySeed = 402u});
        }

        void ForestLedge(Image& anImage)
        {
            PaintLedge(anImage, {.myBody = Hex(0x7a5238), .myBodyDark = Hex(0x4a3020), .myGrain = Hex(0x342014), .myCap = Palette::SNOW,
                                 .myGrainLines = true, .myCapDepth = 0.4f, .mySeed = 403u});
        }

        void ForestTrap(Image& anImage)
        {
            PaintTrap(anImage, {.myMound = Hex(0x2a1a1c), .mySpike = Hex(0x6a3430), .mySpikeShade = Hex(0x3c1c1e), .myTip = Hex(0xe8d8bf),
                                .mySpikes = 11, .myShortest = 0.4f, .myLongest = 0.8f, .myLean = 0.3f, .myVines = true, .mySeed = 404u});
        }

        // The cave: blue-grey rock with a frosted rim, a rock slab, stone spikes.
        void CaveFace(Image& anImage)
        {
            PaintFace(anImage, {.myLight = Hex(0x535a7a), .myDark = Hex(0x363b56), .myStrata = Hex(0x626a8c), .myCrack = Hex(0x1e2136),
                                .myStone = Hex(0x646c8e), .myStoneShade = Hex(0x40466a), .myBands = 4, .myStones = 5, .mySeed = 411u});
        }

        void CaveTop(Image& anImage)
        {
            PaintTop(anImage, {.mySurface = Hex(0xa8b4d6), .myUnder = Hex(0x737c9f), .myShadow = Hex(0x12141f), .myThickness = 14.0f,
                               .myVariation = 5.0f, .myDrips = false, .mySeed = 412u});
        }

        void CaveLedge(Image& anImage)
        {
            PaintLedge(anImage, {.myBody = Hex(0x6c7396), .myBodyDark = Hex(0x3e4460), .myGrain = Hex(0x2c3048), .myCap = Hex(0xa8b4d6),
                                 .myCapDepth = 0.25f, .mySeed = 413u});
        }

        void CaveTrap(Image& anImage)
        {
            PaintTrap(anImage, {.myMound = Hex(0x2b2f45), .mySpike = Hex(0x9098ba), .mySpikeShade = Hex(0x535b7e), .myTip = Hex(0xd4def6),
                                .mySpikes = 8, .myShortest = 0.5f, .myLongest = 0.88f, .myLean = 0.12f, .mySeed = 414u});
        }

        // The summit: frozen stone under deep snow, a slab of ice, ice spikes.
        void FinalFace(Image& anImage)
        {
            PaintFace(anImage, {.myLight = Hex(0x5c6590), .myDark = Hex(0x3c4266), .myStrata = Hex(0x6b75a0), .myCrack = Hex(0x232743),
                                .myStone = Hex(0x6c769c), .myStoneShade = Hex(0x474e74), .myFleck = WithAlpha(Hex(0xd8e2fa), 0.35f), .myBands = 3,
                                .myStones = 6, .mySeed = 421u});
        }

        void FinalTop(Image& anImage)
        {
            PaintTop(anImage, {.mySurface = Hex(0xeef3ff), .myUnder = Hex(0xb4c3e6), .myShadow = Hex(0x171a30), .myThickness = 30.0f,
                               .myVariation = 9.0f, .mySeed = 422u});
        }

        void FinalLedge(Image& anImage)
        {
            PaintLedge(anImage, {.myBody = Hex(0x86a4cc), .myBodyDark = Hex(0x4f6894), .myGrain = Hex(0xc8def4), .myCap = Hex(0xeef3ff),
                                 .myCapDepth = 0.4f, .mySeed = 423u});
        }

        void FinalTrap(Image& anImage)
        {
            PaintTrap(anImage, {.myMound = Hex(0x3a4870), .mySpike = Hex(0xaedcf2), .mySpikeShade = Hex(0x6a9ccc), .myTip = Hex(0xf4fbff),
                                .mySpikes = 10, .myShortest = 0.45f, .myLongest = 0.9f, .myLean = 0.1f, .mySeed = 424u});
        }
    }

    const std::vector<TerrainPiece>& TerrainPieces()
    {
        static const std::vector<TerrainPiece> pieces = {
            {"sprites/terrain/S_TR_Forest_Face.dds", 512, 512, "forest", "Face", ForestFace},
            {"sprites/terrain/S_TR_Forest_Top.dds", 512, 64, "forest", "Top", ForestTop},
            {"sprites/terrain/S_TR_Forest_Ledge.dds", 512, 64, "forest", "Ledge", ForestLedge},
            {"sprites/terrain/S_TR_Forest_Trap.dds", 256, 128, "forest", "Trap", ForestTrap},
            {"sprites/terrain/S_TR_Cave_Face.dds", 512, 512, "cave", "Face", CaveFace},
            {"sprites/terrain/S_TR_Cave_Top.dds", 512, 64, "cave", "Top", CaveTop},
            {"sprites/terrain/S_TR_Cave_Ledge.dds", 512, 64, "cave", "Ledge", CaveLedge},
            {"sprites/terrain/S_TR_Cave_Trap.dds", 256, 128, "cave", "Trap", CaveTrap},
            {"sprites/terrain/S_TR_Final_Face.dds", 512, 512, "final", "Face", FinalFace},
            {"sprites/terrain/S_TR_Final_Top.dds", 512, 64, "final", "Top", FinalTop},
            {"sprites/terrain/S_TR_Final_Ledge.dds", 512, 64, "final", "Ledge", FinalLedge},
            {"sprites/terrain/S_TR_Final_Trap.dds", 256, 128, "final", "Trap", FinalTrap},
        };
        return pieces;
    }

    std::vector<SpriteJob> TerrainSpriteJobs()
    {
        return PieceJobs(TerrainPieces());
    }
}
