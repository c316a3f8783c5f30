#include "events/LevelLoadEvent.h"

#include "overlays/Transition.h"

void LevelLoadEvent::Init(const std::string& aLevelPath, const int& anOrder)
{
    myLevelPath = aLevelPath;
    myOrder = anOrder;
}

void LevelLoadEvent::OnTriggerEnter()
{
    // Re-entering the box while the sweep runs must not start a second one.
    if (!myHasStartedTransition)
    {
        Transition::GetInstance()->Start();
        myHasStartedTransition = true;
    }
    myIsTriggered = true;
}

bool LevelLoadEvent::IsTriggered() const
{
    return myIsTriggered && !Transition::GetInstance()->IsSweeping();
}
