// One level frame (update and render submission, no present) of a level with 500 boxes, 200
// parallax sprites, 50 events and the snow running; and the load of that level on a task, as the
// preload of a following level runs.
#include "BenchEngine.h"

#include "../Game/level/LevelFolder.h"
#include "../Game/level/StandInScreen.h"
#include "../Support/ModelTestFiles.h"
#include "../Support/TemporaryFolder.h"

#include "level/LevelState.h"
#include "overlays/Transition.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"

#include <benchmark/benchmark.h>

#include <future>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace
{
    using namespace LevelTestSupport;

    constexpr int BOX_COUNT = 500;
    constexpr int SPRITE_COUNT = 200;
    constexpr int EVENT_COUNT = 50;

    // The game folder, written once per process.
    const TestSupport::TemporaryFolder& GameFolder()
    {
        static const TestSupport::TemporaryFolder folder;
        return folder;
    }

    const std::string& WriteLevel()
    {
        static const std::string scenePath = [] {
            const fs::path game = GameFolder().Path();
            ModelTestFiles::CopyModel("box.fbx", game / "models");
            WriteDds(game / "sprites" / "rock.dds", 64, 64);
            WriteDds(game / "sprites" / "tree.dds", 64, 128);
            WriteDds(game / "Sprites" / "A_checkpointBreak.dds", 64, 64);
            const LevelFolder folder(game, "bench");
            folder.Define("Box", { Tag("AABB"), ModelPath("models/box.fbx") });
            folder.Define("PlayerSpawn", { Tag("Player"), ModelPath("models/box.fbx") });
            folder.Define("Rock", { Tag(""), SpritePath("sprites/rock.dds", 150.0f, 150.0f) });
            folder.Define("Tree", { Tag(""), SpritePath("sprites/tree.dds", 200.0f, 400.0f) });
            folder.Define("EventEffect", { Tag("EventEffect"), Int("Flag", 0), Int("Order", 0), Int("Ability", 0), Float("Duration", 0.0f) });
            folder.Define("EventTrigger", { Tag("EventTrigger"), Int("Order", 0) });
            folder.Define("Checkpoint", { Tag("Checkpoint"), ModelPath("models/box.fbx") });
            folder.Add("Player", "PlayerSpawn", { 300.0f, 100.0f, 0.0f });
            folder.Add("Checkpoint", "Checkpoint", { 5000.0f, 100.0f, 0.0f });
            for (int index = 0; index < BOX_COUNT; ++index)
            {
                // A long floor of boxes with walls and ledges among them.
                const float x = 100.0f * static_cast<float>(index);
                const float y = index % 10 == 0 ? 100.0f : (index % 7 == 0 ? 400.0f : 0.0f);
                folder.Add("Box", "Box", { x, y, 0.0f });
            }
            const char* const layers[] = { "BG", "FG", "LG" };
            for (int index = 0; index < SPRITE_COUNT; ++index)
            {
                const float x = 250.0f * static_cast<float>(index);
                const float z = static_cast<float>(index % 9) * 100.0f - 400.0f;
                folder.Add("Scenery", index % 2 ? "Rock" : "Tree", { x, 150.0f, z }, { Tag(layers[index % 3]) });
            }
            for (int index = 0; index < EVENT_COUNT; ++index)
            {
                const int order = 10 + index;
                const bool isBars = index % 5 == 0;
                folder.Add("Event", "EventEffect", { 0.0f, 0.0f, 0.0f },
                           { Int("Flag", isBars ? 6 : 4), Int("Order", order), Int("Ability", 1 + index % 4), Float("Duration", 1.0f) });
                folder.Add("Zone", "EventTrigger", { 1000.0f * static_cast<float>(index), 0.0f, 0.0f }, { Int("Order", order) }, { 2.0f, 5.0f, 1.0f });
            }
            return folder.GetScenePath();
        }();
        return scenePath;
    }

    bool StartEngine(benchmark::State& aState)
    {
        if (!BenchEngine::Start("level", GameFolder().Path()))
        {
            aState.SkipWithError("the engine did not start");
            return false;
        }
        return true;
    }

    void BM_LevelFrame(benchmark::State& aState)
    {
        if (!StartEngine(aState))
        {
            return;
        }
        const std::string scenePath = WriteLevel();
        SceneStateStack stack;
        CommonUtilities::InputHandler input;
        {
            BenchEngine::QuietOutput quiet;
            auto level = std::make_unique<LevelState>(stack);
            if (!level->LoadScene(scenePath))
            {
                aState.SkipWithError("the level did not load");
                return;
            }
            stack.PushState(std::make_unique<StandInScreen>(stack));
            stack.PushLayer(std::move(level));
            // Past the level's opening sweep, with the snow falling.
            for (int frame = 0; frame < 240; ++frame)
            {
                Transition::GetInstance()->Update(1.0f / 60.0f);
                stack.Update(1.0f / 60.0f, input);
            }
        }
        Vra::Engine& engine = *Vra::Engine::GetInstance();
        for (auto _ : aState)
        {
            input.Update();
            stack.Update(1.0f / 60.0f, input);
            stack.Render();
            aState.PauseTiming();
            // The GPU's queue is emptied between frames outside the measure.
            engine.EndFrame();
            engine.BeginFrame();
            aState.ResumeTiming();
        }
    }
    BENCHMARK(BM_LevelFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

    void BM_LevelLoadOnTask(benchmark::State& aState)
    {
        if (!StartEngine(aState))
        {
            return;
        }
        const std::string scenePath = WriteLevel();
        SceneStateStack stack;
        BenchEngine::QuietOutput quiet;
        for (auto _ : aState)
        {
            LevelState level(stack);
            std::future<bool> loading = std::async(std::launch::async, [&level, &scenePath] { return level.LoadScene(scenePath); });
            if (!loading.get())
            {
                aState.SkipWithError("the level did not load");
                return;
            }
        }
    }
    BENCHMARK(BM_LevelLoadOnTask)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
}

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
