#pragma once
#include <cstdint>

// A scripted moment of a level. Trigger boxes carry an order number: when the bird touches a box,
// the level enters every untriggered event of that order, and exits the triggered ones when it
// leaves. The level updates and renders triggered events every frame.
class TriggeredEvent
{
public:
    TriggeredEvent() = default;
    virtual ~TriggeredEvent();
    TriggeredEvent(const TriggeredEvent&) = delete;
    TriggeredEvent& operator=(const TriggeredEvent&) = delete;

    virtual void Init();
    virtual void Update(float aDeltaTime);
    virtual void Render();
    virtual void OnTriggerEnter() = 0;
    virtual void OnTriggerExit();
    virtual bool IsTriggered() const;

    int GetOrder() const { return myOrder; }

protected:
    std::int32_t myOrder = 0;
    bool myIsTriggered = false;
};
