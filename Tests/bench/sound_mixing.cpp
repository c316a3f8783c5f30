// The software mixer's cost per voice-sample (one voice's stereo output frame), 64 voices at
// 48 kHz with pitches spread over [0.8, 1.2): with the game's echo load (three voices and the
// master group carry an echo), with an echo on every voice, and with no echo at all.
#include "sound/ChannelGroup.h"
#include "sound/Dsp.h"
#include "sound/Sound.h"
#include "sound/System.h"

#include "SoundFiles.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

namespace
{
    using namespace Platform::Sound;

    constexpr int VOICES = 64;
    constexpr int FRAMES_PER_RENDER = 1024;

    enum class Echoes { None, Game, EveryVoice };

    Dsp* MakeEcho(System& aSystem)
    {
        Dsp* echo = nullptr;
        aSystem.CreateDspByType(DspType::Echo, &echo);
        echo->SetParameterFloat(ECHO_DELAY, 250.0f);
        echo->SetParameterFloat(ECHO_FEEDBACK, 40.0f);
        echo->SetParameterFloat(ECHO_WETLEVEL, -6.0f);
        return echo;
    }

    void BM_MixVoices(benchmark::State& aState, Echoes anEchoes)
    {
        const std::filesystem::path file = std::filesystem::temp_directory_path() / "vra_bench_mix_noise.wav";
        if (!SoundFiles::Write(file, SoundFiles::Noise(48000 * 2, 3), 2, 44100))
        {
            aState.SkipWithError("could not write the sound file");
            return;
        }
        System* system = nullptr;
        System::Create(&system, HEADER_VERSION);
        system->SetOutput(OutputType::Memory);
        system->Init(512, INIT_NORMAL, nullptr);
        ChannelGroup* master = nullptr;
        system->GetMasterChannelGroup(&master);
        Sound* sound = nullptr;
        if (system->CreateSound(file.c_str(), MODE_LOOP_NORMAL, nullptr, &sound) != Result::Ok)
        {
            aState.SkipWithError("could not load the sound file");
            system->Release();
            return;
        }
        for (int voice = 0; voice < VOICES; ++voice)
        {
            Channel channel;
            system->PlaySound(sound, nullptr, false, &channel);
            channel.SetPitch(0.8f + 0.4f * static_cast<float>(voice) / VOICES);
            channel.SetVolume(1.0f / VOICES);
            if (anEchoes == Echoes::EveryVoice || (anEchoes == Echoes::Game && voice < 3))
            {
                channel.AddDsp(0, MakeEcho(*system));
            }
        }
        if (anEchoes == Echoes::Game)
        {
            master->AddDsp(0, MakeEcho(*system));
        }
        std::vector<float> frames(2 * FRAMES_PER_RENDER);
        for (auto _ : aState)
        {
            system->Render(frames.data(), FRAMES_PER_RENDER);
            benchmark::DoNotOptimize(frames.data());
        }
        const double voiceSamples = static_cast<double>(aState.iterations()) * VOICES * FRAMES_PER_RENDER;
        aState.counters["per_voice_sample"] = benchmark::Counter(voiceSamples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
        aState.counters["realtime_x"] = benchmark::Counter(static_cast<double>(aState.iterations()) * FRAMES_PER_RENDER / 48000.0, benchmark::Counter::kIsRate);
        system->Release();
        std::filesystem::remove(file);
    }
}

BENCHMARK_CAPTURE(BM_MixVoices, GameEchoes, Echoes::Game);
BENCHMARK_CAPTURE(BM_MixVoices, EchoOnEveryVoice, Echoes::EveryVoice);
BENCHMARK_CAPTURE(BM_MixVoices, NoEcho, Echoes::None);

BENCHMARK_MAIN();
