#include "player/states/FallState.h"

#include "audio/AudioManager.h"
#include "player/Player.h"
#include "player/states/DashState.h"
#include "player/states/DoubleJumpState.h"
#include "player/states/JumpState.h"
#include "player/states/LandState.h"
#include "player/states/PogoReadyState.h"
#include "player/states/WallSlideState.h"

#include <algorithm>

void FallState::OnEnter(Player& aPlayer)
{
    PlayClip(aPlayer, "StartFalling");
    QueueClip(aPlayer, "Falling");
    myTimer = 0.0f;
}

void FallState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    aPlayer.ApplyGravity(aDeltaTime);
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    aPlayer.ApplyMovement(aDeltaTime, aPlayer.GetSpeedFactor(), 1.0f);
    myTimer += aDeltaTime;
}

PlayerState* FallState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    if (aPlayer.IsGrounded())
    {
        // The longer the fall, the louder the landing, up to full volume after a second.
        AudioManager::GetInstance().Play("Land_Snow", true, std::min(myTimer, 1.0f));
        return new LandState();
    }
    if (aPlayer.ConsumeDash())
    {
        return new DashState();
    }
    if (aPlayer.IsTouchingWall() && aPlayer.IsWallJumpUnlocked())
    {
        return new WallSlideState();
    }
    if (aPlayer.ConsumePogo())
    {
        return new PogoReadyState();
    }
    if (aPlayer.HasCoyoteTime())
    {
        return aPlayer.ConsumeJump() ? new JumpState() : nullptr;
    }
    if (aPlayer.IsDoubleJumpAvailable() && aPlayer.IsDoubleJumpUnlocked() && aPlayer.ConsumeJump())
    {
        return new DoubleJumpState();
    }
    return nullptr;
}

void FallState::OnExit(Player&)
{
}
