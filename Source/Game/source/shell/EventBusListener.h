#pragma once

template <typename Event>
class EventBusListener
{
public:
    virtual void OnEvent(const Event& anEvent) = 0;
    virtual ~EventBusListener() = default;
};
