// The game on the content pack the build made: start-up to the first main-menu frame, each
// level's load on a task (as the menus and the preload of the next level run it), and the CPU
// time of a level frame (update and render submission, no present) over the scripted tracks
// that play the levels through.
#include "BenchEngine.h"

#include "../Game/playthrough/Track.h"

#include "level/LevelState.h"
#include "overlays/Transition.h"
#include "shell/GameWorld.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <future>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{
    namespace fs = std::filesystem;
    using Clock = std::chrono::steady_clock;

    constexpr float FRAME_TIME = ContentGame::FRAME_TIME;
    // As the main loop sets up its sweep.
    constexpr float TRANSITION_SPEED = 0.7f;
    constexpr float TRANSITION_ACCELERATION = 1.5f;
    constexpr const char* LEVELS[] = { "levels/level1.vrs", "levels/level_2_01.vrs", "levels/level_3_01.vrs" };
    constexpr const char* TRACKS[] = { "level1.track", "level_2_01.track", "level_3_01_alone.track" };

    double Seconds(Clock::duration aDuration)
    {
        return std::chrono::duration<double>(aDuration).count();
    }

    // CPU seconds of this process's threads whose name begins with aPrefix (Mesa's software
    // rasteriser names its threads "llvmpipe-<n>").
    double ThreadsCpuSeconds(const std::string& aPrefix)
    {
        double ticks = 0.0;
        std::error_code error;
        for (const fs::directory_entry& task : fs::directory_iterator("/proc/self/task", error))
        {
            std::ifstream stat(task.path() / "stat");
            std::string line;
            std::getline(stat, line);
            // "<tid> (<name>) <state> ...": utime and stime are the 14th and 15th fields.
            const std::size_t open = line.find('(');
            const std::size_t close = line.rfind(')');
            if (open == std::string::npos || close == std::string::npos || line.compare(open + 1, aPrefix.size(), aPrefix) != 0)
            {
                continue;
            }
            std::istringstream fields(line.substr(close + 2));
            std::string field;
            for (int index = 3; index < 14 && fields >> field; ++index)
            {
            }
            double user = 0.0;
            double system = 0.0;
            fields >> user >> system;
            ticks += user + system;
        }
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    // The game as the build lays it out: <bin> is the executable's folder and the working folder,
    // so its own "settings/Game.json" (window, asset folders) and tables are read.
    bool Start(benchmark::State& aState)
    {
        static const bool isStarted = [] {
            const fs::path bin = BenchEngine::BinFolder();
            std::error_code error;
            fs::current_path(bin, error);
            if (error)
            {
                return false;
            }
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            Platform::SetModulePathOverride((bin / "bench_content_pack").string());
            return Vra::LoadSettings("Game.json") && Vra::Engine::Start() && Vra::Engine::GetInstance()->BeginFrame();
        }();
        if (!isStarted)
        {
            aState.SkipWithError("the engine did not start on the build's bin folder");
            return false;
        }
        return true;
    }

    // Measured once: the engine start, the game object with its services and the first frame of
    // the main menu, presented. It runs first, before another benchmark has started the engine.
    void BM_StartUpToFirstMenuFrame(benchmark::State& aState)
    {
        for (auto _ : aState)
        {
            const Clock::time_point start = Clock::now();
            if (!Start(aState))
            {
                return;
            }
            BenchEngine::QuietOutput quiet;
            CommonUtilities::InputHandler input;
            GameWorld world;
            world.InitMainMenu(input);
            Transition::GetInstance()->Init(TRANSITION_SPEED, TRANSITION_ACCELERATION);
            input.Update();
            world.Update(FRAME_TIME, input);
            world.Render();
            Vra::Engine::GetInstance()->EndFrame();
            aState.SetIterationTime(Seconds(Clock::now() - start));
            Vra::Engine::GetInstance()->BeginFrame();
        }
    }
    BENCHMARK(BM_StartUpToFirstMenuFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

    // One load of the level on a task, as the menus run it; false when it failed.
    bool LoadOnTask(SceneStateStack& aStack, const std::string& aPath, std::unique_ptr<LevelState>& aLevel)
    {
        aLevel = std::make_unique<LevelState>(aStack);
        LevelState* const loading = aLevel.get();
        return std::async(std::launch::async, [loading, &aPath] { return loading->LoadScene(aPath); }).get();
    }

    // Loads the benchmark's level on a task in each iteration. A first load is timed by hand, to
    // the loaded level; a cached load by the benchmark, with the level's destruction left out.
    void TimeLevelLoads(benchmark::State& aState, bool anIsFirstLoad)
    {
        if (!Start(aState))
        {
            return;
        }
        const std::string path = LEVELS[aState.range(0)];
        aState.SetLabel(path);
        SceneStateStack stack;
        BenchEngine::QuietOutput quiet;
        for (auto _ : aState)
        {
            std::unique_ptr<LevelState> level;
            const Clock::time_point start = Clock::now();
            if (!LoadOnTask(stack, path, level))
            {
                aState.SkipWithError("the level did not load");
                return;
            }
            if (anIsFirstLoad)
            {
                aState.SetIterationTime(Seconds(Clock::now() - start));
                continue;
            }
            aState.PauseTiming();
            level.reset();
            aState.ResumeTiming();
        }
    }

    // The first load of each level in this process, in play order: its models, clips and textures
    // are read from disk (those level 1 shares with the later levels stay cached, as in the game).
    void BM_LevelFirstLoadOnTask(benchmark::State& aState)
    {
        TimeLevelLoads(aState, true);
    }
    BENCHMARK(BM_LevelFirstLoadOnTask)->DenseRange(0, 2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

    // Loads again, with the assets cached: the scene files, the objects and their set-up.
    void BM_LevelLoadOnTask(benchmark::State& aState)
    {
        TimeLevelLoads(aState, false);
    }
    BENCHMARK(BM_LevelLoadOnTask)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);

    // One pass over the level's track per iteration; the time is that of its frames' updates and
    // render submissions, reported per frame.
    void BM_LevelFrameOverTrack(benchmark::State& aState)
    {
        if (!Start(aState))
        {
            return;
        }
        const int index = static_cast<int>(aState.range(0));
        aState.SetLabel(LEVELS[index]);
        std::string error;
        const std::vector<ContentGame::TrackStep> steps = ContentGame::ReadTrack(ContentGame::TrackFolder() / TRACKS[index], error);
        if (!error.empty())
        {
            aState.SkipWithError(error.c_str());
            return;
        }
        Transition::GetInstance()->Init(TRANSITION_SPEED, TRANSITION_ACCELERATION);
        BenchEngine::QuietOutput quiet;
        long frames = 0;
        double measured = 0.0;
        double measuredCpu = 0.0;
        double whole = 0.0;
        double rasteriserCpu = 0.0;
        for (auto _ : aState)
        {
            const double rasteriserStart = ThreadsCpuSeconds("llvmpipe");
            CommonUtilities::InputHandler input;
            auto world = std::make_unique<GameWorld>();
            world->InitWithScene(LEVELS[index], input);
            ContentGame::TrackRunner runner(*world, input);
            error = runner.Play(steps);
            if (!error.empty())
            {
                aState.SkipWithError(error.c_str());
                return;
            }
            frames = runner.GetFrameCount();
            measured = runner.GetMeasuredSeconds();
            measuredCpu = runner.GetMeasuredCpuSeconds();
            whole = runner.GetWholeFrameSeconds();
            rasteriserCpu = ThreadsCpuSeconds("llvmpipe") - rasteriserStart;
            aState.SetIterationTime(frames ? measured / static_cast<double>(frames) : 0.0);
            world.reset();
        }
        aState.counters["frames"] = static_cast<double>(frames);
        aState.counters["ms_per_frame"] = frames ? 1000.0 * measured / static_cast<double>(frames) : 0.0;
        // The game's own thread: update and submission, without Mesa's rasteriser threads.
        aState.counters["cpu_ms_per_frame"] = frames ? 1000.0 * measuredCpu / static_cast<double>(frames) : 0.0;
        // Whole frames with the present, and the CPU time Mesa's rasteriser threads spent on them.
        aState.counters["wall_ms_per_frame"] = frames ? 1000.0 * whole / static_cast<double>(frames) : 0.0;
        aState.counters["raster_cpu_ms_per_frame"] = frames ? 1000.0 * rasteriserCpu / static_cast<double>(frames) : 0.0;
    }
    BENCHMARK(BM_LevelFrameOverTrack)->DenseRange(0, 2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
