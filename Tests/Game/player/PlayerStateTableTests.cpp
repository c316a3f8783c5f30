#include "PlayerTestSupport.h"

#include "player/states/CutsceneState.h"
#include "player/states/DashState.h"
#include "player/states/DoubleJumpState.h"
#include "player/states/FallState.h"
#include "player/states/IdleState.h"
#include "player/states/JumpState.h"
#include "player/states/LandState.h"
#include "player/states/PogoJumpState.h"
#include "player/states/PogoLandState.h"
#include "player/states/PogoReadyState.h"
#include "player/states/SquakState.h"
#include "player/states/WalkState.h"
#include "player/states/WallJumpState.h"
#include "player/states/WallSlideState.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

namespace
{
    using namespace PlayerTestSupport;

    // Where the bird is when the state starts.
    enum class Place
    {
        Floor,   // standing on a wide floor
        Air,     // high up, nothing near
        Wall,    // high up, against a wall on its right
        OverPad, // high up, a mushroom in reach below
    };

    using StateMaker = std::function<void(Player&)>;

    template <typename T>
    StateMaker Make()
    {
        return [](Player& aPlayer) { aPlayer.ChangeState(std::make_unique<T>()); };
    }

    StateMaker Cutscene(int aKind)
    {
        return [aKind](Player& aPlayer) { aPlayer.EnterCutscene(aKind); };
    }

    struct Row
    {
        const char* myStart;
        StateMaker myMake;
        Place myPlace;
        Abilities myAbilities;
        std::vector<int> myHeld;
        std::vector<int> myPressed;
        // 0: the one step of the press; otherwise the seconds run from it.
        float myTime;
        const char* myExpected;
        Vector3f myVelocity{ 0.0f, 0.0f, 0.0f };
    };

    std::ostream& operator<<(std::ostream& aStream, const Row& aRow)
    {
        return aStream << aRow.myStart << " -> " << aRow.myExpected;
    }

    constexpr Abilities NONE{};
    constexpr Abilities DASH{ true, false, false };
    constexpr Abilities WALL_JUMP{ false, true, false };
    constexpr Abilities DOUBLE_JUMP{ false, false, true };

    class PlayerStateTable : public testing::TestWithParam<Row>
    {
    };

    TEST_P(PlayerStateTable, GoesToTheNextStateForItsContactsAndInput)
    {
        const Row& row = GetParam();
        const Vector3f start = row.myPlace == Place::Floor ? Vector3f(0.0f, 0.0f, 50.0f)
                               : row.myPlace == Place::Wall ? Vector3f(160.0f, 1000.0f, 50.0f)
                                                            : Vector3f(0.0f, 1000.0f, 50.0f);
        PlayerWorld world(start, row.myAbilities);
        switch (row.myPlace)
        {
        case Place::Floor: world.AddFloor(-2000.0f, 2000.0f, 0.0f); break;
        case Place::Wall: world.AddWall({ { 200.0f, -2000.0f, 0.0f }, { 300.0f, 3000.0f, 100.0f } }); break;
        case Place::OverPad:
            world.myPogoPads.emplace_back();
            // Its bounds' centre lies at the bird's sphere centre.
            world.myPogoPads.back().InitMushroom({ -50.0f, 990.0f, 50.0f }, { 1.0f, 1.0f, 1.0f }, 50.0f, 1.0f);
            break;
        case Place::Air: break;
        }
        for (int key : row.myHeld)
        {
            world.Down(key);
        }
        world.RollInput();
        world.myPlayer.CheckCollision();
        row.myMake(world.myPlayer);
        world.myPlayer.SetVelocity(row.myVelocity);
        ASSERT_EQ(world.State().substr(0, 4), std::string(row.myStart).substr(0, 4));

        for (int key : row.myPressed)
        {
            world.Down(key);
        }
        // Frames of one step each, so that a row sees one transition at a time.
        world.Frame(Player::STEP);
        for (int key : row.myPressed)
        {
            world.Up(key);
        }
        if (row.myTime > 0.0f)
        {
            world.Run(row.myTime - Player::STEP, Player::STEP);
        }
        EXPECT_EQ(world.State(), row.myExpected);
    }

    const int Z = KEY_JUMP;
    const int C = KEY_DASH;
    const int X = KEY_POGO;
    const int R = KEY_RIGHT;
    const int L = KEY_LEFT;
    const int S = KEY_SQUAWK;

