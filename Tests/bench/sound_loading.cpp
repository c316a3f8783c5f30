// Loading the game's sounds from the content pack the build made: AudioManager::Init on
// "settings/LoadSounds.json" as start-up runs it (until it returns), and every sound file of the
// pack made and decoded to its last sample through the sound layer.
#include "BenchEngine.h"

#include "audio/AudioManager.h"
#include "sound/Sound.h"
#include "sound/System.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
    namespace fs = std::filesystem;
    using Clock = std::chrono::steady_clock;
    using namespace Platform::Sound;

    // The tables are opened relative to the working folder, as the game does from its bin folder.
    bool EnterBinFolder(benchmark::State& aState)
    {
        if (chdir(BenchEngine::BinFolder().c_str()) != 0)
        {
            aState.SkipWithError("no bin folder");
            return false;
        }
        return true;
    }

    void BM_AudioManagerInit(benchmark::State& aState)
    {
        if (!EnterBinFolder(aState))
        {
            return;
        }
        for (auto _ : aState)
        {
            std::ostringstream quiet;
            std::streambuf* const old = std::cout.rdbuf(quiet.rdbuf());
            {
                AudioManager manager(OutputType::Memory);
                const auto start = Clock::now();
                manager.Init();
                aState.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            }
            std::cout.rdbuf(old);
        }
    }
    BENCHMARK(BM_AudioManagerInit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

    void BM_EverySoundDecoded(benchmark::State& aState)
    {
        if (!EnterBinFolder(aState))
        {
            return;
        }
        std::vector<std::string> paths;
        for (const fs::directory_entry& entry : fs::directory_iterator("settings/sounds"))
        {
            paths.push_back(entry.path().string());
        }
        for (auto _ : aState)
        {
            System* system = nullptr;
            System::Create(&system, HEADER_VERSION);
            system->SetOutput(OutputType::Memory);
            system->Init(512, INIT_NORMAL, nullptr);
            const auto start = Clock::now();
            std::vector<Sound*> sounds;
            for (const std::string& path : paths)
            {
                Sound* sound = nullptr;
                if (system->CreateSound(path.c_str(), MODE_DEFAULT, nullptr, &sound) == Result::Ok)
                {
                    sounds.push_back(sound);
                }
            }
            for (Sound* sound : sounds)
            {
                std::uint32_t frames = 0;
                sound->GetLength(&frames);
                benchmark::DoNotOptimize(frames);
            }
            aState.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            system->Release();
        }
        aState.counters["files"] = static_cast<double>(paths.size());
    }
    BENCHMARK(BM_EverySoundDecoded)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}

BENCHMARK_MAIN();
