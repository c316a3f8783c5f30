#include "IntroVideo.h"

#include "Image.h"
#include "Noise.h"
#include "Palette.h"
#include "Parallel.h"
#include "Scenery.h"
#include "Shapes.h"
#include "UiSprites.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace ContentTool
{
    namespace
    {
        constexpr float PI = 3.14159265f;

        // The scenery in layers, each wider than the frame by how far it pans.
        struct Layers
        {
            Image mySky{INTRO_WIDTH, INTRO_HEIGHT};
            Image myFar{INTRO_WIDTH + 200, INTRO_HEIGHT};
            Image myNear{INTRO_WIDTH + 500, INTRO_HEIGHT};
            Image myFront{INTRO_WIDTH + 1000, INTRO_HEIGHT};
            Image myLogo = PaintGameLogo(640, 320);
        };

        std::unique_ptr<Layers> PaintLayers()
        {
            auto layers = std::make_unique<Layers>();
            const float h = static_cast<float>(INTRO_HEIGHT);
            PaintNightSky(layers->mySky, 71u);
            PaintRidge(layers->myFar, FarRange(h * 0.7f, h * 0.28f, 220.0f, 73u));
            const RidgeStyle near = NearRange(h * 0.82f, h * 0.18f, 160.0f, 74u);
            PaintRidge(layers->myNear, near);
            Random random(75u);
            for (float x = 0.0f; x < layers->myNear.Width(); x += random.Range(14.0f, 40.0f))
            {
                PaintPine(layers->myNear, {x, RidgeHeight(near, x) + 8.0f}, random.Range(0.08f, 0.14f) * h, FAR_FIRS, random.Next());
            }
            PaintRidge(layers->myFront, SnowField(h, h * 0.12f, 300.0f, 76u));
            for (const float x : {120.0f, 520.0f, 1050.0f, 1480.0f, 1800.0f})
            {
                PaintPine(layers->myFront, {x, h * 1.02f}, h * random.Range(0.45f, 0.6f), NEAR_FIRS, random.Next());
            }
            return layers;
        }

        void PaintBird(Image& aFrame, Vec2 aCentre, float aSize, float aFlap)
        {
            const Colour body = Hex(0x0c1424);
            FillEllipse(aFrame, aCentre, {aSize, aSize * 0.45f}, body);
            FillCircle(aFrame, aCentre + Vec2{aSize * 0.85f, -aSize * 0.25f}, aSize * 0.35f, body);
            FillPolygon(aFrame, {aCentre + Vec2{aSize * 1.15f, -aSize * 0.3f}, aCentre + Vec2{aSize * 1.55f, -aSize * 0.2f}, aCentre + Vec2{aSize * 1.15f, -aSize * 0.1f}},
                        Palette::GOLD);
            FillPolygon(aFrame, {aCentre + Vec2{-aSize * 0.9f, 0.0f}, aCentre + Vec2{-aSize * 1.7f, -aSize * 0.35f}, aCentre + Vec2{-aSize * 1.6f, aSize * 0.25f}}, body);
            const Vec2 shoulder = aCentre + Vec2{aSize * 0.1f, -aSize * 0.1f};
            const float angle = -0.3f + std::sin(aFlap) * 0.9f;
            const Vec2 tip = shoulder + Rotate(Vec2{-aSize * 1.6f, -aSize * 0.2f}, angle);
            const Vec2 trailing = shoulder + Rotate(Vec2{-aSize * 1.1f, aSize * 0.35f}, angle * 0.7f);
            FillPolygon(aFrame, {shoulder + Vec2{aSize * 0.4f, 0.0f}, tip, trailing, shoulder - Vec2{aSize * 0.4f, 0.0f}}, body);
        }

        Image PaintFrame(const Layers& someLayers, int anIndex)
        {
            const float seconds = static_cast<float>(anIndex) / INTRO_FRAMES_PER_SECOND;
            const float progress = seconds / 10.0f;
            Image frame(INTRO_WIDTH, INTRO_HEIGHT);
            frame.Composite(someLayers.mySky, 0, 0);
            frame.Composite(someLayers.myFar, -static_cast<int>(200.0f * progress), 0);
            frame.Composite(someLayers.myNear, -static_cast<int>(500.0f * progress), 0);

            if (seconds > 1.2f && seconds < 7.5f)
            {
                const float flight = (seconds - 1.2f) / 6.3f;
                const Vec2 at{-80.0f + flight * (INTRO_WIDTH + 160.0f), INTRO_HEIGHT * (0.45f - 0.12f * flight) + std::sin(flight * 9.0f) * 14.0f};
                PaintBird(frame, at, 30.0f, seconds * 2.0f * PI * 2.5f);
            }
            frame.Composite(someLayers.myFront, -static_cast<int>(1000.0f * progress), 0);

            // Snow: each flake falls on a fixed path, so every frame is repeatable on its own.
            Random random(77u);
            for (int flake = 0; flake < 160; ++flake)
            {
                const float speed = random.Range(40.0f, 110.0f);
                const float size = random.Range(1.2f, 3.6f) * (speed / 80.0f);
                const float startX = random.Range(0.0f, INTRO_WIDTH + 200.0f);
                const float startY = random.Range(0.0f, static_cast<float>(INTRO_HEIGHT));
                const float sway = random.Range(0.0f, 2.0f * PI);
                const float y = std::fmod(startY + speed * seconds, static_cast<float>(INTRO_HEIGHT + 20)) - 10.0f;
                const float x = std::fmod(startX - 30.0f * seconds + std::sin(seconds * 1.3f + sway) * 12.0f + INTRO_WIDTH + 200.0f, INTRO_WIDTH + 200.0f) - 100.0f;
                SoftDisc(frame, {x, y}, size, WithAlpha(Palette::SNOW, 0.85f), 0.4f);
            }

            const float logo = SmoothStep(6.2f, 7.6f, seconds);
            if (logo > 0.0f)
            {
                frame.Composite(someLayers.myLogo, (INTRO_WIDTH - someLayers.myLogo.Width()) / 2, 40, logo);
            }
            const float light = SmoothStep(0.0f, 1.0f, seconds) * SmoothStep(10.0f, 9.0f, seconds);
            FillBox(frame, Whole(frame), [light](Vec2) { return WithAlpha(Palette::BLACK, 1.0f - light); });
            return frame;
        }

        std::string Quoted(const std::string& aText)
        {
            std::string quoted = "'";
            for (const char character : aText)
            {
                quoted += character == '\'' ? std::string("'\\''") : std::string(1, character);
            }
            return quoted + "'";
        }
    }

    void WriteIntroVideo(const std::filesystem::path& anFfmpeg, const std::filesystem::path& aToneTrack, const std::filesystem::path& aVideo)
    {
        if (!std::filesystem::is_regular_file(aToneTrack))
        {
            throw std::runtime_error("the intro's tone track " + aToneTrack.string() + " is missing");
        }
        std::filesystem::create_directories(aVideo.parent_path());
        std::filesystem::path temporary = aVideo;
        temporary += ".writing";
        const std::string command = Quoted(anFfmpeg.string()) + " -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgb24 -s " +
                                    std::to_string(INTRO_WIDTH) + "x" + std::to_string(INTRO_HEIGHT) + " -r " + std::to_string(INTRO_FRAMES_PER_SECOND) +
                                    " -i - -i " + Quoted(aToneTrack.string()) +
                                    " -map 0:v -map 1:a -c:v libx264 -preset veryfast -crf 22 -pix_fmt yuv420p -c:a aac -b:a 128k -shortest"
                                    " -movflags +faststart -f mp4 " + Quoted(temporary.string());
        // A failing encoder shows as a write error and its status, not as a killed maker.
        std::signal(SIGPIPE, SIG_IGN);
        FILE* encoder = popen(command.c_str(), "w");
        if (encoder == nullptr)
        {
            throw std::runtime_error("cannot start " + anFfmpeg.string());
        }
        const std::unique_ptr<Layers> layers = PaintLayers();
        constexpr int BATCH = 16;
        std::vector<std::uint8_t> bytes;
        bool written = true;
        for (int first = 0; first < INTRO_FRAME_COUNT && written; first += BATCH)
        {
            const int count = std::min(BATCH, INTRO_FRAME_COUNT - first);
            std::vector<std::vector<std::uint8_t>> frames(count);
            RunInParallel(count, [&](std::size_t anIndex) {
                const Image frame = PaintFrame(*layers, first + static_cast<int>(anIndex));
                std::vector<std::uint8_t>& pixels = frames[anIndex];
                pixels.reserve(static_cast<std::size_t>(INTRO_WIDTH) * INTRO_HEIGHT * 3);
                for (int y = 0; y < INTRO_HEIGHT; ++y)
                {
                    for (int x = 0; x < INTRO_WIDTH; ++x)
                    {
                        const float* texel = frame.At(x, y);
                        for (int c = 0; c < 3; ++c)
                        {
                            pixels.push_back(static_cast<std::uint8_t>(std::lround(Clamp01(texel[c]) * 255.0f)));
                        }
                    }
                }
            });
            for (const std::vector<std::uint8_t>& pixels : frames)
            {
                written = written && std::fwrite(pixels.data(), 1, pixels.size(), encoder) == pixels.size();
            }
        }
        const int status = pclose(encoder);
        if (!written || status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        {
            std::filesystem::remove(temporary);
            throw std::runtime_error("ffmpeg failed to encode " + aVideo.string());
        }
        std::filesystem::rename(temporary, aVideo);
    }
}
