// Glyphs per second through Vra::TextService::Render on the headless GPU layer: the layout, one
// sprite per byte and the batch's draw calls. The text lies off screen so that the rasterizer
// drops it and the figure is the engine's own cost per glyph.
#include "BenchEngine.h"
#include "text/Text.h"
#include "text/TextService.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace
{
    // Printable characters and a line feed every 60, as a block of menu or credits text.
    std::string MakeString(std::size_t aLength)
    {
        std::string text;
        for (std::size_t index = 0; index < aLength; ++index)
        {
            text += index % 60 == 59 ? '\n' : static_cast<char>(33 + index % 94);
        }
        return text;
    }

    void BM_TextRender(benchmark::State& aState)
    {
        if (!BenchEngine::Start("text"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        const auto fontSize = static_cast<std::uint32_t>(aState.range(1));
        Vra::Text text("Text/arial.ttf", fontSize, 0);
        if (!text.GetFont())
        {
            aState.SkipWithError("Text/arial.ttf did not load (run scripts/setup)");
            return;
        }
        const std::size_t glyphs = static_cast<std::size_t>(aState.range(0));
        text.SetText(MakeString(glyphs));
        text.SetPosition({ -100000.0f, -100000.0f });
        Vra::TextService& service = *Vra::Engine::GetInstance()->GetTextService();
        for (auto _ : aState)
        {
            benchmark::DoNotOptimize(service.Render(text));
        }
        aState.SetItemsProcessed(aState.iterations() * static_cast<std::int64_t>(glyphs));
    }
}

// Glyph count per Render, font size (14 samples by point, 30 linearly).
BENCHMARK(BM_TextRender)->Args({ 10, 14 })->Args({ 100, 14 })->Args({ 1000, 14 })->Args({ 10000, 14 })->Args({ 1000, 30 });

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
