#include "GameplaySprites.h"

#include "Noise.h"
#include "Palette.h"
#include "Shapes.h"
#include "SpriteSheet.h"

#include <cmath>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;

        // A lantern on a stone post, frozen in ice: the ice cracks (frames 1-6), bursts (7-10) and
        // the flame inside takes light (from 8; frames 11-15 flicker with rising sparks). The cell's
        // ground line is 0.8 of its height, where the game puts the sprite's pivot.
        void CheckpointFrame(Image& aCell, int aFrame, int)
        {
            const float s = aCell.Width() / 256.0f;
            const auto at = [s](float aX, float aY) { return Vec2{aX * s, aY * s}; };
            const float lit = SmoothStep(7.0f, 11.0f, static_cast<float>(aFrame));
            const float flicker = aFrame >= 11 ? 1.0f + 0.08f * std::sin(aFrame * 2.3f) : 1.0f;

            Glow(aCell, at(128, 100), 120.0f * s * lit * flicker, WithAlpha(Palette::GOLD, 0.45f * lit));
            FillEllipse(aCell, at(128, 207), at(74, 14), Hex(0xdfeaf7));
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return RoundedBoxDistance(p, at(128, 168), at(15, 40), 5.0f * s); },
                      [&](Vec2 p) { return Mix(Hex(0x6d7286), Hex(0x434759), Clamp01((p.x - 113.0f * s) / (30.0f * s))); });
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return RoundedBoxDistance(p, at(128, 132), at(22, 6), 3.0f * s); },
                      [](Vec2) { return Hex(0x3b3f50); });
            // The lantern: an iron frame around a glass that glows once lit.
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return RoundedBoxDistance(p, at(128, 100), at(26, 28), 5.0f * s); },
                      [](Vec2) { return Hex(0x2a2630); });
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return RoundedBoxDistance(p, at(128, 101), at(19, 21), 3.0f * s); },
                      [&](Vec2 p) { return Mix(Hex(0x39465e), Mix(Hex(0xffd27a), Hex(0xff9a3c), Clamp01((p.y - 80.0f * s) / (42.0f * s))), lit); });
            StrokeSegment(aCell, at(128, 112), at(128, 122), 1.6f * s, Hex(0x2a2630));
            if (lit > 0.0f)
            {
                const float height = 17.0f * s * lit * flicker;
                FillShape(aCell, Whole(aCell),
                          [&](Vec2 p) {
                              const Vec2 base = at(128, 112);
                              const float t = Clamp01((base.y - p.y) / (height * 2.0f));
                              const float halfWidth = 8.0f * s * lit * std::sin(PI * std::pow(t, 0.6f) * 0.95f + 0.05f);
                              return std::max(std::abs(p.x - base.x) - halfWidth, std::max(p.y - base.y, base.y - height * 2.0f - p.y));
                          },
                          [&](Vec2 p) { return Mix(Hex(0xfff3c0), Palette::EMBER, Clamp01((at(128, 112).y - p.y) / (34.0f * s))); });
            }
            FillPolygon(aCell, {at(94, 74), at(162, 74), at(128, 50)}, Hex(0x2a2630));
            FillPolygon(aCell, {at(100, 66), at(156, 66), at(128, 47)}, Hex(0xeef4fb));

            Random random(9u);
            if (aFrame <= 6)
            {
                const std::vector<Vec2> shell{at(128, 30), at(170, 62), at(174, 128), at(128, 146), at(82, 130), at(86, 60)};
                FillPolygon(aCell, shell, WithAlpha(Hex(0xbfe6f6), 0.55f));
                StrokeSegment(aCell, at(104, 50), at(96, 110), 2.5f * s, WithAlpha(Palette::WHITE, 0.6f));
                const float reach = aFrame / 6.0f;
                for (int crack = 0; crack < 7; ++crack)
                {
                    Vec2 point = at(128 + random.Range(-10.0f, 10.0f), 90 + random.Range(-10.0f, 10.0f));
                    float angle = random.Range(0.0f, 2.0f * PI);
                    for (int step = 0; step < 4 && step < static_cast<int>(reach * 5.0f); ++step)
                    {
                        angle += random.Range(-0.6f, 0.6f);
                        const Vec2 next = point + Vec2{std::cos(angle), std::sin(angle)} * (12.0f * s);
                        StrokeSegment(aCell, point, next, 1.2f * s, WithAlpha(Palette::WHITE, 0.9f));
                        point = next;
                    }
                }
            }
            else if (aFrame <= 11)
            {
                const float t = (aFrame - 6) / 5.0f;
                if (aFrame == 7)
                {
                    Glow(aCell, at(128, 90), 90.0f * s, WithAlpha(Palette::WHITE, 0.7f));
                }
                for (int shard = 0; shard < 12; ++shard)
                {
                    const float angle = random.Range(0.0f, 2.0f * PI);
                    const float speed = random.Range(50.0f, 110.0f) * s;
                    const Vec2 centre = at(128, 90) + Vec2{std::cos(angle), std::sin(angle)} * (speed * t) + Vec2{0.0f, 60.0f * s * t * t};
                    const float spin = random.Range(-3.0f, 3.0f) * t;
                    const float size = random.Range(6.0f, 12.0f) * s;
                    std::vector<Vec2> piece;
                    for (int k = 0; k < 3; ++k)
                    {
                        piece.push_back(centre + Rotate(Vec2{size, 0.0f}, spin + k * 2.1f + (k == 1 ? 0.4f : 0.0f)));
                    }
                    FillPolygon(aCell, piece, WithAlpha(Hex(0xd6f1fb), 0.85f * (1.0f - t)));
                }
            }
            if (aFrame >= 10)
            {
                for (int spark = 0; spark < 6; ++spark)
                {
                    const float phase = std::fmod(spark * 0.37f + aFrame * 0.19f, 1.0f);
                    const Vec2 point = at(128 + std::sin(spark * 2.0f + phase * 5.0f) * 14.0f, 70 - phase * 60.0f);
                    Glow(aCell, point, 6.0f * s, WithAlpha(Palette::GOLD, 0.9f * (1.0f - phase)));
                }
            }
        }

        void PaintCap(Image& aCell, Vec2 aCentre, Vec2 aRadii, float aScale)
        {
            const float rimY = aCentre.y + aRadii.y * 0.18f;
            FillEllipse(aCell, {aCentre.x, rimY}, {aRadii.x * 0.8f, aRadii.y * 0.22f}, Hex(0x1d3a55));
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return std::max(EllipseDistance(p, aCentre, aRadii), p.y - rimY); },
                      [&](Vec2 p) {
                          const float down = Clamp01((p.y - (aCentre.y - aRadii.y)) / (aRadii.y * 1.2f));
                          Colour colour = Mix(Hex(0x5fd0ee), Hex(0x1f6d99), down);
                          const float snow = SmoothStep(0.32f, 0.18f, down + (Fbm(p.x / (8.0f * aScale), 0.5f, 2, 5u) - 0.5f) * 0.2f);
                          return Mix(colour, Palette::SNOW, snow);
                      });
            const Vec2 spots[] = {{-0.45f, -0.1f}, {0.05f, -0.45f}, {0.5f, -0.05f}, {-0.15f, 0.05f}};
            for (const Vec2& spot : spots)
            {
                FillEllipse(aCell, aCentre + Vec2{spot.x * aRadii.x, spot.y * aRadii.y}, Vec2{aRadii.x * 0.1f, aRadii.y * 0.12f}, WithAlpha(Hex(0xe8fbff), 0.9f));
            }
        }

        // A bouncy snow-cap mushroom: it squashes and shrinks (frames 1-4, which also play backwards
        // as its regrowth), then bursts into spores (5-15) leaving its stump.
        void MushroomFrame(Image& aCell, int aFrame, int)
        {
            const float s = aCell.Width() / 192.0f;
            const float ground = 154.0f * s;
            const float centreX = 96.0f * s;
            FillEllipse(aCell, {centreX, ground + 2.0f * s}, {50.0f * s, 8.0f * s}, WithAlpha(Hex(0x9fb3cc), 0.7f));
            if (aFrame <= 4)
            {
                const float squash = aFrame / 4.0f;
                const float scale = 1.0f - 0.11f * aFrame;
                const float sy = scale * (1.0f - 0.25f * squash);
                const float sx = scale * (1.0f + 0.12f * squash);
                FillShape(aCell, Whole(aCell),
                          [&](Vec2 p) { return RoundedBoxDistance(p, {centreX, ground - 26.0f * s * sy}, {12.0f * s * sx, 26.0f * s * sy}, 8.0f * s * sx); },
                          [&](Vec2 p) { return Mix(Hex(0xf2ead8), Hex(0xc8bca6), Clamp01((p.x - centreX + 12.0f * s) / (24.0f * s))); });
                PaintCap(aCell, {centreX, ground - 52.0f * s * sy}, {64.0f * s * sx, 44.0f * s * sy}, s);
                return;
            }
            const float t = (aFrame - 5) / 10.0f;
            FillPolygon(aCell, {{centreX - 11.0f * s, ground}, {centreX + 11.0f * s, ground}, {centreX + 10.0f * s, ground - 22.0f * s},
                                {centreX + 3.0f * s, ground - 27.0f * s}, {centreX - 2.0f * s, ground - 21.0f * s}, {centreX - 9.0f * s, ground - 26.0f * s}},
                        Hex(0xd9cfba));
            Random random(31u);
            for (int puff = 0; puff < 7; ++puff)
            {
                const float angle = random.Range(0.0f, 2.0f * PI);
                const Vec2 centre = Vec2{centreX, ground - 55.0f * s} + Vec2{std::cos(angle), std::sin(angle) * 0.6f} * ((20.0f + 45.0f * t) * s);
                SoftDisc(aCell, centre, (18.0f + 26.0f * t) * s, WithAlpha(Hex(0xbfeaf5), 0.75f * std::pow(1.0f - t, 1.5f)));
            }
            for (int piece = 0; piece < 6; ++piece)
            {
                const float angle = -PI * (0.1f + 0.8f * piece / 5.0f);
                const Vec2 centre = Vec2{centreX, ground - 55.0f * s} + Vec2{std::cos(angle), std::sin(angle)} * (70.0f * s * t) + Vec2{0.0f, 90.0f * s * t * t};
                FillEllipse(aCell, centre, Vec2{12.0f, 7.0f} * s, WithAlpha(Hex(0x3f9cc4), Clamp01(1.6f * (1.0f - t))));
            }
            for (int spore = 0; spore < 18; ++spore)
            {
                const Vec2 origin{centreX + random.Range(-50.0f, 50.0f) * s, ground - random.Range(30.0f, 80.0f) * s};
                const Vec2 centre = origin + Vec2{std::sin(spore + t * 4.0f) * 6.0f * s, -50.0f * s * t};
                Glow(aCell, centre, 5.0f * s, WithAlpha(Hex(0xe6fcff), 0.9f * (1.0f - t)));
            }
        }

        Image Snowflake(int aKind)
        {
            Image image(128, 128);
            const Vec2 centre{64.0f, 64.0f};
            const Colour white = Palette::WHITE;
            switch (aKind)
            {
            case 1: // a soft out-of-focus flake
                FillBox(image, Whole(image), [&](Vec2 p) {
                    const float d = Length(p - centre) / 30.0f;
                    return WithAlpha(white, std::exp(-d * d) * SmoothStep(62.0f, 50.0f, Length(p - centre)));
                });
                break;
            case 2: // a branching crystal
                Glow(image, centre, 60.0f, WithAlpha(white, 0.35f));
                for (int arm = 0; arm < 6; ++arm)
                {
                    const float angle = arm * PI / 3.0f;
                    const Vec2 direction{std::cos(angle), std::sin(angle)};
                    StrokeSegment(image, centre, centre + direction * 54.0f, 3.0f, white);
                    for (const float along : {0.45f, 0.72f})
                    {
                        const Vec2 root = centre + direction * (54.0f * along);
                        const float length = 16.0f * (1.1f - along);
                        StrokeSegment(image, root, root + Rotate(direction, 1.0f) * length, 2.2f, white);
                        StrokeSegment(image, root, root + Rotate(direction, -1.0f) * length, 2.2f, white);
                    }
                }
                break;
            case 3: // a bright speck
                Glow(image, centre, 56.0f, WithAlpha(white, 0.6f));
                FillCircle(image, centre, 12.0f, white);
                break;
            case 4: // a plate crystal
            {
                std::vector<Vec2> plate;
                for (int i = 0; i < 6; ++i)
                {
                    plate.push_back(centre + Vec2{std::cos(i * PI / 3.0f), std::sin(i * PI / 3.0f)} * 50.0f);
                }
                Glow(image, centre, 62.0f, WithAlpha(white, 0.3f));
                FillPolygon(image, plate, WithAlpha(white, 0.55f));
                for (int i = 0; i < 6; ++i)
                {
                    StrokeSegment(image, centre, plate[i], 2.0f, white);
                    StrokeSegment(image, plate[i], plate[(i + 1) % 6], 2.5f, white);
                }
                break;
            }
            case 5: // a clump of flakes
            {
                Random random(55u);
                for (int i = 0; i < 7; ++i)
                {
                    SoftDisc(image, centre + Vec2{random.Range(-26.0f, 26.0f), random.Range(-26.0f, 26.0f)}, random.Range(14.0f, 28.0f), WithAlpha(white, 0.8f), 0.2f);
                }
                break;
            }
            default: // a glint
                Sparkle(image, centre, 60.0f, white);
                break;
            }
            return image;
        }

        // A long spike of ice under a lump of snow; its top edge is the object's anchor.
        Image Icicle()
        {
            Image image(128, 512);
            std::vector<Vec2> spike{{14.0f, 24.0f}};
            for (int i = 1; i <= 12; ++i)
            {
                const float t = i / 12.0f;
                spike.push_back({14.0f + 50.0f * t * t + 4.0f * std::sin(t * 19.0f) * (1.0f - t), 24.0f + 484.0f * t});
            }
            for (int i = 11; i >= 1; --i)
            {
                const float t = i / 12.0f;
                spike.push_back({114.0f - 50.0f * std::pow(t, 1.6f) + 3.0f * std::sin(t * 23.0f) * (1.0f - t), 24.0f + 484.0f * t});
            }
            spike.push_back({114.0f, 24.0f});
            FillShape(image, Whole(image), [&](Vec2 p) { return PolygonDistance(p, spike); },
                      [](Vec2 p) {
                          const float t = Clamp01(p.y / 512.0f);
                          Colour colour = Mix(WithAlpha(Hex(0xe6f6fd), 0.95f), WithAlpha(Hex(0x9fd6ee), 0.85f), t);
                          const float highlight = std::exp(-std::pow((p.x - (40.0f + 20.0f * t)) / 7.0f, 2.0f));
                          const float shade = SmoothStep(64.0f, 110.0f, p.x + 30.0f * t);
                          colour = Mix(colour, WithAlpha(Hex(0x5d9cc4), colour.a), shade * 0.5f);
                          return Mix(colour, WithAlpha(Palette::WHITE, colour.a), highlight * 0.8f);
                      });
            FillShape(image, Whole(image),
                      [](Vec2 p) { return EllipseDistance(p, {64.0f, 22.0f}, {62.0f, 20.0f}) + (Fbm(p.x / 9.0f, p.y / 9.0f, 3, 17u) - 0.5f) * 10.0f; },
                      [](Vec2 p) { return Mix(Palette::SNOW, Hex(0xc4d6ea), Clamp01((p.y - 10.0f) / 30.0f)); });
            return image;
        }
    }

    std::vector<SpriteJob> GameplaySpriteJobs()
    {
        std::vector<SpriteJob> jobs = {
            {"sprites/A_checkpointBreak.dds", true, [] { return PaintSheet(4, 4, 256, 256, CheckpointFrame); }},
            {"sprites/A_mushroomBreak.dds", false, [] { return PaintSheet(4, 4, 192, 192, MushroomFrame); }},
            {"sprites/S_VFX_Icicle.dds", true, Icicle},
        };
        for (int kind = 1; kind <= 6; ++kind)
        {
            jobs.push_back({"sprites/S_VFX_SnowFlake_00" + std::to_string(kind) + ".dds", true, [kind] { return Snowflake(kind); }});
        }
        return jobs;
    }
}
