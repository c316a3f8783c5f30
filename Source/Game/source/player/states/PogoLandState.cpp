#include "player/states/PogoLandState.h"

#include "player/Player.h"
#include "player/states/IdleState.h"
#include "player/states/WalkState.h"

void PogoLandState::OnEnter(Player& aPlayer)
{
    SpawnLandingDust(aPlayer);
    PlaySound("Face_Plant");
    PlayClip(aPlayer, "PogoFail");
    aPlayer.ShakeCamera(0.2f, 1.0f);
}

void PogoLandState::Update(Player&, float aDeltaTime, CommonUtilities::InputHandler&)
{
    myTimer += aDeltaTime;
}

PlayerState* PogoLandState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler& anInput)
{
    if (myTimer < aPlayer.GetTuning().myPogoLandTime)
    {
        return nullptr;
    }
    if (aPlayer.HasMoveInput(anInput))
    {
        return new WalkState();
    }
    return new IdleState();
}

void PogoLandState::OnExit(Player&)
{
    StopSound("Player_FacePlant");
}
