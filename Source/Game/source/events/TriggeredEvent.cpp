#include "events/TriggeredEvent.h"

TriggeredEvent::~TriggeredEvent() = default;

void TriggeredEvent::Init()
{
}

void TriggeredEvent::Update(float /*aDeltaTime*/)
{
}

void TriggeredEvent::Render()
{
}

void TriggeredEvent::OnTriggerExit()
{
}

bool TriggeredEvent::IsTriggered() const
{
    return myIsTriggered;
}
