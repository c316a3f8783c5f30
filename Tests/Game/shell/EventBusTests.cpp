#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace
{
    using ResizeCallback = EventBusCallback<ResizeEvent>;

    class EventBusTest : public testing::Test
    {
    protected:
        void SetUp() override { ASSERT_TRUE(EventBus<ResizeEvent>::GetListeners().empty()); }
        void TearDown() override { EXPECT_TRUE(EventBus<ResizeEvent>::GetListeners().empty()); }

        std::function<void(const ResizeEvent&)> Recorder(int anId)
        {
            return [this, anId](const ResizeEvent& anEvent) {
                myCalls.push_back(anId);
                myLastEvent = anEvent;
            };
        }

        std::vector<int> myCalls;
        ResizeEvent myLastEvent;
    };

    TEST_F(EventBusTest, BroadcastReachesListenersInRegistrationOrder)
    {
        EventBus<ResizeEvent>::Broadcast({ 1, 1 }); // nobody listens: nothing happens
        ResizeCallback first;
        ResizeCallback second;
        second.SetCallback(Recorder(2));
        first.SetCallback(Recorder(1));
        EventBus<ResizeEvent>::Broadcast({ 1920, 1080 });
        EXPECT_EQ(myCalls, (std::vector<int>{ 2, 1 }));
        EXPECT_EQ(myLastEvent.myWidth, 1920u);
        EXPECT_EQ(myLastEvent.myHeight, 1080u);
    }

    TEST_F(EventBusTest, SettingTheCallbackAgainReplacesItWithoutJoiningTwice)
    {
        ResizeCallback listener;
        listener.SetCallback(Recorder(1));
        listener.SetCallback(Recorder(7));
        EventBus<ResizeEvent>::Broadcast({ 800, 600 });
        EXPECT_EQ(myCalls, (std::vector<int>{ 7 }));
        EXPECT_EQ(EventBus<ResizeEvent>::GetListeners().size(), 1u);
    }

    TEST_F(EventBusTest, DestroyedListenerLeavesAndTheOthersKeepTheirOrder)
    {
        ResizeCallback first;
        auto middle = std::make_unique<ResizeCallback>();
        ResizeCallback last;
        first.SetCallback(Recorder(1));
        middle->SetCallback(Recorder(2));
        last.SetCallback(Recorder(3));
        middle.reset();
        EventBus<ResizeEvent>::Broadcast({ 640, 480 });
        EXPECT_EQ(myCalls, (std::vector<int>{ 1, 3 }));
    }

    TEST_F(EventBusTest, ListenerAddedDuringBroadcastHearsTheSameEvent)
    {
        ResizeCallback late;
        ResizeCallback early;
        early.SetCallback([&](const ResizeEvent& anEvent) {
            myCalls.push_back(1);
            late.SetCallback(Recorder(2));
            (void)anEvent;
        });
        EventBus<ResizeEvent>::Broadcast({ 10, 20 });
        EXPECT_EQ(myCalls, (std::vector<int>{ 1, 2 }));
    }

    TEST_F(EventBusTest, ListenerRemovedDuringBroadcastIsNotCalled)
    {
        ResizeCallback first;
        auto second = std::make_unique<ResizeCallback>();
        ResizeCallback third;
        first.SetCallback([&](const ResizeEvent&) {
            myCalls.push_back(1);
            second.reset();
        });
        second->SetCallback(Recorder(2));
        third.SetCallback(Recorder(3));
        EventBus<ResizeEvent>::Broadcast({ 10, 20 });
        EXPECT_EQ(myCalls, (std::vector<int>{ 1, 3 }));
    }

    TEST_F(EventBusTest, EmptyCallbackThrows)
    {
        ResizeCallback listener;
        EXPECT_THROW(listener.OnEvent({ 1, 2 }), std::bad_function_call);
    }
}
