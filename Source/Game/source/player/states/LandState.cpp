#include "player/states/LandState.h"

#include "player/Player.h"
#include "player/states/IdleState.h"
#include "player/states/WalkState.h"

void LandState::OnEnter(Player& aPlayer)
{
    SpawnEffect(aPlayer, "Player_Land_Dust", false);
    PlayClip(aPlayer, "Idle");
}

void LandState::Update(Player&, float, CommonUtilities::InputHandler&)
{
}

PlayerState* LandState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler& anInput)
{
    if (aPlayer.HasMoveInput(anInput))
    {
        return new WalkState();
    }
    return new IdleState();
}

void LandState::OnExit(Player&)
{
}
