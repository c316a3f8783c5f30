// Sprites per second through BeginBatch, Draw and the flush at the scope's end, on the headless
// GPU layer. The sprites lie off screen, so no pixel is filled; still most of the time is the
// software driver's, which runs the vertex shader on the CPU for every sprite's six vertices
// before it clips them, and copies each batch of 1024 instances. BM_SpriteInstanceBuild is the
// engine's own share (building the instances into memory laid out as the mapped buffer): about a
// tenth of BM_SpriteBatch on llvmpipe.
#include "BenchEngine.h"
#include "drawers/SpriteDrawer.h"
#include "drawers/SpriteInstanceBuilder.h"
#include "graphics/GraphicsEngine.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
    std::vector<Vra::Sprite2DInstanceData> MakeSprites(std::size_t aCount)
    {
        std::vector<Vra::Sprite2DInstanceData> sprites(aCount);
        for (std::size_t index = 0; index < aCount; ++index)
        {
            Vra::Sprite2DInstanceData& sprite = sprites[index];
            sprite.myPosition = { -1000.0f - static_cast<float>(index % 97), -1000.0f };
            sprite.myPivot = { 0.5f, 0.5f };
            sprite.mySize = { 1.0f, 1.0f };
            sprite.myRotation = 0.01f * static_cast<float>(index % 13);
            sprite.myColor = { 1.0f, 0.5f, 0.25f, 1.0f };
        }
        return sprites;
    }

    void BM_SpriteBatch(benchmark::State& aState)
    {
        if (!BenchEngine::Start("sprites"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        const std::vector<Vra::Sprite2DInstanceData> sprites = MakeSprites(static_cast<std::size_t>(aState.range(0)));
        Vra::SpriteDrawer& drawer = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer();
        const Vra::SpriteSharedData shared;
        for (auto _ : aState)
        {
            Vra::SpriteBatchScope batch = drawer.BeginBatch(shared);
            batch.Draw(sprites.data(), sprites.size());
        }
        aState.SetItemsProcessed(aState.iterations() * aState.range(0));
    }

    // One record at a time, as most game code draws.
    void BM_SpriteBatchOneByOne(benchmark::State& aState)
    {
        if (!BenchEngine::Start("sprites"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        const std::vector<Vra::Sprite2DInstanceData> sprites = MakeSprites(static_cast<std::size_t>(aState.range(0)));
        Vra::SpriteDrawer& drawer = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer();
        const Vra::SpriteSharedData shared;
        for (auto _ : aState)
        {
            Vra::SpriteBatchScope batch = drawer.BeginBatch(shared);
            for (const Vra::Sprite2DInstanceData& sprite : sprites)
            {
                batch.Draw(sprite);
            }
        }
        aState.SetItemsProcessed(aState.iterations() * aState.range(0));
    }

    // The engine's own share of a sprite: building its instance into memory laid out as the
    // mapped buffer, without the driver's upload and vertex work.
    void BM_SpriteInstanceBuild(benchmark::State& aState)
    {
        const std::vector<Vra::Sprite2DInstanceData> sprites = MakeSprites(static_cast<std::size_t>(aState.range(0)));
        std::vector<Vra::SpriteInstance> instances(Vra::SpriteDrawer::BATCH_SIZE);
        const Vra::Matrix4x4 transform;
        for (auto _ : aState)
        {
            Vra::impl::SpriteInstanceBuilder builder;
            std::size_t slot = 0;
            for (const Vra::Sprite2DInstanceData& sprite : sprites)
            {
                builder.Build(sprite, transform, instances[slot]);
                slot = slot + 1 == instances.size() ? 0 : slot + 1;
            }
            benchmark::DoNotOptimize(instances.data());
            benchmark::ClobberMemory();
        }
        aState.SetItemsProcessed(aState.iterations() * aState.range(0));
    }
}

BENCHMARK(BM_SpriteInstanceBuild)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_SpriteBatch)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(BM_SpriteBatchOneByOne)->Arg(10)->Arg(1000)->Arg(100000);

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
