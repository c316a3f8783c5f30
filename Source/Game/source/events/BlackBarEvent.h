#pragma once
#include "events/TriggeredEvent.h"

class BlackBars;

// Letterbox bars and the sad music while the bird stays in the zone; leaving it (or respawning)
// takes both away, and the zone can fire again.
class BlackBarEvent : public TriggeredEvent
{
public:
    using TriggeredEvent::Init;
    // aSpeed is the bars' slide time in seconds. Hides the bars.
    void Init(const int& anOrder, BlackBars* someBars, float aSpeed);

    void OnTriggerEnter() override;
    void OnTriggerExit() override;

    float GetBarSpeed() const { return myBarSpeed; }

private:
    BlackBars* myBlackBars = nullptr;
    float myBarSpeed = 0.0f;
};
