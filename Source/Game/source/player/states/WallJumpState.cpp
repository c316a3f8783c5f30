#include "player/states/WallJumpState.h"

#include "player/Player.h"
#include "player/states/WallSlideState.h"

void WallJumpState::OnEnter(Player& aPlayer)
{
    PlaySound("Wall_Jump");
    SpawnEffect(aPlayer, "Player_Wall_Jump_Dust", false);
    myTimer = 0.0f;
    myIsPogoQueued = false;
    myIsReleased = false;
    PlayClip(aPlayer, "JumpStart");
    QueueClip(aPlayer, "JumpAir");
    aPlayer.CountDownPrompt(Player::Prompt::WallJump);
}

void WallJumpState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const PlayerTuning& tuning = aPlayer.GetTuning();
    if (aPlayer.ConsumePogo())
    {
        myIsPogoQueued = true;
    }
    if (!aPlayer.IsJumpHeld(anInput))
    {
        myIsReleased = true;
    }
    if (myIsReleased || myTimer >= tuning.myWallJumpLockTime)
    {
        aPlayer.ApplyGravity(aDeltaTime);
        aPlayer.MoveHorizontal(aDeltaTime, anInput);
    }
    else
    {
        // Pushed away from the wall (the bird faces away from it) without steering.
        aPlayer.StartJump();
        CommonUtilities::Vector3f velocity = aPlayer.GetVelocity();
        const float push = tuning.myWallJumpFactor * tuning.myAcceleration * aDeltaTime;
        velocity.x += aPlayer.IsFacingLeft() ? -push : push;
        myTimer += aDeltaTime;
        const bool heldBack = aPlayer.IsFacingLeft() ? aPlayer.IsRightHeld(anInput) : aPlayer.IsLeftHeld(anInput);
        if ((myIsReleased || myTimer >= tuning.myWallJumpLockTime) && aPlayer.HasMoveInput(anInput) && heldBack)
        {
            velocity.x = -velocity.x;
        }
        aPlayer.SetVelocity(velocity);
    }
    aPlayer.ApplyMovement(aDeltaTime, tuning.myWallJumpFactor, 1.0f);
}

PlayerState* WallJumpState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    if (PlayerState* const next = CheckEndOfRise(aPlayer, myIsPogoQueued))
    {
        return next;
    }
    if (aPlayer.IsTouchingWall() && aPlayer.IsWallJumpUnlocked() && myTimer >= aPlayer.GetTuning().myWallJumpLockTime)
    {
        return new WallSlideState();
    }
    return nullptr;
}

void WallJumpState::OnExit(Player&)
{
    StopSound("Player_Wall_Jump_1");
    StopSound("Player_Wall_Jump_2");
}
