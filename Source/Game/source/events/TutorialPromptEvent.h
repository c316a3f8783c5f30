#pragma once
#include "events/TriggeredEvent.h"

#include <string>

class Player;

// Shows one tutorial prompt through the player the first time its box is touched.
class TutorialPromptEvent : public TriggeredEvent
{
public:
    // Forgets the player: the event then shows nothing.
    void Init() override;
    // Kinds 1 "Walk", 2 "Jump", 3 "Pogo", 4 "Squawk"; any other kind shows nothing.
    void Init(int aKind, int anOrder, Player* aPlayer);

    void OnTriggerEnter() override;

    const std::string& GetPromptWord() const { return myPromptWord; }

private:
    Player* myPlayer = nullptr;
    std::string myPromptWord;
};
