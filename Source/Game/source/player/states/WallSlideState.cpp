#include "player/states/WallSlideState.h"

#include "audio/AudioManager.h"
#include "player/Player.h"
#include "player/states/DashState.h"
#include "player/states/FallState.h"
#include "player/states/IdleState.h"
#include "player/states/WallJumpState.h"

void WallSlideState::OnEnter(Player& aPlayer)
{
    PlayClip(aPlayer, "OnWall");
    aPlayer.GetAnimatedObject().FlipScaleX();
    aPlayer.RefillAirActions();
    AudioManager::GetInstance().Play("Wall_Slide", false, 1.0f);
    SpawnFacingEffect(aPlayer, "Player_Wall_Slide");
}

void WallSlideState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const PlayerTuning& tuning = aPlayer.GetTuning();
    const float sinceSound = aPlayer.GetWallSlideEffectTimer() + aDeltaTime;
    aPlayer.SetWallSlideEffectTimer(sinceSound);
    if (sinceSound >= tuning.myWallSlideSoundInterval)
    {
        PlaySound("Wall_Slide");
        SpawnEffect(aPlayer, "Player_Wall_Slide", !aPlayer.IsFacingLeft());
        aPlayer.SetWallSlideEffectTimer(0.0f);
    }
    aPlayer.ApplyGravity(aDeltaTime);
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    // Away from the wall, whatever was steered.
    aPlayer.SetFacing(!aPlayer.IsWallOnLeft());
    aPlayer.ApplyMovement(aDeltaTime, 1.0f, tuning.myWallSlideFallFactor);
}

PlayerState* WallSlideState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    if (aPlayer.IsGrounded())
    {
        return new IdleState();
    }
    if (!aPlayer.IsTouchingWall())
    {
        return new FallState();
    }
    if (aPlayer.ConsumeJump())
    {
        return new WallJumpState();
    }
    if (aPlayer.ConsumeDash())
    {
        return new DashState();
    }
    return nullptr;
}

void WallSlideState::OnExit(Player& aPlayer)
{
    StopSound("Player_Wall_Slide");
    aPlayer.GetAnimatedObject().FlipScaleX();
}
