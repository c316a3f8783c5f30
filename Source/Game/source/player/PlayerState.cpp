#include "player/PlayerState.h"

#include "audio/AudioManager.h"
#include "effects/VfxManager.h"
#include "player/Player.h"
#include "player/states/DashState.h"
#include "player/states/FallState.h"
#include "player/states/PogoReadyState.h"
#include "player/states/SquakState.h"

void PlayerState::PlaySound(const std::string& aGroup)
{
    AudioManager::GetInstance().Play(aGroup, true, 1.0f);
}

void PlayerState::StopSound(const std::string& aName)
{
    AudioManager::GetInstance().Stop(aName);
}

void PlayerState::SpawnEffect(const Player& aPlayer, const std::string& aName, bool aMirrored, float aRotation, const Vra::Vector2<float>& anOffset)
{
    const CommonUtilities::Vector3f target = aPlayer.GetCameraTarget();
    VfxManager::GetInstance().Spawn(aName, Vra::Vector2<float>(target.x + anOffset.x, target.y + anOffset.y), false, aMirrored, aRotation);
}

void PlayerState::SpawnFacingEffect(const Player& aPlayer, const std::string& aName)
{
    SpawnEffect(aPlayer, aName, aPlayer.IsFacingLeft());
}

void PlayerState::SpawnLandingDust(const Player& aPlayer)
{
    SpawnEffect(aPlayer, "Player_Land_Dust", false);
    SpawnEffect(aPlayer, "Player_Land_Dust", false, 0.0f, { 25.0f, -10.0f });
    SpawnEffect(aPlayer, "Player_Land_Dust", false, 0.0f, { 50.0f, 0.0f });
}

void PlayerState::PlayClip(Player& aPlayer, const std::string& aClip)
{
    aPlayer.GetAnimatedObject().PlayAnimation(aClip);
}

void PlayerState::QueueClip(Player& aPlayer, const std::string& aClip)
{
    aPlayer.GetAnimatedObject().QueueAnimation(aClip);
}

PlayerState* PlayerState::CheckEndOfRise(Player& aPlayer, bool anIsPogoQueued)
{
    if (aPlayer.GetVelocity().y <= 0.0f)
    {
        if (anIsPogoQueued)
        {
            return new PogoReadyState();
        }
        return new FallState();
    }
    if (aPlayer.ConsumeDash())
    {
        return new DashState();
    }
    return nullptr;
}

PlayerState* PlayerState::CheckLeftGround(Player& aPlayer)
{
    if (aPlayer.IsGrounded())
    {
        return nullptr;
    }
    aPlayer.StartCoyoteTime();
    return new FallState();
}

PlayerState* PlayerState::CheckDashOrSquawk(Player& aPlayer, const CommonUtilities::InputHandler& anInput)
{
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
