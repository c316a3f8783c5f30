#include "player/states/IdleState.h"

#include "player/Player.h"
#include "player/states/JumpState.h"
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
    if (PlayerState* const fall = CheckLeftGround(aPlayer))
    {
        return fall;
    }
    if (aPlayer.ConsumeJump())
    {
        return new JumpState();
    }
    if (aPlayer.HasMoveInput(anInput))
    {
        return new WalkState();
    }
    return CheckDashOrSquawk(aPlayer, anInput);
}

void IdleState::OnExit(Player&)
{
}
