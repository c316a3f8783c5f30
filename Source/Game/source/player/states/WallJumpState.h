#pragma once
#include "player/PlayerState.h"

class WallJumpState : public PlayerState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "WallJump"; }

    float GetTimer() const { return myTimer; }
    bool IsPogoQueued() const { return myIsPogoQueued; }
    bool IsReleased() const { return myIsReleased; }

private:
    float myTimer = 0.0f;
    bool myIsPogoQueued = false;
    bool myIsReleased = false;
};
