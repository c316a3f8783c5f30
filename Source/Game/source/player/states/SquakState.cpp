#include "player/states/SquakState.h"

#include "player/Player.h"
#include "player/states/IdleState.h"

namespace
{
    constexpr float SQUAWK_TIME = 1.0f;
}

std::mt19937& SquakState::GetClipGenerator()
{
    static std::mt19937 generator(std::random_device{}());
    return generator;
}

const char* SquakState::ChooseClip(std::uint32_t aDraw)
{
    return static_cast<std::int32_t>(aDraw) < 0 ? "Squeak2" : "Squeak1";
}

void SquakState::OnEnter(Player& aPlayer)
{
    PlaySound("Squeak");
    PlayClip(aPlayer, ChooseClip(static_cast<std::uint32_t>(GetClipGenerator()())));
    QueueClip(aPlayer, "Idle");
    aPlayer.CountDownPrompt(Player::Prompt::Squawk);
    myTimer = SQUAWK_TIME;
}

void SquakState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler&)
{
    if (myTimer > 0.0f)
    {
        myTimer -= aDeltaTime;
    }
    aPlayer.ApplyMovement(aDeltaTime, aPlayer.GetSpeedFactor(), 1.0f);
}

PlayerState* SquakState::CheckTransition(Player&, float, CommonUtilities::InputHandler&)
{
    return myTimer <= 0.0f ? new IdleState() : nullptr;
}

void SquakState::OnExit(Player&)
{
}
