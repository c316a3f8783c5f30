#include "window/MessageQueue.h"
#include "window/SystemServices.h"
#include "window/TerminationSignals.h"
#include "window/Window.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <vector>

#include <signal.h>

using namespace Platform;

namespace
{
    LResult Closable(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam)
    {
        return DefWindowProc(aWindow, aMessage, aWParam, aLParam);
    }

    // The signal actions of the process are put back after each test.
    class TerminationSignalsTest : public ::testing::TestWithParam<int>
    {
    protected:
        void SetUp() override
        {
            sigaction(SIGINT, nullptr, &myOldInterrupt);
            sigaction(SIGTERM, nullptr, &myOldTerminate);
            WindowClass windowClass;
            windowClass.myProcedure = Closable;
            windowClass.myClassName = "SignalledWindow";
            RegisterClassEx(windowClass);
            ClearMessageQueue();
        }

        void TearDown() override
        {
            for (WindowHandle window : myWindows)
            {
                if (IsWindow(window))
                {
                    DestroyWindow(window);
                }
            }
            ClearMessageQueue();
            sigaction(SIGINT, &myOldInterrupt, nullptr);
            sigaction(SIGTERM, &myOldTerminate, nullptr);
        }

        WindowHandle MakeWindow()
        {
            const WindowHandle window = CreateWindowEx(0, "SignalledWindow", "signalled", WS_OVERLAPPEDWINDOW, 0, 0, 64, 48, nullptr, nullptr,
                                                       GetModuleHandle(nullptr), nullptr);
            EXPECT_NE(window, nullptr);
            myWindows.push_back(window);
            return window;
        }

        // How many of each message every window was sent by one pump of the queue.
        std::map<WindowHandle, std::map<std::uint32_t, int>> Pump()
        {
            std::map<WindowHandle, std::map<std::uint32_t, int>> seen;
            Message message;
            while (PeekMessage(message, nullptr, 0, 0, PM_REMOVE))
            {
                ++seen[message.myWindow][message.myId];
            }
            return seen;
        }

        struct sigaction myOldInterrupt = {};
        struct sigaction myOldTerminate = {};
        std::vector<WindowHandle> myWindows;
    };

    TEST_P(TerminationSignalsTest, TheSignalClosesEveryWindowOnceAtTheNextPump)
    {
        const WindowHandle first = MakeWindow();
        const WindowHandle second = MakeWindow();
        Pump();
        CloseWindowsOnTerminationSignals();
        EXPECT_TRUE(Pump().empty()) << "nothing before the signal";

        ASSERT_EQ(raise(GetParam()), 0);
        auto seen = Pump();
        EXPECT_EQ(seen[first][WM_CLOSE], 1);
        EXPECT_EQ(seen[second][WM_CLOSE], 1);
        EXPECT_TRUE(Pump().empty()) << "one close for one signal";
    }

    TEST_P(TerminationSignalsTest, ASignalBeforeTheFirstWindowClosesItWhenItComes)
    {
        CloseWindowsOnTerminationSignals();
        ASSERT_EQ(raise(GetParam()), 0);
        EXPECT_TRUE(Pump().empty());
        const WindowHandle window = MakeWindow();
        EXPECT_EQ(Pump()[window][WM_CLOSE], 1);
    }

    TEST_P(TerminationSignalsTest, ClosingTheWindowDestroysItAndPostsNothingElse)
    {
        // The program's own window procedure decides what a close does; the default destroys.
        const WindowHandle window = MakeWindow();
        Pump();
        CloseWindowsOnTerminationSignals();
        ASSERT_EQ(raise(GetParam()), 0);
        Message message;
        ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.myId, WM_CLOSE);
        DispatchMessage(message);
        EXPECT_FALSE(IsWindow(window));
    }

    TEST(TerminationSignalsDeathTest, ASecondSignalOfEitherKindEndsTheProcessAtOnce)
    {
        const int pairs[][2] = { { SIGINT, SIGINT }, { SIGTERM, SIGTERM }, { SIGINT, SIGTERM }, { SIGTERM, SIGINT } };
        for (const auto& [first, second] : pairs)
        {
            EXPECT_EXIT(
                {
                    CloseWindowsOnTerminationSignals();
                    raise(first);
                    raise(second);
                    std::_Exit(0);
                },
                ::testing::KilledBySignal(second), "")
                << first << " then " << second;
        }
    }

    std::string SignalName(const ::testing::TestParamInfo<int>& anInfo)
    {
        return anInfo.param == SIGINT ? "Interrupt" : "Terminate";
    }

    INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignalsTest, ::testing::Values(SIGINT, SIGTERM), SignalName);
}
