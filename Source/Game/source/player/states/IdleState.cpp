#include "player/states/IdleState.h"

#include "player/Player.h"
#include "player/states/DashState.h"
#include "player/states/FallState.h"
#include "player/states/JumpState.h"
#include "player/states/SquakState.h"
#include "player/states/WalkState.h"

void IdleState::OnEnter(Player& aPlayer)
{
    aPlayer.RefillAirActions();
    PlayClip(aPlayer, "Idle");
}

void IdleState::Update(Player&, float, CommonUtilities::InputHandler&)
{
}

PlayerState* IdleState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler& anInput)
{
    if (!aPlayer.IsGrounded())
    {
        aPlayer.StartCoyoteTime();
        return new FallState();
    }
    if (aPlayer.ConsumeJump())
    {
        return new JumpState();
    }
    if (aPlayer.HasMoveInput(anInput))
    {
        return new WalkState();
    }
    if (aPlayer.ConsumeDash())
    {
        return new DashState();
    }
    if (aPlayer.IsSquawkPressed(anInput))
    {
        return new SquakState();
    }
    return nullptr;
}

void IdleState::OnExit(Player&)
{
}
