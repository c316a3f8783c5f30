#pragma once
#include "player/PlayerState.h"

class JumpState : public PlayerState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "Jump"; }

    float GetTimer() const { return myTimer; }
    bool IsPogoQueued() const { return myIsPogoQueued; }
    bool IsReleased() const { return myIsReleased; }

protected:
    // The rise shared with the double jump: the jump velocity is kept while the key is held (at
    // least the shortest jump, at most the longest hold), then gravity takes over.
    void UpdateRise(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput, float aSpeedFactor);

    float myTimer = 0.0f;
    bool myIsPogoQueued = false;
    bool myIsReleased = false;
};
