#include "events/TutorialPromptEvent.h"

#include "player/Player.h"

void TutorialPromptEvent::Init()
{
    myPlayer = nullptr;
}

void TutorialPromptEvent::Init(int aKind, int anOrder, Player* aPlayer)
{
    myOrder = anOrder;
    myPlayer = aPlayer;
    myIsTriggered = false;
    switch (aKind)
    {
    case 1:
        myPromptWord = "Walk";
        break;
    case 2:
        myPromptWord = "Jump";
        break;
    case 3:
        myPromptWord = "Pogo";
        break;
    case 4:
        myPromptWord = "Squawk";
        break;
    default:
        myPromptWord.clear();
        break;
    }
}

void TutorialPromptEvent::OnTriggerEnter()
{
    if (myIsTriggered)
    {
        return;
    }
    myIsTriggered = true;
    if (!myPlayer)
    {
        return;
    }
    if (myPromptWord == "Walk")
    {
        myPlayer->ShowWalkPrompt();
    }
    else if (myPromptWord == "Jump")
    {
        myPlayer->ShowJumpPrompt();
    }
    else if (myPromptWord == "Pogo")
    {
        myPlayer->ShowPogoPrompt();
    }
    else if (myPromptWord == "Squawk")
    {
        myPlayer->ShowSquawkPrompt();
    }
}
