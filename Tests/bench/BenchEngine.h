#pragma once
// Starts the engine headless for a benchmark: a settings folder of its own in the temporary
// folder, the build's cooked shaders and assets, and a small window with one frame begun.
#include "Engine.h"
#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"
#include "window/ModulePath.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace BenchEngine
{
    namespace fs = std::filesystem;

    // The build lays out <build>/bench/bench_<name> beside <build>/bin.
    inline fs::path BinFolder()
    {
        if (const char* binary = std::getenv("VRA_BIN_DIR"))
        {
            return binary;
        }
        return fs::path(Platform::GetModulePath()).parent_path().parent_path() / "bin";
    }

    // Starts the engine once per process; later calls return the first result. The game's
    // assets are the build's unless aGameFolder names another folder.
    inline bool Start(const std::string& aName, const fs::path& aGameFolder = {})
    {
        static const bool started = [&aName, &aGameFolder] {
            if (!std::getenv("SDL_VIDEODRIVER"))
            {
                setenv("SDL_VIDEODRIVER", "offscreen", 0);
            }
            const fs::path root = fs::temp_directory_path() / ("vra_bench_" + aName);
            fs::create_directories(root / "settings");
            std::ofstream(root / "settings" / "Game.json")
                << "{ \"assets_path\": { \"engine\": \"engine\", \"game\": \"" << (aGameFolder.empty() ? BinFolder() / "data" : aGameFolder).string()
                << "\", \"cooked\": \"" << (BinFolder() / "cooked").string() << "\" },"
                << " \"window_settings\": { \"window_size\": { \"w\": 320, \"h\": 180 } }, \"debug_features\": [\"None\"] }\n";
            Platform::SetModulePathOverride((root / ("bench_" + aName)).string());
            Vra::LoadSettings("Game.json");
            return Vra::Engine::Start() && Vra::Engine::GetInstance()->BeginFrame();
        }();
        return started;
    }

    // The benchmark program's main: runs what the command line selects, then shuts the engine down.
    // Keeps what the measured code prints on standard output out of the figures.
    class QuietOutput
    {
    public:
        QuietOutput() : myOld(std::cout.rdbuf(myBuffer.rdbuf())) {}
        ~QuietOutput() { std::cout.rdbuf(myOld); }
        QuietOutput(const QuietOutput&) = delete;
        QuietOutput& operator=(const QuietOutput&) = delete;

    private:
        std::ostringstream myBuffer;
        std::streambuf* myOld;
    };

    inline int RunBenchmarks(int argc, char** argv)
    {
#ifdef VRA_BENCH_SOURCE_DIR
        // Tracks and fixtures beside the tests are found from the source folder, also when the
        // benchmark is started by hand and works in the bin folder.
        setenv("VRA_SOURCE_DIR", VRA_BENCH_SOURCE_DIR, 0);
#endif
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv))
        {
            return 1;
        }
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        Vra::Engine::Shutdown();
        return 0;
    }
}
