#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace Vra
{
    // Keeps the configuration's two extra callbacks for the engine's lifetime.
    class CallbackLists
    {
    public:
        using Callback = std::function<void()>;

        // An empty callback is not kept.
        void AppendToFirstList(Callback aCallback);
        void AppendToSecondList(Callback aCallback);

        const std::vector<Callback>& GetFirstList() const { return myFirstList; }
        const std::vector<Callback>& GetSecondList() const { return mySecondList; }

    private:
        std::vector<Callback> myFirstList;
        std::vector<Callback> mySecondList;
        std::map<std::uint32_t, Callback> myCallbacksById;
        std::uint32_t myNextId = 0;
    };
}
