#pragma once
#include "EventBus.h"
#include "EventBusListener.h"

#include <algorithm>
#include <functional>

// A listener embedded in its owner: it joins the bus when given its function and leaves it when
// the owner is destroyed. Not copyable or movable, since the bus holds its address.
template <typename Event>
class EventBusCallback : public EventBusListener<Event>
{
public:
    EventBusCallback() = default;
    EventBusCallback(const EventBusCallback&) = delete;
    EventBusCallback& operator=(const EventBusCallback&) = delete;

    ~EventBusCallback() override
    {
        std::vector<EventBusListener<Event>*>& listeners = EventBus<Event>::GetListeners();
        listeners.erase(std::remove(listeners.begin(), listeners.end(), this), listeners.end());
    }

    // Replaces the function and joins the bus unless already on it.
    void SetCallback(std::function<void(const Event&)> aCallback)
    {
        myCallback = std::move(aCallback);
        std::vector<EventBusListener<Event>*>& listeners = EventBus<Event>::GetListeners();
        if (std::find(listeners.begin(), listeners.end(), this) == listeners.end())
        {
            listeners.push_back(this);
        }
    }

    // Throws std::bad_function_call when no function was given.
    void OnEvent(const Event& anEvent) override { myCallback(anEvent); }

private:
    std::function<void(const Event&)> myCallback;
};
