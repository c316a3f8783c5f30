#include "player/states/DashState.h"

#include "player/Player.h"
#include "player/states/FallState.h"
#include "player/states/IdleState.h"
#include "player/states/PogoReadyState.h"
#include "player/states/WalkState.h"
#include "player/states/WallSlideState.h"

#include <algorithm>

void DashState::OnEnter(Player& aPlayer)
{
    SpawnFacingEffect(aPlayer, "Player_Dash");
    PlaySound("Dash");
    myTimer = 0.0f;
    aPlayer.SetDashAvailable(false);
    PlayClip(aPlayer, "Dash");
    aPlayer.CountDownPrompt(Player::Prompt::Dash);
}

void DashState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const PlayerTuning& tuning = aPlayer.GetTuning();
    if (aPlayer.ConsumePogo())
    {
        myIsPogoQueued = true;
    }
    // A straight line at the dash speed, untouched by gravity, deceleration or the speed limit.
    const float speed = aPlayer.IsFacingLeft() ? -tuning.myDashSpeed : tuning.myDashSpeed;
    aPlayer.SetVelocity({ speed, 0.0f, 0.0f });
    myTimer += aDeltaTime;
    aPlayer.SetPosition(aPlayer.GetPosition() + aPlayer.GetVelocity() * aDeltaTime);
    if (myTimer >= tuning.myDashDuration)
    {
        CommonUtilities::Vector3f velocity = aPlayer.GetVelocity();
        velocity.x = aPlayer.HasMoveInput(anInput) ? std::clamp(velocity.x, -tuning.myMaxSpeed, tuning.myMaxSpeed) : 0.0f;
        aPlayer.SetVelocity(velocity);
    }
}

PlayerState* DashState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler& anInput)
{
    if (myTimer < aPlayer.GetTuning().myDashDuration)
    {
        return nullptr;
    }
    if (aPlayer.IsTouchingWall() && aPlayer.IsWallJumpUnlocked())
    {
        return new WallSlideState();
    }
    if (aPlayer.IsGrounded())
    {
        if (aPlayer.HasMoveInput(anInput))
        {
            return new WalkState();
        }
        return new IdleState();
    }
    if (myIsPogoQueued)
    {
        return new PogoReadyState();
    }
    return new FallState();
}

void DashState::OnExit(Player& aPlayer)
{
    aPlayer.StartDashCooldown();
}
