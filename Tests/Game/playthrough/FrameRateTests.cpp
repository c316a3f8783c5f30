// The bird's moves in level 1 give the same path in frames from 1/480 s to 1/15 s long. Keys go
// into SDL's event queue as a keyboard puts them there; the engine's message pump hands them to
// the game's window-message handler, and the game runs frames of the given length, as the main
// loop does.
#include "ContentGame.h"

#include "player/PlayerState.h"
#include "shell/Go.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace
{
    using namespace ContentGame;
    using CommonUtilities::Vector3f;

    // Keys go down and come up on ticks of 1/15 s, which every frame time below divides: frames
    // of one bird's step (1/240 s), of several, of a step and a fraction (1/75 s, 1/45 s), and
    // of half a step.
    constexpr int TICKS_PER_SECOND = 15;
    constexpr int FRAME_RATES[] = { 240, 60, 30, 15, 45, 75, 480 };
    // How far the paths at the other frame times may stray from the one at 1/240 s: the bird
    // steps alike at every frame time, so no further than rounding.
    constexpr float TOLERANCE = 1e-3f;

    struct KeyChange
    {
        int myTick;
        SDL_Keycode myKey;
        bool myIsDown;
    };

    struct Move
    {
        const char* myName;
        // The bird is put here once the level has loaded.
        Vector3f myStart;
        // The wall-jump feather is collected first, at its place in the level.
        bool myNeedsWallJump;
        std::vector<KeyChange> myKeys;
        int myTicks;
        // The states the move goes through, and where it ends: on the ground at y, past x.
        std::vector<const char*> myStates;
        Vector3f myEnd;
    };

    // Where the bird was and what it did at the end of each tick, and every state seen at the
    // end of a frame.
    struct Path
    {
        std::vector<Vector3f> myPositions;
        std::vector<std::string> myTickStates;
        std::set<std::string> mySeenStates;
        bool myIsGrounded = false;
    };

    void PrintTo(const Move& aMove, std::ostream* aStream)
    {
        *aStream << aMove.myName;
    }

    constexpr SDL_Keycode RIGHT = SDLK_RIGHT;
    constexpr SDL_Keycode JUMP = SDLK_z;
    constexpr SDL_Keycode DASH = SDLK_c;
    constexpr SDL_Keycode POGO = SDLK_x;

    const Move MOVES[] = {
        // Level 1's first step, the box from x 1000 with its top at y 200: Right and jump held
        // together for 0.6 s from a stand.
        { "HeldJumpOntoTheStep", { 830.0f, 0.0f, 50.0f }, false,
          { { 3, RIGHT, true }, { 3, JUMP, true }, { 12, RIGHT, false }, { 12, JUMP, false } }, 27, { "Jump" },
          { 1050.0f, 200.0f, 0.0f } },
        // A dash along the meadow, the key tapped for one tick, then a walk.
        { "DashThenWalk", { 300.0f, 0.0f, 50.0f }, false,
          { { 3, DASH, true }, { 4, DASH, false }, { 6, RIGHT, true }, { 12, RIGHT, false } }, 18, { "Dash", "Walk" },
          { 700.0f, 0.0f, 0.0f } },
        // Up the shaft at x 3000 to 3250: a jump to its right wall, then jumps off each wall.
        { "WallJumpsUpTheShaft", { 3060.0f, -400.0f, 50.0f }, true,
          { { 3, RIGHT, true },
            { 3, JUMP, true },
            { 6, JUMP, false },
            { 10, JUMP, true },
            { 13, JUMP, false },
            { 16, JUMP, true },
            { 19, JUMP, false },
            { 22, RIGHT, false } },
          30, { "WallSlide", "WallJump" }, { 3250.0f, 200.0f, 0.0f } },
        // Down onto the mushroom at x 2000 ready to pogo, the bounce off it and the fall to the
        // ground under it.
        { "PogoBounceOffTheMushroom", { 2000.0f, 600.0f, 50.0f }, false, { { 3, POGO, true }, { 4, POGO, false } }, 24,
          { "PogoReady", "PogoJump" }, { 1999.0f, 200.0f, 0.0f } },
    };

    class FrameRate : public ContentGameTest, public ::testing::WithParamInterface<Move>
    {
    protected:
        void ConfigureEngine(Vra::EngineConfiguration& aConfiguration) override { aConfiguration.myMessageCallback = &HandleWindowMessage; }

        // A key event as SDL delivers it for the engine's window.
        static void PushKey(SDL_Keycode aKey, bool anIsDown)
        {
            SDL_Event event{};
            event.type = anIsDown ? SDL_KEYDOWN : SDL_KEYUP;
            event.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(*Vra::Engine::GetInstance()->GetConfiguration().myWindowHandle));
            event.key.state = anIsDown ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = aKey;
            event.key.keysym.scancode = SDL_GetScancodeFromKey(aKey);
            ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        }

        // One frame of the main loop without its drawing: the pump, the input's roll, the update.
        static bool Frame(GameWorld& aWorld, float aDeltaTime)
        {
            Vra::Engine& engine = *Vra::Engine::GetInstance();
            engine.EndFrame();
            if (!engine.BeginFrame())
            {
                return false;
            }
            CommonUtilities::InputHandler& input = GetInputHandler();
            input.Update();
            const bool isRunning = aWorld.Update(aDeltaTime, input);
            Transition::GetInstance()->Update(aDeltaTime);
            return isRunning;
        }

        static Player* BirdOf(GameWorld& aWorld)
        {
            const LevelState* const level = dynamic_cast<LevelState*>(aWorld.GetSceneStateStack().GetTopState());
            return level != nullptr ? level->GetPlayer() : nullptr;
        }

        // A fresh level 1, the move played at aFrameRate frames a second.
        static Path Play(const Move& aMove, int aFrameRate)
        {
            Path path;
            GameWorld world;
            world.InitWithScene("levels/level1.vrs", GetInputHandler());
            Player* const bird = BirdOf(world);
            EXPECT_NE(bird, nullptr);
            if (bird == nullptr)
            {
                return path;
            }
            const float frameTime = 1.0f / static_cast<float>(aFrameRate);
            if (aMove.myNeedsWallJump)
            {
                bird->Respawn({ 2800.0f, 200.0f, 50.0f });
                for (int frame = 0; frame < 3 * aFrameRate && !bird->IsWallJumpUnlocked(); ++frame)
                {
                    Frame(world, frameTime);
                }
                EXPECT_TRUE(bird->IsWallJumpUnlocked());
                // The power-up pose runs out.
                for (int frame = 0; frame < 2 * aFrameRate; ++frame)
                {
                    Frame(world, frameTime);
                }
            }
            bird->Respawn(aMove.myStart);
            const int framesPerTick = aFrameRate / TICKS_PER_SECOND;
            for (int frame = 0; frame < aMove.myTicks * framesPerTick; ++frame)
            {
                for (const KeyChange& change : aMove.myKeys)
                {
                    if (change.myTick * framesPerTick == frame)
                    {
                        PushKey(change.myKey, change.myIsDown);
                    }
                }
                if (!Frame(world, frameTime))
                {
                    ADD_FAILURE() << "the screens ended at frame " << frame;
                    break;
                }
                const std::string state = bird->GetCurrentState() != nullptr ? bird->GetCurrentState()->GetName() : "";
                path.mySeenStates.insert(state);
                if ((frame + 1) % framesPerTick == 0)
                {
                    path.myPositions.push_back(bird->GetPosition());
                    path.myTickStates.push_back(state);
                }
            }
            path.myIsGrounded = bird->IsGrounded();
            return path;
        }
    };

    TEST_P(FrameRate, TheSameKeysGiveTheSamePathAtEveryFrameTime)
    {
        CapturedOutput output;
        const Move& move = GetParam();
        const Path reference = Play(move, FRAME_RATES[0]);
        ASSERT_EQ(reference.myPositions.size(), static_cast<std::size_t>(move.myTicks));
        for (const int rate : std::span(FRAME_RATES).subspan(1))
        {
            const Path path = Play(move, rate);
            ASSERT_EQ(path.myPositions.size(), reference.myPositions.size());
            const auto strayOf = [&](std::size_t aTick) { return (path.myPositions[aTick] - reference.myPositions[aTick]).Length(); };
            std::size_t worst = 0;
            for (std::size_t tick = 0; tick < path.myPositions.size(); ++tick)
            {
                worst = strayOf(tick) > strayOf(worst) ? tick : worst;
            }
            const Vector3f& at = path.myPositions[worst];
            const Vector3f& was = reference.myPositions[worst];
            EXPECT_LE(strayOf(worst), TOLERANCE) << "at " << rate << " frames a second the bird strays most at tick " << worst + 1 << ": ("
                                                 << at.x << ", " << at.y << ") against (" << was.x << ", " << was.y << ")";
            EXPECT_EQ(path.myTickStates, reference.myTickStates) << "at " << rate << " frames a second";
            for (const char* state : move.myStates)
            {
                EXPECT_TRUE(path.mySeenStates.contains(state)) << "no " << state << " at " << rate << " frames a second";
            }
            EXPECT_EQ(path.myIsGrounded, reference.myIsGrounded) << "at " << rate << " frames a second";
        }

        // Where the move ends, on the path at 1/240 s.
        for (const char* state : move.myStates)
        {
            EXPECT_TRUE(reference.mySeenStates.contains(state)) << "no " << state;
        }
        const Vector3f& end = reference.myPositions.back();
        EXPECT_TRUE(reference.myIsGrounded);
        EXPECT_NEAR(end.y, move.myEnd.y, 1.0f);
        EXPECT_GT(end.x, move.myEnd.x);
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    INSTANTIATE_TEST_SUITE_P(Moves, FrameRate, ::testing::ValuesIn(MOVES),
                             [](const ::testing::TestParamInfo<Move>& anInfo) { return std::string(anInfo.param.myName); });
}
