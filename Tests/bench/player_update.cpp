// One player update with its collision, at 60 frames a second, in a level of 500 boxes, 50 trigger
// boxes and 20 pogo pads: the bird runs right along a floor of tiles, jumping every half second,
// past walls, triggers and pads, and starts over at the far end. Measured twice: the movement,
// states and collision alone, and with the shipped bird's model playing its clips.
#include "BenchEngine.h"

#include "level/LevelState.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/PogoPad.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "window/WindowMessages.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

namespace
{
    constexpr int FLOOR_TILES = 400;
    constexpr int WALLS = 100;
    constexpr int TRIGGERS = 50;
    constexpr int PADS = 20;
    constexpr float TILE = 100.0f;
    constexpr float LEVEL_END = FLOOR_TILES * TILE - 1000.0f;
    constexpr float FRAME_TIME = 1.0f / 60.0f;
    constexpr int JUMP_INTERVAL = 30;

    struct BenchLevel
    {
        BenchLevel()
        {
            for (int tile = 0; tile < FLOOR_TILES; ++tile)
            {
                const float x = static_cast<float>(tile) * TILE;
                myCollisionSet.AddBox({ { x, -100.0f, 0.0f }, { x + TILE, 0.0f, 100.0f } });
            }
            // Pillars that stand above the jumps, so the walls are tested but never stop the run.
            std::vector<Box> walls;
            for (int wall = 0; wall < WALLS; ++wall)
            {
                const float x = static_cast<float>(wall) * 400.0f + 200.0f;
                walls.push_back({ { x, 600.0f, 0.0f }, { x + 100.0f, 900.0f, 100.0f } });
            }
            myCollisionSet.SetWallBoxes(walls);
            std::vector<EventTrigger> triggers;
            for (int trigger = 0; trigger < TRIGGERS; ++trigger)
            {
                const float x = static_cast<float>(trigger) * 800.0f + 300.0f;
                triggers.push_back({ { { x, 0.0f, 0.0f }, { x + 200.0f, 400.0f, 100.0f } }, trigger + 1 });
            }
            myPads.resize(PADS);
            for (int pad = 0; pad < PADS; ++pad)
            {
                myPads[static_cast<std::size_t>(pad)].InitMushroom({ static_cast<float>(pad) * 2000.0f + 1000.0f, 0.0f, 50.0f },
                                                                   { 1.0f, 1.0f, 1.0f }, 50.0f, 1.0f);
            }
            myCheckpoints.resize(1);
            myCheckpoints[0].myBox = { { 20000.0f, 0.0f, 0.0f }, { 20100.0f, 500.0f, 100.0f } };

            myPlayer.Init(myLevel, { 0.0f, 0.0f, 0.0f }, true, true, true);
            myPlayer.SetCollisionSet(&myCollisionSet);
            myPlayer.SetEventTriggers(triggers);
            myPlayer.SetPogoPads(&myPads);
            myPlayer.SetCheckpoints(&myCheckpoints);
            myPlayer.SetAbilityPickups(&myPickups);
            // Two input states made once: running right, and running right with the jump pressed.
            // (Polling the gamepads each frame belongs to the main loop, not to the player.)
            myRunning.HandleMessage(Platform::WM_KEYDOWN, 39, 0);
            myRunning.Update();
            myRunning.Update();
            myJumping = myRunning;
            myJumping.HandleMessage(Platform::WM_KEYDOWN, 'Z', 0);
            myJumping.Update();
        }

        void Frame(int aFrame)
        {
            myPlayer.Update(FRAME_TIME, aFrame % JUMP_INTERVAL == 0 ? myJumping : myRunning);
            if (myPlayer.GetPosition().x > LEVEL_END)
            {
                myPlayer.Respawn({ 0.0f, 0.0f, 0.0f });
            }
        }

        SceneStateStack myStack;
        LevelState myLevel{ myStack };
        CollisionSet myCollisionSet;
        std::vector<PogoPad> myPads;
        std::vector<Checkpoint> myCheckpoints;
        std::vector<AbilityPickup> myPickups;
        CommonUtilities::InputHandler myRunning;
        CommonUtilities::InputHandler myJumping;
        Player myPlayer;
    };

    std::filesystem::path ContentFolder()
    {
        if (const char* source = std::getenv("VRA_SOURCE_DIR"))
        {
            return std::filesystem::path(source) / "Content" / "Game";
        }
        // The build folder lies inside the source tree: look upward from the program.
        for (std::filesystem::path folder = std::filesystem::path(Platform::GetModulePath()).parent_path(); folder.has_relative_path();
             folder = folder.parent_path())
        {
            if (std::filesystem::is_directory(folder / "Content" / "Game"))
            {
                return folder / "Content" / "Game";
            }
        }
        return "Content/Game";
    }

    void RunLevel(benchmark::State& aState)
    {
        // The game's own progress lines (model loading, clip changes) would be timed with it.
        std::streambuf* const output = std::cout.rdbuf(nullptr);
        {
            BenchLevel level;
            int frame = 0;
            for (int warmUp = 0; warmUp < 120; ++warmUp)
            {
                level.Frame(frame++);
            }
            for (auto _ : aState)
            {
                level.Frame(frame++);
            }
            benchmark::DoNotOptimize(level.myPlayer.GetPosition());
        }
        std::cout.clear();
        std::cout.rdbuf(output);
        aState.counters["frames/s"] = benchmark::Counter(static_cast<double>(aState.iterations()), benchmark::Counter::kIsRate);
    }

    // No engine: the bird has no model, so only its movement, states and collision are timed.
    void PlayerUpdateWithCollision(benchmark::State& aState)
    {
        RunLevel(aState);
    }

    void PlayerUpdateWithCollisionAndModel(benchmark::State& aState)
    {
        const std::filesystem::path content = ContentFolder();
        if (!std::filesystem::exists(content / Player::MODEL_PATH))
        {
            aState.SkipWithError("the bird's files are not in Content/Game");
            return;
        }
        if (!BenchEngine::Start("player_update", content))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        RunLevel(aState);
    }
}

BENCHMARK(PlayerUpdateWithCollision)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlayerUpdateWithCollisionAndModel)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
