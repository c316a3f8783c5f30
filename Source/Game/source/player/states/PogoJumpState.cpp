#include "player/states/PogoJumpState.h"

#include "player/Player.h"
#include "player/states/DoubleJumpState.h"

void PogoJumpState::OnEnter(Player& aPlayer)
{
    SpawnEffect(aPlayer, "Player_Pogo_Jump_Dust", false);
    PlaySound("Jump");
    PlayClip(aPlayer, "PogoHit");
    QueueClip(aPlayer, "JumpAir");
    myTimer = 0.0f;
    aPlayer.RefillAirActions();
    aPlayer.HitPogoPad();
    aPlayer.ShakeCamera(0.2f, 2.0f);
    aPlayer.CountDownPrompt(Player::Prompt::Pogo);
}

void PogoJumpState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    if (aPlayer.ConsumePogo())
    {
        myIsPogoQueued = true;
    }
    if (myTimer < aPlayer.GetTuning().myPogoHoldTime)
    {
        aPlayer.StartJump();
        myTimer += aDeltaTime;
    }
    else
    {
        aPlayer.ApplyGravity(aDeltaTime);
    }
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    aPlayer.ApplyMovement(aDeltaTime, 1.0f, 1.0f);
}

PlayerState* PogoJumpState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    if (PlayerState* const next = CheckEndOfRise(aPlayer, myIsPogoQueued))
    {
        return next;
    }
    if (aPlayer.ConsumeJump() && aPlayer.IsDoubleJumpAvailable() && aPlayer.IsDoubleJumpUnlocked())
    {
        return new DoubleJumpState();
    }
    return nullptr;
}

void PogoJumpState::OnExit(Player&)
{
}
