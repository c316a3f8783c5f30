#pragma once
#include "EventBusListener.h"

#include <cstddef>
#include <vector>

// The one global list of listeners for an event type, in registration order. It does not own them.
template <typename Event>
class EventBus
{
public:
    static std::vector<EventBusListener<Event>*>& GetListeners()
    {
        // Never destroyed, so listeners that die during static destruction can still leave it.
        static auto* ourListeners = new std::vector<EventBusListener<Event>*>();
        return *ourListeners;
    }

    // Calls the listeners by index, re-reading the length each step: one added behind the current
    // index hears this event too, and a removal shifts the later ones forward.
    static void Broadcast(const Event& anEvent)
    {
        std::vector<EventBusListener<Event>*>& listeners = GetListeners();
        for (std::size_t i = 0; i < listeners.size(); ++i)
        {
            listeners[i]->OnEvent(anEvent);
        }
    }
};
