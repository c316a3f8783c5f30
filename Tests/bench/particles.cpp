// Particles updated and drawn per second with 10,000 live particles in one system, and the
// sprite-sheet effect manager with 1,000 live effects, on the headless GPU layer. Everything lies
// off screen so that the rasterizer drops it and the figures are the game's and the engine's own
// cost; a plain sprite batch of the same size is measured beside them for comparison.
#include "BenchEngine.h"
#include "SolidDds.h"

#include "effects/ParticleSystem.h"
#include "effects/VfxManager.h"

#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace
{
    constexpr std::size_t PARTICLE_COUNT = 10000;
    constexpr int EFFECT_COUNT = 1000;
    constexpr float FRAME_TIME = 1.0f / 60.0f;

    // A full system whose particles outlive the benchmark: every update ages, moves and blends all.
    void FillSystem(ParticleSystem& aSystem)
    {
        ParticleEmitterSettings settings;
        settings.myMaxCount = static_cast<std::int32_t>(PARTICLE_COUNT);
        settings.myAcceleration = { 0.0f, -9.8f, 0.0f };
        aSystem.Init(settings);
        for (std::size_t index = 0; index < PARTICLE_COUNT; ++index)
        {
            Particle& particle = *aSystem.AddParticle();
            particle.myLifetime = 1.0e9f;
            particle.myPosition = { -5000.0f - static_cast<float>(index % 97), -5000.0f, 0.0f };
            particle.myVelocity = { 1.0f, 2.0f, 0.0f };
            particle.myStartColor = { 1.0f, 1.0f, 1.0f, 1.0f };
            particle.myEndColor = { 1.0f, 1.0f, 1.0f, 0.0f };
            particle.myAngularVelocity = 0.5f;
            particle.myStartSize = 5.0f;
            particle.myEndSize = 50.0f;
        }
    }

    void BM_ParticleUpdate(benchmark::State& aState)
    {
        ParticleSystem system;
        FillSystem(system);
        for (auto _ : aState)
        {
            system.Update(FRAME_TIME);
            benchmark::DoNotOptimize(system.GetInstances().data());
        }
        aState.SetItemsProcessed(aState.iterations() * static_cast<std::int64_t>(system.GetLiveCount()));
    }

    void BM_ParticleRender(benchmark::State& aState)
    {
        if (!BenchEngine::Start("particles"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        ParticleSystem system;
        FillSystem(system);
        system.Update(FRAME_TIME);
        for (auto _ : aState)
        {
            system.Render();
        }
        aState.SetItemsProcessed(aState.iterations() * static_cast<std::int64_t>(system.GetLiveCount()));
    }

    // The sprite drawer's own cost for as many sprites in one batch.
    void BM_SpriteBatchOfTheSameSize(benchmark::State& aState)
    {
        if (!BenchEngine::Start("particles"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        std::vector<Vra::Sprite2DInstanceData> sprites(PARTICLE_COUNT);
        for (std::size_t index = 0; index < sprites.size(); ++index)
        {
            sprites[index].myPosition = { -5000.0f - static_cast<float>(index % 97), -5000.0f };
            sprites[index].mySize = { 10.0f, 10.0f };
            sprites[index].myRotation = 0.5f;
        }
        Vra::SpriteDrawer& drawer = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer();
        const Vra::SpriteSharedData shared;
        for (auto _ : aState)
        {
            Vra::SpriteBatchScope batch = drawer.BeginBatch(shared);
            batch.Draw(sprites.data(), sprites.size());
        }
        aState.SetItemsProcessed(aState.iterations() * static_cast<std::int64_t>(sprites.size()));
    }

    // A manager with EFFECT_COUNT looping effects of an 8-frame sheet.
    bool FillEffects(VfxManager& aManager)
    {
        if (!BenchEngine::Start("particles"))
        {
            return false;
        }
        // The executable's "data" folder is searched first.
        const std::filesystem::path root = std::filesystem::temp_directory_path() / "vra_bench_particles";
        TestSupport::WriteSolidDds(root / "data" / "sprites" / "bench_sheet.dds", 64, 32, { 255, 255, 255, 255 });
        std::ofstream(root / "bench_vfx.json") << R"({ "VFX": [ { "name": "Bench", "texture": "sprites/bench_sheet.dds", "framesX": 4, "framesY": 2, "frameTime": 0.05, "startSize": [36, 36], "endSize": [72, 72] } ] })";
        // The manager reports every load and spawn on standard output; not while measuring.
        std::ostringstream quiet;
        std::streambuf* const previous = std::cout.rdbuf(quiet.rdbuf());
        aManager.LoadFromFile((root / "bench_vfx.json").string());
        for (int index = 0; index < EFFECT_COUNT; ++index)
        {
            aManager.Spawn("Bench", { -5000.0f - static_cast<float>(index % 97), -5000.0f }, true, index % 2 == 0, 0.0f);
        }
        std::cout.rdbuf(previous);
        return aManager.GetInstances().size() == EFFECT_COUNT;
    }

    void BM_VfxUpdate(benchmark::State& aState)
    {
        VfxManager manager;
        if (!FillEffects(manager))
        {
            aState.SkipWithError("the effects could not be set up");
            return;
        }
        for (auto _ : aState)
        {
            manager.Update(FRAME_TIME);
        }
        aState.SetItemsProcessed(aState.iterations() * EFFECT_COUNT);
    }

    void BM_VfxRender(benchmark::State& aState)
    {
        VfxManager manager;
        if (!FillEffects(manager))
        {
            aState.SkipWithError("the effects could not be set up");
            return;
        }
        manager.Update(FRAME_TIME);
        for (auto _ : aState)
        {
            manager.Render();
        }
        aState.SetItemsProcessed(aState.iterations() * EFFECT_COUNT);
    }
}

BENCHMARK(BM_ParticleUpdate);
BENCHMARK(BM_ParticleRender);
BENCHMARK(BM_SpriteBatchOfTheSameSize);
BENCHMARK(BM_VfxUpdate);
BENCHMARK(BM_VfxRender);

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
