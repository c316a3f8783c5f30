#pragma once
#include "player/PlayerState.h"

#include <cstdint>
#include <random>

class SquakState : public PlayerState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "Squak"; }

    float GetTimer() const { return myTimer; }

    // The clip of a squawk comes from a generator of the state's own, so squawking leaves the
    // game's shared random sequence alone.
    static std::mt19937& GetClipGenerator();
    static const char* ChooseClip(std::uint32_t aDraw);

private:
    float myTimer = 0.0f;
};
