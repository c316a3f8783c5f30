#pragma once
#include "player/PlayerState.h"

class DashState : public PlayerState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "Dash"; }

    float GetTimer() const { return myTimer; }
    bool IsPogoQueued() const { return myIsPogoQueued; }

private:
    float myTimer = 0.0f;
    bool myIsPogoQueued = false;
};
