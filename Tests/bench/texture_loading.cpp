// Loading costs of start-up's largest textures on the headless GPU layer: the main menu's
// background (1920x1080 RGBA, 8 MB) read from disk and uploaded through the texture manager, the
// same file only read and parsed, and one font atlas (1024x1024 RGBA with its mip chain) made by
// the text service. The file stays in the page cache, so the figures are the engine's and the
// driver's work, not the disk's.
#include "BenchEngine.h"
#include "graphics/TextureManager.h"
#include "loaders/DdsLoader.h"
#include "settings/Settings.h"
#include "text/TextService.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
    constexpr const char* MENU_BACKGROUND = "sprites/S_UI_MenuBG.dds";

    void BM_LoadLargeDdsThroughTextureManager(benchmark::State& aState)
    {
        if (!BenchEngine::Start("texture_loading"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        Vra::TextureManager& textures = *Vra::Engine::GetInstance()->GetTextureManager();
        if (textures.GetTexture(MENU_BACKGROUND, Vra::TextureSrgbMode::ForceSrgb)->myIsPlaceholder)
        {
            aState.SkipWithError("the menu background is missing (build the content)");
            return;
        }
        for (auto _ : aState)
        {
            // A forced reload reads, parses and uploads the file again into the same resource.
            benchmark::DoNotOptimize(textures.GetTexture(MENU_BACKGROUND, Vra::TextureSrgbMode::ForceSrgb, true));
        }
    }

    void BM_ReadAndParseLargeDds(benchmark::State& aState)
    {
        if (!BenchEngine::Start("texture_loading"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        const std::string path = Vra::ResolveAssetPath(MENU_BACKGROUND);
        std::int64_t bytes = 0;
        for (auto _ : aState)
        {
            const auto image = Vra::DdsLoader::LoadFile(path, Vra::DdsLoader::FORCE_SRGB);
            if (!image)
            {
                aState.SkipWithError("the menu background did not load");
                return;
            }
            bytes += static_cast<std::int64_t>(image->myBytes.size());
        }
        aState.SetBytesProcessed(bytes);
    }

    void BM_LoadFontAtlas(benchmark::State& aState)
    {
        if (!BenchEngine::Start("texture_loading"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        Vra::TextService& service = *Vra::Engine::GetInstance()->GetTextService();
        for (auto _ : aState)
        {
            // Released at once, so the next request builds the atlas anew.
            if (!service.LoadFont("Text/Cinzel-Bold.ttf", 30, 0))
            {
                aState.SkipWithError("Text/Cinzel-Bold.ttf did not load (run scripts/setup)");
                return;
            }
        }
    }
}

BENCHMARK(BM_LoadLargeDdsThroughTextureManager)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndParseLargeDds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFontAtlas)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
