#include "player/states/PogoReadyState.h"

#include "player/Player.h"
#include "player/states/DashState.h"
#include "player/states/DoubleJumpState.h"
#include "player/states/FallState.h"
#include "player/states/PogoJumpState.h"
#include "player/states/PogoLandState.h"
#include "player/states/WallSlideState.h"

void PogoReadyState::OnEnter(Player& aPlayer)
{
    PlayClip(aPlayer, "StartPogoReady");
    QueueClip(aPlayer, "PogoReady");
}

void PogoReadyState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const PlayerTuning& tuning = aPlayer.GetTuning();
    aPlayer.ApplyGravity(aDeltaTime);
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    aPlayer.ApplyMovement(aDeltaTime, tuning.myPogoReadySpeedFactor, tuning.myPogoReadyFallFactor);
}

PlayerState* PogoReadyState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    if (aPlayer.IsGrounded())
    {
        return new PogoLandState();
    }
    // The press is used up even without a double jump to spend.
    if (aPlayer.ConsumeJump() && aPlayer.IsDoubleJumpAvailable() && aPlayer.IsDoubleJumpUnlocked())
    {
        return new DoubleJumpState();
    }
    if (aPlayer.ConsumeDash())
    {
        return new DashState();
    }
    if (aPlayer.IsOverPogoPad())
    {
        return new PogoJumpState();
    }
    if (aPlayer.IsTouchingWall() && aPlayer.IsWallJumpUnlocked())
    {
        return new WallSlideState();
    }
    if (aPlayer.ConsumePogo())
    {
        return new FallState();
    }
    return nullptr;
}

void PogoReadyState::OnExit(Player&)
{
}
