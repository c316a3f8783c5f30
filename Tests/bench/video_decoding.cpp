// One frame of a 1280x720 H.264 clip (30 frames per second, looping) per iteration: decode,
// conversion to RGBA, the copy into the frame texture and, in the first benchmark, the texture's
// upload by a sprite that draws it. "realtime_x" is how many times faster than 30 frames a second.
#include "BenchEngine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "video/Video.h"

#include "VideoTestFiles.h"

#include <benchmark/benchmark.h>

namespace
{
    constexpr float FRAME_PERIOD = 1.0f / 30.0f;

    void PlayClip(benchmark::State& aState, bool aDraw)
    {
        if (!BenchEngine::Start("video"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        Vra::Video video;
        if (!video.Init(VideoTestFiles::File("clip_720p.mp4").c_str(), false))
        {
            aState.SkipWithError("the clip did not open (the build makes it in <build>/tests/fixtures/video)");
            return;
        }
        video.Play(true);
        Vra::SpriteDrawer& drawer = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer();
        Vra::SpriteSharedData shared;
        shared.myColorTexture = video.GetTexture();
        Vra::Sprite2DInstanceData sprite;
        sprite.myPosition = {0.0f, 0.0f};
        sprite.mySize = {32.0f, 18.0f};
        sprite.myColor = {1.0f, 1.0f, 1.0f, 1.0f};
        for (auto _ : aState)
        {
            video.Update(FRAME_PERIOD);
            if (aDraw)
            {
                Vra::SpriteBatchScope batch = drawer.BeginBatch(shared);
                batch.Draw(sprite);
            }
        }
        aState.counters["realtime_x"] = benchmark::Counter(static_cast<double>(aState.iterations()) / 30.0, benchmark::Counter::kIsRate);
        aState.counters["frames"] = static_cast<double>(video.GetPicturesShown());
    }

    void BM_VideoFrameDecodeConvertUpload(benchmark::State& aState)
    {
        PlayClip(aState, true);
    }

    void BM_VideoFrameDecodeConvert(benchmark::State& aState)
    {
        PlayClip(aState, false);
    }
}

BENCHMARK(BM_VideoFrameDecodeConvertUpload)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_VideoFrameDecodeConvert)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
