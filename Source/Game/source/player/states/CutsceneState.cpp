#include "player/states/CutsceneState.h"

#include "overlays/SpeedrunTimer.h"
#include "player/Player.h"
#include "player/states/IdleState.h"

#include <iostream>

namespace
{
    constexpr float INTRO_FALL = 2.2f;
    constexpr float INTRO_REST = 2.0f;
    // The speedrun countdown of the intro ends as the bird gets up.
    constexpr float COUNTDOWN_LEAD = 3.0f;
    constexpr float OUTRO_WAIT = 1.0f;
    // Longer than the outro sequence, which leaves the level first.
    constexpr float OUTRO_LENGTH = 40.0f;
    constexpr float POWER_UP_LENGTH = 1.4f;
}

std::string CutsceneState::GetName() const
{
    return "Cutscene " + std::to_string(myKind);
}

void CutsceneState::OnEnter(Player& aPlayer)
{
    myKind = aPlayer.GetCutsceneFlag();
    switch (myKind)
    {
    case INTRO:
        myFirstDuration = INTRO_FALL;
        mySecondDuration = INTRO_REST;
        PlayClip(aPlayer, "PogoReady");
        std::cout << "Playing intro Cutscene" << std::endl;
        break;
    case OUTRO:
        SpeedrunTimer::SetPaused(true);
        myFirstDuration = OUTRO_WAIT;
        mySecondDuration = OUTRO_LENGTH;
        std::cout << "Playing outro Cutscene" << std::endl;
        PlayClip(aPlayer, "Idle");
        break;
    case POWER_UP:
        myIsPhaseStarted = true;
        mySecondDuration = POWER_UP_LENGTH;
        PlayClip(aPlayer, "Powerup");
        std::cout << "Playing Powerup animation" << std::endl;
        break;
    default:
        std::cout << "No Cutscene Flag" << std::endl;
        break;
    }
}

void CutsceneState::Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler&)
{
    myTimer += aDeltaTime;
    switch (myKind)
    {
    case INTRO: UpdateIntro(aPlayer); break;
    case OUTRO: UpdateOutro(aPlayer); break;
    case POWER_UP: break;
    default: return;
    }
    aPlayer.ApplyGravity(aDeltaTime);
    aPlayer.ApplyMovement(aDeltaTime, 1.0f, 1.0f);
}

void CutsceneState::UpdateIntro(Player& aPlayer)
{
    if (!myIsSpeedrunStarted && myTimer >= myFirstDuration + mySecondDuration - COUNTDOWN_LEAD)
    {
        SpeedrunTimer::Start(true);
        myIsSpeedrunStarted = true;
    }
    if (!myIsPhaseStarted)
    {
        if (myTimer >= myFirstDuration)
        {
            PlayClip(aPlayer, "PogoFail");
            PlaySound("Face_Plant");
            SpawnLandingDust(aPlayer);
            aPlayer.ShakeCamera(0.5f, 2.0f);
            myIsPhaseStarted = true;
            myTimer = 0.0f;
        }
    }
    else if (!myIsIdlePlayed && myTimer >= mySecondDuration)
    {
        PlayClip(aPlayer, "Idle");
        myIsIdlePlayed = true;
    }
}

void CutsceneState::UpdateOutro(Player& aPlayer)
{
    if (!myIsPhaseStarted && myTimer >= myFirstDuration)
    {
        PlayClip(aPlayer, "Outro");
        myIsPhaseStarted = true;
        myTimer = 0.0f;
    }
}

PlayerState* CutsceneState::CheckTransition(Player&, float, CommonUtilities::InputHandler&)
{
    return myIsPhaseStarted && myTimer >= mySecondDuration ? new IdleState() : nullptr;
}

void CutsceneState::OnExit(Player&)
{
}
