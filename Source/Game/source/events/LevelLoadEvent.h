#pragma once
#include "events/TriggeredEvent.h"

#include <string>

// The level's exit: entering it starts the covering sweep once; it counts as triggered once that
// sweep has finished, which is when the level hands over to the preloaded following level.
class LevelLoadEvent : public TriggeredEvent
{
public:
    static constexpr const char* NAME = "LevelExitTrigger";

    using TriggeredEvent::Init;
    void Init(const std::string& aLevelPath, const int& anOrder);

    void OnTriggerEnter() override;
    bool IsTriggered() const override;

    const std::string& GetName() const { return myName; }
    const std::string& GetLevelPath() const { return myLevelPath; }
    bool HasStartedTransition() const { return myHasStartedTransition; }

private:
    std::string myName = NAME;
    std::string myLevelPath;
    bool myHasStartedTransition = false;
};
