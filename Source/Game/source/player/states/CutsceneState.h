#pragma once
#include "player/PlayerState.h"

// The bird plays a scripted sequence: 1 the level's intro, 2 the outro, 3 an ability's power-up.
class CutsceneState : public PlayerState
{
public:
    static constexpr int NONE = 0;
    static constexpr int INTRO = 1;
    static constexpr int OUTRO = 2;
    static constexpr int POWER_UP = 3;

    void OnEnter(Player& aPlayer) override;
    void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void OnExit(Player& aPlayer) override;
    std::string GetName() const override;

    int GetKind() const { return myKind; }
    float GetTimer() const { return myTimer; }
    float GetFirstDuration() const { return myFirstDuration; }
    float GetSecondDuration() const { return mySecondDuration; }
    bool IsPhaseStarted() const { return myIsPhaseStarted; }

private:
    void UpdateIntro(Player& aPlayer);
    void UpdateOutro(Player& aPlayer);

    int myKind = 0;
    float myFirstDuration = 0.0f;
    float mySecondDuration = 0.0f;
    float myTimer = 0.0f;
    bool myIsPhaseStarted = false;
    bool myIsIdlePlayed = false;
    bool myIsSpeedrunStarted = false;
};
