#include "player/states/JumpState.h"

#include "audio/AudioManager.h"
#include "player/Player.h"

#include <cmath>

namespace
{
    constexpr float QUARTER_TURN = 1.5707964f;
    // Slower than this a jump counts as one from standing.
    constexpr float STANDING_SPEED = 0.1f;
}

void JumpState::OnEnter(Player& aPlayer)
{
    const float vx = aPlayer.GetVelocity().x;
    // The dust leans against the run.
    SpawnEffect(aPlayer, "Player_Jump_Dust", false, std::atan2(aPlayer.GetMaxSpeed(), vx) - QUARTER_TURN);
    PlaySound("Jump");
    if (std::abs(vx) < STANDING_SPEED)
    {
        PlayClip(aPlayer, "JumpNeutralStart");
        QueueClip(aPlayer, "JumpNeutralAir");
    }
    else
    {
        PlayClip(aPlayer, "JumpStart");
        QueueClip(aPlayer, "JumpAir");
    }
    myTimer = 0.0f;
    myIsPogoQueued = false;
    myIsReleased = false;
    aPlayer.CountDownPrompt(Player::Prompt::Jump);
}

void JumpState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    UpdateRise(aPlayer, aDeltaTime, anInput, aPlayer.GetSpeedFactor());
}

void JumpState::UpdateRise(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput, float aSpeedFactor)
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
    if (myTimer < tuning.myMaxJumpHoldTime && !(myIsReleased && myTimer >= tuning.myMinJumpTime))
    {
        aPlayer.StartJump();
        myTimer += aDeltaTime;
    }
    else
    {
        const bool cut = myIsReleased || myTimer < tuning.myMaxJumpHoldTime;
        aPlayer.ApplyGravity(cut ? aDeltaTime * tuning.myReleaseGravityFactor : aDeltaTime);
    }
    aPlayer.MoveHorizontal(aDeltaTime, anInput);
    aPlayer.ApplyMovement(aDeltaTime, aSpeedFactor, 1.0f);
}

PlayerState* JumpState::CheckTransition(Player& aPlayer, float, CommonUtilities::InputHandler&)
{
    return CheckEndOfRise(aPlayer, myIsPogoQueued);
}

void JumpState::OnExit(Player&)
{
    AudioManager::GetInstance().FadeOut("Player_Jump", 0.3f);
    StopSound("Player_JumpV2");
}
