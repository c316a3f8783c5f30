#include "player/states/WalkState.h"

#include "player/Player.h"
#include "player/states/IdleState.h"
#include "player/states/JumpState.h"

#include <cmath>

namespace
{
    // Slower than this without input counts as standing.
    constexpr float STANDING_SPEED = 1.0f;
}

void WalkState::OnEnter(Player& aPlayer)
{
    aPlayer.RefillAirActions();
    if (aPlayer.GetSpeedFactor() < 1.0f)
    {
        myIsSlow = true;
        PlayClip(aPlayer, "Walk");
    }
    else
    {
        PlayClip(aPlayer, "Run");
    }
    PlaySound("Walk");
}

void WalkState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const float speedFactor = aPlayer.GetSpeedFactor();
    if (!myIsSlow && speedFactor < 1.0f)
    {
        myIsSlow = true;
        PlayClip(aPlayer, "Walk");
    }
    else if (myIsSlow && speedFactor == 1.0f)
    {
        myIsSlow = false;
        PlayClip(aPlayer, "Run");
    }
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    aPlayer.ApplyMovement(aDeltaTime, speedFactor, 1.0f);
}

PlayerState* WalkState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler& anInput)
{
    if (PlayerState* const fall = CheckLeftGround(aPlayer))
    {
        return fall;
    }
    if (aPlayer.ConsumeJump())
    {
        return new JumpState();
    }
    if (!aPlayer.HasMoveInput(anInput) && std::abs(aPlayer.GetVelocity().x) < STANDING_SPEED)
    {
        return new IdleState();
    }
    return CheckDashOrSquawk(aPlayer, anInput);
}

void WalkState::OnExit(Player&)
{
    StopSound("Player_Walk");
}
