#include "EffectSheets.h"

#include "Noise.h"
#include "Palette.h"
#include "Shapes.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;
        const Colour DUST = WithAlpha(Hex(0xeef5ff), 1.0f);

        float Progress(int aFrame, int aCount) { return (aFrame + 0.5f) / aCount; }

        // Snow kicked up on landing, rolling out to both sides along the ground.
        void LandDust(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            Random random(3u);
            for (int i = 0; i < 12; ++i)
            {
                const float side = i % 2 ? 1.0f : -1.0f;
                const float speed = random.Range(0.5f, 1.0f);
                const Vec2 centre{64.0f * s + side * (8.0f + 46.0f * speed * std::sqrt(t)) * s, (100.0f - 14.0f * std::sin(PI * t) * speed) * s};
                SoftDisc(aCell, centre, (6.0f + 14.0f * t * speed) * s, WithAlpha(DUST, 0.85f * std::pow(1.0f - t, 1.3f)));
            }
        }

        // A crescent of puffs left below a take-off (the game turns it along the jump).
        void JumpDust(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            for (int i = 0; i < 9; ++i)
            {
                const float angle = PI * (0.12f + 0.76f * i / 8.0f);
                const float reach = (10.0f + 38.0f * std::sqrt(t)) * s;
                const Vec2 centre = Vec2{64.0f * s, 58.0f * s} + Vec2{std::cos(angle) * 1.3f, std::sin(angle) * 0.7f} * reach;
                SoftDisc(aCell, centre, (5.0f + 9.0f * t) * s, WithAlpha(DUST, 0.8f * (1.0f - t)));
            }
        }

        // Speed lines streaking across and a swirl of air.
        void DashTrail(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float w = static_cast<float>(aCell.Width());
            const float h = static_cast<float>(aCell.Height());
            Random random(5u);
            for (int line = 0; line < 7; ++line)
            {
                const float y = h * (0.2f + 0.6f * line / 6.0f) + random.Range(-3.0f, 3.0f);
                const float length = w * (0.35f + 0.5f * random.Range(0.5f, 1.0f)) * (1.0f - (1.0f - t) * (1.0f - t));
                const float start = w * 0.5f - length * 0.5f + random.Range(-8.0f, 8.0f);
                StrokeSegment(aCell, {start, y}, {start + length, y}, random.Range(1.2f, 2.6f) * w / 128.0f, WithAlpha(Palette::FROST, 0.8f * (1.0f - t)));
            }
            FillShape(aCell, Whole(aCell),
                      [&](Vec2 p) {
                          const Vec2 d = p - Vec2{w * 0.5f, h * 0.5f};
                          const float ring = std::abs(Length(Vec2{d.x * 0.5f, d.y}) - h * (0.2f + 0.2f * t)) - 1.5f;
                          return std::max(ring, d.x > 0.0f ? 0.0f : 1.0f);
                      },
                      [&](Vec2) { return WithAlpha(Palette::WHITE, 0.6f * (1.0f - t)); });
        }

        // A ring of air and glints pushed out by the second flap.
        void DoubleJumpRing(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            const Vec2 centre{64.0f * s, 64.0f * s};
            const float radius = (12.0f + 44.0f * std::sqrt(t)) * s;
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return std::abs(Length(Vec2{p.x - centre.x, (p.y - centre.y) * 1.6f}) - radius) - (1.0f + 5.0f * (1.0f - t)) * s; },
                      [&](Vec2) { return WithAlpha(Palette::FROST, 0.9f * (1.0f - t)); });
            for (int i = 0; i < 6; ++i)
            {
                const float angle = i * PI / 3.0f + 0.4f;
                Sparkle(aCell, centre + Vec2{std::cos(angle), std::sin(angle) / 1.6f} * (radius * 1.1f), 9.0f * s * (1.0f - t), WithAlpha(Palette::WHITE, 1.0f - t));
            }
        }

        // Snow scraped off the wall (on the cell's right edge) trickling down.
        void WallSlideSpray(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            Random random(8u);
            for (int i = 0; i < 12; ++i)
            {
                const float speed = random.Range(0.4f, 1.0f);
                const Vec2 centre{(112.0f - 40.0f * speed * t) * s, (30.0f + random.Range(0.0f, 30.0f) + 60.0f * t * t * speed) * s};
                SoftDisc(aCell, centre, random.Range(3.0f, 6.0f) * s, WithAlpha(DUST, 0.9f * (1.0f - t)), 0.5f);
            }
        }

        // A burst of snow off the wall (right edge) as the bird kicks away from it.
        void WallJumpDust(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            for (int i = 0; i < 8; ++i)
            {
                const float angle = PI + (i / 7.0f - 0.5f) * 1.6f;
                const Vec2 centre = Vec2{110.0f * s, 64.0f * s} + Vec2{std::cos(angle), std::sin(angle)} * ((8.0f + 46.0f * std::sqrt(t)) * s);
                SoftDisc(aCell, centre, (6.0f + 10.0f * t) * s, WithAlpha(DUST, 0.85f * (1.0f - t)));
            }
        }

        // A flat shock ring and spores kicked up by a pogo bounce.
        void PogoDust(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            const Vec2 centre{64.0f * s, 96.0f * s};
            const Vec2 radii = Vec2{12.0f + 50.0f * std::sqrt(t), 4.0f + 13.0f * std::sqrt(t)} * s;
            FillShape(aCell, Whole(aCell), [&](Vec2 p) { return std::abs(EllipseDistance(p, centre, radii)) - (1.0f + 3.0f * (1.0f - t)) * s; },
                      [&](Vec2) { return WithAlpha(Palette::FROST, 0.9f * (1.0f - t)); });
            Random random(12u);
            for (int i = 0; i < 10; ++i)
            {
                const float side = i % 2 ? 1.0f : -1.0f;
                const Vec2 at = centre + Vec2{side * random.Range(10.0f, 40.0f) * (0.5f + t), -random.Range(10.0f, 50.0f) * t} * s;
                Glow(aCell, at, 6.0f * s, WithAlpha(Hex(0xcff6ff), 0.9f * (1.0f - t)));
            }
        }

        // Shards of ice flying apart and falling, after a white flash.
        void IcicleShatter(Image& aCell, int aFrame, int aCount)
        {
            const float t = Progress(aFrame, aCount);
            const float s = aCell.Width() / 128.0f;
            const Vec2 origin{64.0f * s, 44.0f * s};
            if (aFrame < 2)
            {
                Glow(aCell, origin, 40.0f * s, WithAlpha(Palette::WHITE, 0.8f - 0.3f * aFrame));
            }
            Random random(14u);
            constexpr int SHARDS = 16;
            for (int shard = 0; shard < SHARDS; ++shard)
            {
                // Spread evenly over the upper half, each a little off its even place.
                const float angle = -PI * (0.06f + 0.88f * (shard + random.Range(0.0f, 1.0f)) / SHARDS);
                const float speed = random.Range(60.0f, 120.0f) * s;
                const Vec2 centre = origin + Vec2{std::cos(angle), std::sin(angle)} * (speed * t) + Vec2{0.0f, 150.0f * s * t * t};
                const float spin = random.Range(-8.0f, 8.0f) * t;
                const float size = random.Range(4.0f, 9.0f) * s;
                FillPolygon(aCell, {centre + Rotate({size * 1.6f, 0.0f}, spin), centre + Rotate({0.0f, size * 0.6f}, spin), centre + Rotate({-size, 0.0f}, spin)},
                            WithAlpha(Hex(0xd8f2fc), Clamp01(2.0f * (1.0f - t))));
            }
            for (int dust = 0; dust < 5; ++dust)
            {
                SoftDisc(aCell, origin + Vec2{random.Range(-20.0f, 20.0f), random.Range(-10.0f, 10.0f) + 20.0f * t} * s, (10.0f + 16.0f * t) * s,
                         WithAlpha(DUST, 0.5f * (1.0f - t)));
            }
        }

        // Looping: warm lights wandering on closed paths (whole cycles per loop, so it wraps cleanly).
        void Fireflies(Image& aCell, int aFrame, int aCount)
        {
            const float phase = 2.0f * PI * aFrame / aCount;
            const float w = static_cast<float>(aCell.Width());
            Random random(16u);
            for (int fly = 0; fly < 7; ++fly)
            {
                const Vec2 home{random.Range(0.25f, 0.75f) * w, random.Range(0.25f, 0.75f) * w};
                const float offset = random.Range(0.0f, 2.0f * PI);
                const Vec2 at = home + Vec2{std::sin(phase + offset) * 0.18f * w, std::sin(2.0f * phase + offset * 1.3f) * 0.12f * w};
                const float pulse = 0.35f + 0.65f * std::pow(0.5f + 0.5f * std::sin(phase * (1 + fly % 2) + offset), 2.0f);
                Glow(aCell, at, 0.12f * w, WithAlpha(Hex(0xd8ff7a), 0.55f * pulse));
                FillCircle(aCell, at, 0.018f * w, WithAlpha(Hex(0xfbffd8), pulse));
            }
        }

        // Looping: a drop swells under the ceiling, falls the cell's height and splashes.
        void CaveDrip(Image& aCell, int aFrame, int aCount)
        {
            const float t = static_cast<float>(aFrame) / aCount;
            const float w = static_cast<float>(aCell.Width());
            const float h = static_cast<float>(aCell.Height());
            const Colour water = WithAlpha(Hex(0xaee8ff), 0.9f);
            if (t < 0.45f)
            {
                const float grow = t / 0.45f;
                FillEllipse(aCell, {w * 0.5f, h * 0.02f + 6.0f * grow}, {3.0f + 4.0f * grow, 4.0f + 7.0f * grow}, water);
            }
            else if (t < 0.8f)
            {
                const float fall = (t - 0.45f) / 0.35f;
                const float y = h * 0.06f + (h * 0.86f) * fall * fall;
                FillEllipse(aCell, {w * 0.5f, y}, {6.0f, 9.0f + 6.0f * fall}, water);
                Glow(aCell, {w * 0.5f - 2.0f, y - 3.0f}, 5.0f, WithAlpha(Palette::WHITE, 0.8f));
            }
            else
            {
                const float splash = (t - 0.8f) / 0.2f;
                const Vec2 base{w * 0.5f, h * 0.94f};
                FillShape(aCell, Whole(aCell), [&](Vec2 p) { return std::abs(EllipseDistance(p, base, {4.0f + 22.0f * splash, 2.0f + 5.0f * splash})) - 1.5f; },
                          [&](Vec2) { return WithAlpha(water, 0.9f * (1.0f - splash)); });
                for (int drop = -1; drop <= 1; drop += 2)
                {
                    const Vec2 at = base + Vec2{drop * 14.0f * splash, -22.0f * splash + 24.0f * splash * splash};
                    FillCircle(aCell, at, 2.5f, WithAlpha(water, 1.0f - splash));
                }
            }
        }

        // Looping: frost glints winking on and off.
        void SnowSparkle(Image& aCell, int aFrame, int aCount)
        {
            const float phase = static_cast<float>(aFrame) / aCount;
            const float w = static_cast<float>(aCell.Width());
            Random random(18u);
            for (int glint = 0; glint < 9; ++glint)
            {
                const Vec2 at{random.Range(0.12f, 0.88f) * w, random.Range(0.12f, 0.88f) * w};
                const float offset = random.Range(0.0f, 1.0f);
                const float brightness = std::pow(std::max(0.0f, std::sin(2.0f * PI * (phase + offset))), 3.0f);
                if (brightness > 0.01f)
                {
                    Sparkle(aCell, at, random.Range(0.06f, 0.12f) * w * (0.5f + 0.5f * brightness), WithAlpha(Hex(0xeaf6ff), brightness));
                }
            }
        }
    }

    const std::vector<EffectArt>& EffectArts()
    {
        static const std::vector<EffectArt> arts = {
            {"sprites/S_VFX_LandDust.dds", 128, 128, LandDust},
            {"sprites/S_VFX_JumpDust.dds", 128, 128, JumpDust},
            {"sprites/S_VFX_Dash.dds", 128, 64, DashTrail},
            {"sprites/S_VFX_DoubleJump.dds", 128, 128, DoubleJumpRing},
            {"sprites/S_VFX_WallSlide.dds", 128, 128, WallSlideSpray},
            {"sprites/S_VFX_WallJumpDust.dds", 128, 128, WallJumpDust},
            {"sprites/S_VFX_PogoDust.dds", 128, 128, PogoDust},
            {"sprites/S_VFX_IcicleBreak.dds", 128, 128, IcicleShatter},
            {"sprites/S_VFX_Fireflies.dds", 128, 128, Fireflies},
            {"sprites/S_VFX_CaveDrip.dds", 64, 256, CaveDrip},
            {"sprites/S_VFX_SnowSparkle.dds", 128, 128, SnowSparkle},
        };
        return arts;
    }

    std::vector<SpriteJob> EffectSpriteJobs(const std::filesystem::path& anEffectTable)
    {
        std::ifstream file(anEffectTable);
        if (!file)
        {
            throw std::runtime_error("cannot open " + anEffectTable.string());
        }
        const nlohmann::json table = nlohmann::json::parse(file);
        std::map<std::string, std::pair<int, int>> layouts;
        for (const nlohmann::json& effect : table.at("VFX"))
        {
            const std::string texture = effect.at("texture").get<std::string>();
            const std::pair<int, int> layout{effect.value("framesX", 1), effect.value("framesY", 1)};
            const auto [known, added] = layouts.emplace(texture, layout);
            if (!added && known->second != layout)
            {
                throw std::runtime_error("effect sheet " + texture + " is named with two frame layouts");
            }
        }
        std::vector<SpriteJob> jobs;
        for (const auto& [texture, layout] : layouts)
        {
            const EffectArt* art = nullptr;
            for (const EffectArt& candidate : EffectArts())
            {
                art = candidate.myTexture == texture ? &candidate : art;
            }
            if (art == nullptr)
            {
                throw std::runtime_error("no art for the effect sheet " + texture);
            }
            const int columns = layout.first;
            const int rows = layout.second;
            jobs.push_back({texture, true, [art, columns, rows] { return PaintSheet(columns, rows, art->myCellWidth, art->myCellHeight, art->myFrame); }});
        }
        return jobs;
    }
}
