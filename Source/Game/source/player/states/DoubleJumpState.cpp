#include "player/states/DoubleJumpState.h"

#include "player/Player.h"

void DoubleJumpState::OnEnter(Player& aPlayer)
{
    SpawnEffect(aPlayer, "Player_Double_Jump", false);
    aPlayer.SpawnFeathers(3.0f);
    PlaySound("Double_Jump");
    myTimer = 0.0f;
    myIsPogoQueued = false;
    myIsReleased = false;
    PlayClip(aPlayer, "JumpStart");
    QueueClip(aPlayer, "JumpAir");
    aPlayer.SetDoubleJumpAvailable(false);
    aPlayer.CountDownPrompt(Player::Prompt::DoubleJump);
}

void DoubleJumpState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    // The black bars' slowdown does not reach a double jump.
    UpdateRise(aPlayer, aDeltaTime, anInput, 1.0f);
}

void DoubleJumpState::OnExit(Player&)
{
    StopSound("Player_Double_Jump");
}
