#include "UiSprites.h"

#include "Lettering.h"
#include "Palette.h"
#include "Scenery.h"
#include "Shapes.h"

#include <cmath>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;

        // A winter night over mountains and firs; the lower middle stays calm for the menu's buttons.
        Image MenuBackground(int aWidth, int aHeight)
        {
            Image image(aWidth, aHeight);
            const float w = static_cast<float>(aWidth);
            const float h = static_cast<float>(aHeight);
            PaintNightSky(image, 11u);
            PaintRidge(image, FarRange(h * 0.66f, h * 0.22f, w * 0.22f, 3u));
            PaintRidge(image, NearRange(h * 0.76f, h * 0.16f, w * 0.15f, 8u));
            Random random(21u);
            for (float x = -20.0f; x < w + 20.0f; x += random.Range(18.0f, 46.0f) * w / 1920.0f)
            {
                const float ground = h * 0.82f + std::sin(x / w * 9.0f) * h * 0.012f;
                PaintPine(image, {x, ground}, random.Range(0.09f, 0.16f) * h, FAR_FIRS, random.Next());
            }
            PaintRidge(image, SnowField(h * 0.86f, h * 0.05f, w * 0.3f, 13u));
            for (const float u : {0.02f, 0.09f, 0.9f, 0.97f})
            {
                PaintPine(image, {w * u, h * 1.02f}, h * random.Range(0.55f, 0.7f), NEAR_FIRS, random.Next());
            }
            // A soft shadow behind the button column keeps the white texts readable.
            FillBox(image, Whole(image), [&](Vec2 p) {
                const Vec2 d{(p.x - w * 0.5f) / (w * 0.22f), (p.y - h * 0.65f) / (h * 0.2f)};
                return WithAlpha(Hex(0x050a18), 0.45f * std::exp(-Dot(d, d)));
            });
            PaintVignette(image, 0.55f);
            return image;
        }

        // Drawn over the paused level: a dim veil, darkest behind the button panel.
        Image PauseBackground()
        {
            Image image(512, 288);
            FillBox(image, Whole(image), [](Vec2 p) {
                const Vec2 d{(p.x - 256.0f) / 256.0f, (p.y - 144.0f) / 144.0f};
                const float edge = SmoothStep(0.5f, 1.4f, Length(d));
                const float panel = std::exp(-std::pow(d.x / 0.45f, 4.0f) - std::pow(d.y / 0.42f, 4.0f));
                return WithAlpha(Hex(0x07101f), Clamp01(0.55f + 0.25f * edge + 0.25f * panel));
            });
            return image;
        }

        // Our engine's mark: a faceted ice chevron in a hexagon beside the words.
        Image EngineLogo()
        {
            Image image(768, 384);
            const Vec2 centre{190.0f, 192.0f};
            std::vector<Vec2> hexagon;
            for (int i = 0; i < 6; ++i)
            {
                const float angle = PI / 6.0f + i * PI / 3.0f;
                hexagon.push_back(centre + Vec2{std::cos(angle), std::sin(angle)} * 118.0f);
            }
            Glow(image, centre, 190.0f, WithAlpha(Palette::ICE, 0.25f));
            FillShape(image, BoundsOf(image, PolygonMin(hexagon), PolygonMax(hexagon)),
                      [&](Vec2 p) { return std::abs(PolygonDistance(p, hexagon) + 5.0f) - 5.0f; },
                      [&](Vec2) { return Palette::FROST; });
            const std::vector<std::vector<Vec2>> facets = {
                {{118, 128}, {162, 128}, {190, 214}},
                {{162, 128}, {190, 214}, {218, 128}},
                {{218, 128}, {262, 128}, {190, 262}},
                {{118, 128}, {190, 214}, {190, 262}},
            };
            const Colour shades[] = {Hex(0xe9f6ff), Hex(0x8fc9e8), Hex(0x4f8fc4), Hex(0xb9e2f5)};
            for (std::size_t i = 0; i < facets.size(); ++i)
            {
                FillPolygon(image, facets[i], shades[i]);
            }
            TextStyle title;
            title.myTop = Palette::WHITE;
            title.myBottom = Palette::ICE;
            title.myGlow = WithAlpha(Palette::ICE, 0.35f);
            title.myGlowRadius = 10.0f;
            PaintCaption(image, "VRA", {530.0f, 160.0f}, 120.0f, 22.0f, title, 1.6f);
            TextStyle subtitle;
            subtitle.myTop = Palette::FROST;
            subtitle.myBottom = Palette::FROST;
            PaintCaption(image, "ENGINE", {530.0f, 268.0f}, 34.0f, 6.0f, subtitle, 4.0f);
            return image;
        }

        // The studio's mark: a fir against a full moon inside a ring.
        Image StudioLogo()
        {
            Image image(768, 384);
            const Vec2 centre{384.0f, 140.0f};
            Glow(image, centre, 150.0f, WithAlpha(Palette::GOLD, 0.2f));
            FillCircle(image, centre, 92.0f, Hex(0xf3e6c4));
            FillShape(image, BoundsOf(image, centre - Vec2{110, 110}, centre + Vec2{110, 110}),
                      [&](Vec2 p) { return std::abs(CircleDistance(p, centre, 104.0f)) - 4.0f; }, [](Vec2) { return Hex(0xf3e6c4); });
            const PineStyle pine{Hex(0x1b2f46), Hex(0x132235), WithAlpha(Palette::SNOW, 0.9f), Hex(0x1b2f46), 5};
            PaintPine(image, {384.0f, 226.0f}, 170.0f, pine, 77u);
            FillEllipse(image, {384.0f, 230.0f}, {118.0f, 13.0f}, Palette::SNOW);
            TextStyle style;
            style.myTop = Hex(0xf3e6c4);
            style.myBottom = Hex(0xe0c68d);
            PaintCaption(image, "SNOWPINE", {384.0f, 290.0f}, 54.0f, 9.0f, style, 2.2f);
            TextStyle small = style;
            PaintCaption(image, "STUDIO", {384.0f, 346.0f}, 24.0f, 4.0f, small, 5.0f);
            return image;
        }

        // What this build really runs on, in words only.
        Image LibrariesLogo()
        {
            Image image(1024, 256);
            TextStyle small;
            small.myTop = Hex(0xb8c6dc);
            small.myBottom = Hex(0xb8c6dc);
            PaintCaption(image, "POWERED BY", {512.0f, 70.0f}, 26.0f, 4.5f, small, 3.0f);
            TextStyle words;
            words.myTop = Palette::WHITE;
            words.myBottom = Hex(0xd6e2f2);
            words.myGlow = WithAlpha(Hex(0x8fb4ff), 0.25f);
            words.myGlowRadius = 8.0f;
            PaintCaption(image, std::string("SDL2 \xB7 OPENGL \xB7 FFMPEG"), {512.0f, 160.0f}, 62.0f, 10.0f, words, 1.8f);
            return image;
        }

        void PaintFeatherShape(Image& anImage, Vec2 aBase, Vec2 aTip, float aWidth, const Colour& aRoot, const Colour& anEnd)
        {
            const Vec2 axis = aTip - aBase;
            const float length = Length(axis);
            const Vec2 along = axis * (1.0f / length);
            const Vec2 across{-along.y, along.x};
            const float bend = length * 0.06f;
            const auto shaftOffset = [&](float t) { return bend * (1.0f - (2.0f * t - 1.0f) * (2.0f * t - 1.0f)); };
            const auto vaneWidth = [&](float t, bool aLeft) {
                if (t < 0.14f || t > 1.0f)
                {
                    return 0.0f;
                }
                const float s = (t - 0.14f) / 0.86f;
                const float profile = std::sin(PI * std::pow(s, 0.75f)) * (1.0f - 0.35f * s * s);
                return aWidth * profile * (aLeft ? 1.0f : 0.72f);
            };
            const Vec2 low{std::min(aBase.x, aTip.x) - aWidth * 1.2f, std::min(aBase.y, aTip.y) - aWidth * 1.2f};
            const Vec2 high{std::max(aBase.x, aTip.x) + aWidth * 1.2f, std::max(aBase.y, aTip.y) + aWidth * 1.2f};
            FillShape(anImage, BoundsOf(anImage, low, high),
                      [&](Vec2 p) {
                          const Vec2 d = p - aBase;
                          const float t = Dot(d, along) / length;
                          const float side = Dot(d, across) - shaftOffset(Clamp01(t));
                          const bool left = side > 0.0f;
                          // A few notches, slanting towards the base, where the barbs part.
                          const float slant = t + std::abs(side) / length * 0.6f;
                          const float notch = std::pow(std::abs(std::sin(slant * (left ? 11.0f : 8.0f) + (left ? 0.4f : 1.9f))), 60.0f) * aWidth * 0.22f;
                          const float width = vaneWidth(t, left) - notch;
                          const float vane = std::abs(side) - width;
                          const float shaft = std::abs(side) - aWidth * 0.045f * (1.2f - 0.8f * Clamp01(t));
                          const float ends = std::max(-t * length, (t - 1.02f) * length);
                          return std::max(std::min(vane, shaft), ends);
                      },
                      [&](Vec2 p) {
                          const Vec2 d = p - aBase;
                          const float t = Clamp01(Dot(d, along) / length);
                          const float side = Dot(d, across) - shaftOffset(t);
                          const float width = std::max(1.0f, vaneWidth(t, side > 0.0f));
                          const float barbs = 0.5f + 0.5f * std::sin((t * length - std::abs(side) * 1.2f) * 0.5f);
                          const float edge = Clamp01(std::abs(side) / width);
                          Colour colour = Mix(aRoot, anEnd, std::pow(t, 1.5f));
                          colour = Scaled(colour, 0.9f + 0.05f * barbs - 0.1f * edge * edge);
                          if (std::abs(side) < aWidth * 0.05f * (1.2f - 0.8f * t))
                          {
                              colour = Mix(colour, Hex(0xfff8ea), 0.8f);
                          }
                          // Downy and soft near the quill, crisp towards the tip.
                          const float down = SmoothStep(0.35f, 0.14f, t);
                          colour.a = 1.0f - (0.35f + 0.3f * down) * SmoothStep(0.7f - 0.3f * down, 1.0f, edge);
                          return colour;
                      });
        }

        Image Feather(int aSize)
        {
            Image image(aSize, aSize);
            const float s = static_cast<float>(aSize);
            PaintFeatherShape(image, {s * 0.2f, s * 0.84f}, {s * 0.84f, s * 0.14f}, s * 0.17f, Hex(0xf7fbff), Hex(0xc9dcf2));
            return image;
        }

        Image GameLogo(int aWidth, int aHeight)
        {
            Image image(aWidth, aHeight);
            const float w = static_cast<float>(aWidth);
            const float h = static_cast<float>(aHeight);
            // A feather sweeping under the name.
            PaintFeatherShape(image, {w * 0.16f, h * 0.8f}, {w * 0.86f, h * 0.66f}, h * 0.09f, WithAlpha(Hex(0xffffff), 0.95f), Hex(0x9fc6e8));
            TextStyle name;
            name.myTop = Palette::WHITE;
            name.myBottom = Hex(0x9fd3ee);
            name.myOutline = Hex(0x0d1d3a);
            name.myOutlineWidth = 7.0f;
            name.myShadow = WithAlpha(Hex(0x02060f), 0.6f);
            name.myShadowOffset = {6.0f, 8.0f};
            name.myShadowSoftness = 6.0f;
            name.myGlow = WithAlpha(Hex(0x9fd8ff), 0.4f);
            name.myGlowRadius = 14.0f;
            const StrokeText text = PaintCaption(image, "QUILLMERE", {w * 0.5f, h * 0.42f}, h * 0.25f, h * 0.045f, name, 1.5f, 0.06f);
            Random random(404u);
            for (int i = 0; i < 14; ++i)
            {
                const Vec2 at{random.Range(text.Min().x, text.Max().x), random.Range(text.Min().y, text.Max().y)};
                Glow(image, at, random.Range(6.0f, 16.0f), WithAlpha(Palette::WHITE, 0.8f));
            }
            return image;
        }

        // A tapered glowing line: the slider's track and the title rules.
        Image RuleBar()
        {
            Image image(256, 32);
            FillShape(image, Whole(image),
                      [](Vec2 p) {
                          const float u = p.x / 256.0f;
                          const float half = 1.0f + 2.5f * std::sin(PI * u);
                          return std::abs(p.y - 16.0f) - half;
                      },
                      [](Vec2 p) { return WithAlpha(Palette::WHITE, SmoothStep(0.0f, 0.08f, p.x / 256.0f) * SmoothStep(1.0f, 0.92f, p.x / 256.0f)); });
            FillBox(image, Whole(image), [](Vec2 p) {
                const float u = p.x / 256.0f;
                return WithAlpha(Palette::ICE, 0.35f * std::sin(PI * u) * std::exp(-std::abs(p.y - 16.0f) / 4.0f));
            });
            return image;
        }

        Image SliderKnob()
        {
            Image image(32, 32);
            const Vec2 centre{16.0f, 16.0f};
            Glow(image, centre + Vec2{1.0f, 2.0f}, 15.0f, WithAlpha(Palette::BLACK, 0.5f));
            FillCircle(image, centre, 11.0f, Palette::ACCENT);
            FillCircle(image, centre, 7.5f, Palette::WHITE);
            return image;
        }

        // Drawn at half its size: a rounded frame, ticked in the accent colour.
        Image Checkbox(bool aChecked)
        {
            Image image(128, 128);
            const Vec2 centre{64.0f, 64.0f};
            FillShape(image, Whole(image), [&](Vec2 p) { return RoundedBoxDistance(p, centre, {50.0f, 50.0f}, 18.0f); },
                      [](Vec2) { return WithAlpha(Hex(0x0b1630), 0.45f); });
            FillShape(image, Whole(image), [&](Vec2 p) { return std::abs(RoundedBoxDistance(p, centre, {46.0f, 46.0f}, 16.0f)) - 4.5f; },
                      [](Vec2) { return Palette::WHITE; });
            if (aChecked)
            {
                Glow(image, centre, 54.0f, WithAlpha(Palette::ACCENT, 0.35f));
                StrokeSegment(image, {36.0f, 66.0f}, {56.0f, 85.0f}, 8.0f, Palette::ACCENT);
                StrokeSegment(image, {56.0f, 85.0f}, {93.0f, 40.0f}, 8.0f, Palette::ACCENT);
            }
            return image;
        }

        // The rounded end of the prompt box: a black half disc whose flat side meets the bar.
        Image DialogueBoxEnd()
        {
            Image image(128, 128);
            FillShape(image, Whole(image), [](Vec2 p) { return CircleDistance(p, {128.0f, 64.0f}, 64.0f); }, [](Vec2) { return Palette::BLACK; });
            return image;
        }

        Image BlackBar()
        {
            Image image(16, 16);
            image.Clear(Palette::BLACK);
            return image;
        }

        Image OutroText()
        {
            Image image(1024, 512);
            TextStyle big;
            big.myTop = Hex(0xfff6dc);
            big.myBottom = Palette::GOLD;
            big.myOutline = WithAlpha(Hex(0x2a1b0c), 0.85f);
            big.myOutlineWidth = 5.0f;
            big.myGlow = WithAlpha(Palette::GOLD, 0.35f);
            big.myGlowRadius = 18.0f;
            PaintCaption(image, "THE END", {512.0f, 200.0f}, 130.0f, 20.0f, big, 2.2f);
            FillShape(image, Whole(image), [](Vec2 p) { return std::abs(p.y - 310.0f) - 2.0f * (1.0f - std::pow((p.x - 512.0f) / 300.0f, 2.0f)); },
                      [](Vec2) { return WithAlpha(Palette::GOLD, 0.8f); });
            TextStyle small;
            small.myTop = Palette::SNOW;
            small.myBottom = Palette::FROST;
            small.myOutline = WithAlpha(Hex(0x0b1630), 0.7f);
            small.myOutlineWidth = 3.0f;
            PaintCaption(image, "THANK YOU FOR PLAYING", {512.0f, 380.0f}, 40.0f, 7.0f, small, 2.0f);
            return image;
        }
    }

    Image PaintMenuBackground(int aWidth, int aHeight) { return MenuBackground(aWidth, aHeight); }
    Image PaintGameLogo(int aWidth, int aHeight) { return GameLogo(aWidth, aHeight); }
    Image PaintFeather(int aSize) { return Feather(aSize); }

    std::vector<SpriteJob> UiSpriteJobs()
    {
        return {
            {"sprites/vra-splash-logo.dds", false, EngineLogo},
            {"sprites/S_UI_StudioLogo.dds", false, StudioLogo},
            {"sprites/FMOD.dds", false, LibrariesLogo},
            {"sprites/S_UI_MenuBG.dds", false, [] { return MenuBackground(1920, 1080); }},
            {"sprites/S_UI_MenuBG_Pause.dds", false, PauseBackground},
            {"sprites/S_UI_QuillmereLogo.dds", true, [] { return GameLogo(1024, 512); }},
            {"sprites/S_UI_Feather.dds", true, [] { return Feather(1024); }},
            {"sprites/S_UI_Volumelider_Bar.dds", false, RuleBar},
            {"sprites/S_UI_Volumelider_Controller.dds", false, SliderKnob},
            {"sprites/S_UI_Checkbox_Unchecked.dds", true, [] { return Checkbox(false); }},
            {"sprites/S_UI_Checkbox_Checked.dds", true, [] { return Checkbox(true); }},
            {"sprites/S_UI_DialogueBoxEnd.dds", true, DialogueBoxEnd},
            {"sprites/S_VFX_Blackbar.dds", false, BlackBar},
            {"sprites/S_UI_Outro_Text.dds", true, OutroText},
        };
    }
}