    INSTANTIATE_TEST_SUITE_P(Transitions, PlayerStateTable,
        testing::Values(
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, {}, { Z }, 0.0f, "Jump" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, { R }, {}, 0.0f, "Walk" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, { L, R }, {}, 0.0f, "Idle" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, DASH, {}, { C }, 0.0f, "Dash" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, {}, { C }, 0.0f, "Idle" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, { S }, {}, 0.0f, "Squak" },
            Row{ "Idle", Make<IdleState>(), Place::Floor, NONE, {}, {}, 0.5f, "Idle" },
            Row{ "Idle", Make<IdleState>(), Place::Air, NONE, {}, { Z }, 0.0f, "Fall" },

            Row{ "Walk", Make<WalkState>(), Place::Floor, NONE, {}, {}, 0.0f, "Idle" },
            Row{ "Walk", Make<WalkState>(), Place::Floor, NONE, {}, {}, 0.0f, "Walk", { 300.0f, 0.0f, 0.0f } },
            Row{ "Walk", Make<WalkState>(), Place::Floor, NONE, { R }, { Z }, 0.0f, "Jump" },
            Row{ "Walk", Make<WalkState>(), Place::Floor, DASH, { R }, { C }, 0.0f, "Dash" },
            // Standing still comes before the squawk.
            Row{ "Walk", Make<WalkState>(), Place::Floor, NONE, { S }, {}, 0.0f, "Idle" },
            Row{ "Walk", Make<WalkState>(), Place::Floor, NONE, { R, S }, {}, 0.0f, "Squak" },
            Row{ "Walk", Make<WalkState>(), Place::Air, NONE, { R }, {}, 0.0f, "Fall" },

            Row{ "Jump", Make<JumpState>(), Place::Air, NONE, { Z }, {}, 0.1f, "Jump" },
            Row{ "Jump", Make<JumpState>(), Place::Air, NONE, { Z }, {}, 0.7f, "Fall" },
            Row{ "Jump", Make<JumpState>(), Place::Air, NONE, { Z }, { X }, 0.7f, "PogoReady" },
            Row{ "Jump", Make<JumpState>(), Place::Air, DASH, { Z }, { C }, 0.0f, "Dash" },
            Row{ "Jump", Make<JumpState>(), Place::Air, DOUBLE_JUMP, { Z }, { Z }, 0.0f, "Jump" },
            Row{ "DoubleJump", Make<DoubleJumpState>(), Place::Air, NONE, { Z }, {}, 0.7f, "Fall" },
            Row{ "DoubleJump", Make<DoubleJumpState>(), Place::Air, NONE, { Z }, { X }, 0.7f, "PogoReady" },
            Row{ "DoubleJump", Make<DoubleJumpState>(), Place::Air, DASH, { Z }, { C }, 0.0f, "Dash" },

            Row{ "Fall", Make<FallState>(), Place::Floor, NONE, {}, {}, 0.0f, "Land" },
            Row{ "Fall", Make<FallState>(), Place::Wall, WALL_JUMP, {}, {}, 0.0f, "WallSlide" },
            Row{ "Fall", Make<FallState>(), Place::Wall, NONE, {}, {}, 0.0f, "Fall" },
            Row{ "Fall", Make<FallState>(), Place::Air, NONE, {}, { X }, 0.0f, "PogoReady" },
            Row{ "Fall", Make<FallState>(), Place::Air, DOUBLE_JUMP, {}, { Z }, 0.0f, "DoubleJump" },
            Row{ "Fall", Make<FallState>(), Place::Air, NONE, {}, { Z }, 0.0f, "Fall" },
            Row{ "Fall", Make<FallState>(), Place::Air, DASH, {}, { C }, 0.0f, "Dash" },
            Row{ "Fall", Make<FallState>(), Place::Air, NONE, {}, { C }, 0.0f, "Fall" },

            Row{ "Dash", Make<DashState>(), Place::Air, NONE, {}, {}, 0.1f, "Dash" },
            Row{ "Dash", Make<DashState>(), Place::Floor, NONE, {}, {}, 0.4f, "Idle" },
            Row{ "Dash", Make<DashState>(), Place::Floor, NONE, { R }, {}, 0.4f, "Walk" },
            Row{ "Dash", Make<DashState>(), Place::Air, NONE, {}, {}, 0.32f, "Fall" },
            Row{ "Dash", Make<DashState>(), Place::Air, NONE, {}, { X }, 0.32f, "PogoReady" },

            Row{ "Squak", Make<SquakState>(), Place::Floor, NONE, {}, {}, 0.99f, "Squak" },
            // A second of steps, give or take the rounding of their sum.
            Row{ "Squak", Make<SquakState>(), Place::Floor, NONE, {}, {}, 1.0f + Player::STEP, "Idle" },

            Row{ "PogoReady", Make<PogoReadyState>(), Place::Floor, NONE, {}, {}, 0.0f, "PogoLand" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Air, DOUBLE_JUMP, {}, { Z }, 0.0f, "DoubleJump" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Air, NONE, {}, { Z }, 0.0f, "PogoReady" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Air, DASH, {}, { C }, 0.0f, "Dash" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::OverPad, NONE, {}, {}, 0.0f, "PogoJump" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Wall, WALL_JUMP, {}, {}, 0.0f, "WallSlide" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Air, NONE, {}, { X }, 0.0f, "Fall" },
            Row{ "PogoReady", Make<PogoReadyState>(), Place::Air, NONE, {}, {}, 0.0f, "PogoReady" },

            Row{ "Land", Make<LandState>(), Place::Floor, NONE, {}, {}, 0.0f, "Idle" },
            Row{ "Land", Make<LandState>(), Place::Floor, NONE, { L }, {}, 0.0f, "Walk" },

            Row{ "WallSlide", Make<WallSlideState>(), Place::Floor, NONE, {}, {}, 0.0f, "Idle" },
            Row{ "WallSlide", Make<WallSlideState>(), Place::Air, NONE, {}, {}, 0.0f, "Fall" },
            Row{ "WallSlide", Make<WallSlideState>(), Place::Wall, NONE, {}, { Z }, 0.0f, "WallJump" },
            Row{ "WallSlide", Make<WallSlideState>(), Place::Wall, DASH, {}, { C }, 0.0f, "Dash" },
            Row{ "WallSlide", Make<WallSlideState>(), Place::Wall, NONE, {}, {}, 0.3f, "WallSlide" },

            Row{ "PogoJump", Make<PogoJumpState>(), Place::Air, NONE, {}, {}, 0.05f, "PogoJump" },
            Row{ "PogoJump", Make<PogoJumpState>(), Place::Air, NONE, {}, {}, 0.6f, "Fall" },
            Row{ "PogoJump", Make<PogoJumpState>(), Place::Air, NONE, {}, { X }, 0.6f, "PogoReady" },
            Row{ "PogoJump", Make<PogoJumpState>(), Place::Air, DOUBLE_JUMP, {}, { Z }, 0.0f, "DoubleJump" },
            Row{ "PogoJump", Make<PogoJumpState>(), Place::Air, DASH, {}, { C }, 0.0f, "Dash" },

            Row{ "PogoLand", Make<PogoLandState>(), Place::Floor, NONE, {}, {}, 0.29f, "PogoLand" },
            Row{ "PogoLand", Make<PogoLandState>(), Place::Floor, NONE, {}, {}, 0.31f, "Idle" },
            Row{ "PogoLand", Make<PogoLandState>(), Place::Floor, NONE, { R }, {}, 0.31f, "Walk" },

            Row{ "WallJump", Make<WallJumpState>(), Place::Air, NONE, { Z }, {}, 0.1f, "WallJump" },
            Row{ "WallJump", Make<WallJumpState>(), Place::Air, NONE, { Z }, {}, 0.7f, "Fall" },
            Row{ "WallJump", Make<WallJumpState>(), Place::Air, NONE, { Z }, { X }, 0.7f, "PogoReady" },
            Row{ "WallJump", Make<WallJumpState>(), Place::Air, DASH, { Z }, { C }, 0.0f, "Dash" },
            Row{ "WallJump", Make<WallJumpState>(), Place::Air, NONE, {}, {}, 0.0f, "Fall" },

            Row{ "Cutscene 3", Cutscene(3), Place::Floor, NONE, {}, {}, 1.39f, "Cutscene 3" },
            Row{ "Cutscene 3", Cutscene(3), Place::Floor, NONE, {}, {}, 1.41f, "Idle" },
            Row{ "Cutscene 1", Cutscene(1), Place::Floor, NONE, {}, {}, 4.19f, "Cutscene 1" },
            Row{ "Cutscene 1", Cutscene(1), Place::Floor, NONE, {}, {}, 4.21f, "Idle" },
            Row{ "Cutscene 2", Cutscene(2), Place::Floor, NONE, {}, {}, 10.0f, "Cutscene 2" },
            Row{ "Cutscene 0", Cutscene(0), Place::Floor, NONE, { R }, { Z }, 10.0f, "Cutscene 0" }));
}
