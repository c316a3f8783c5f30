#pragma once
#include "player/PlayerState.h"

class WalkState : public PlayerState
{
public:
    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override { return "Walk"; }

    bool IsSlow() const { return myIsSlow; }

private:
    // The walk clip plays instead of the run clip (the bird is slowed).
    bool myIsSlow = false;
};
