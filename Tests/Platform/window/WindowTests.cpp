#include "window/MessageQueue.h"
#include "window/SystemServices.h"
#include "window/VirtualKeys.h"
#include "window/Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Platform;

namespace
{
    std::vector<Message> theReceived;
    LResult theAnswer = 0;

    LResult RecordingProcedure(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam)
    {
        theReceived.push_back({aWindow, aMessage, aWParam, aLParam});
        return aMessage == WM_CLOSE ? DefWindowProc(aWindow, aMessage, aWParam, aLParam) : theAnswer;
    }

    class WindowTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            WindowClass windowClass;
            windowClass.myStyle = CS_HREDRAW | CS_VREDRAW;
            windowClass.myProcedure = RecordingProcedure;
            windowClass.myClassName = "RecordingWindow";
            RegisterClassEx(windowClass);
            theAnswer = 0;
            myWindow = CreateWindowEx(WS_EX_APPWINDOW, "RecordingWindow", "Test window", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, nullptr, GetModuleHandle(nullptr), nullptr);
            ASSERT_NE(myWindow, nullptr);
            ClearMessageQueue();
            theReceived.clear();
        }

        void TearDown() override
        {
            if (IsWindow(myWindow))
            {
                DestroyWindow(myWindow);
            }
            ClearMessageQueue();
        }

        std::vector<std::uint32_t> ReceivedIds() const
        {
            std::vector<std::uint32_t> ids;
            for (const Message& message : theReceived)
            {
                ids.push_back(message.myId);
            }
            return ids;
        }

        // Pumps every queued message through the window procedures.
        void PumpAll()
        {
            Message message;
            while (PeekMessage(message, nullptr, 0, 0, PM_REMOVE))
            {
                TranslateMessage(message);
                DispatchMessage(message);
            }
        }

        WindowHandle myWindow = nullptr;
    };
}

TEST_F(WindowTest, CreationSendsCreateAndKeepsStyleUserDataAndClientSize)
{
    theReceived.clear();
    WindowHandle other = CreateWindowEx(0, "RecordingWindow", "Second", WS_OVERLAPPEDWINDOW, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_FALSE(theReceived.empty());
    EXPECT_EQ(theReceived.front().myId, WM_CREATE);
    EXPECT_EQ(theReceived.front().myWindow, other);

    EXPECT_EQ(GetWindowLongPtr(other, GWL_STYLE), static_cast<std::intptr_t>(WS_OVERLAPPEDWINDOW));
    int marker = 0;
    EXPECT_EQ(SetWindowLongPtr(other, GWLP_USERDATA, reinterpret_cast<std::intptr_t>(&marker)), 0);
    EXPECT_EQ(GetWindowLongPtr(other, GWLP_USERDATA), reinterpret_cast<std::intptr_t>(&marker));
    Rect client;
    ASSERT_TRUE(GetClientRect(other, client));
    EXPECT_EQ(client.myRight - client.myLeft, 64);
    EXPECT_EQ(client.myBottom - client.myTop, 48);
    EXPECT_FALSE(IsWindowVisible(other)) << "a window without WS_VISIBLE starts hidden";
    EXPECT_EQ(GetWindowText(other), "Second");
    EXPECT_TRUE(DestroyWindow(other));
    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(theReceived.back().myId, WM_DESTROY);
}

TEST_F(WindowTest, UnknownClassAndSecondRegistrationAreRefused)
{
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    WindowClass again;
    again.myProcedure = RecordingProcedure;
    again.myClassName = "RecordingWindow";
    EXPECT_FALSE(RegisterClassEx(again));
}

TEST_F(WindowTest, SetWindowPosSendsTheNewClientSizeAtOnce)
{
    ASSERT_TRUE(SetWindowPos(myWindow, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER));
    ASSERT_EQ(ReceivedIds(), (std::vector<std::uint32_t>{WM_WINDOWPOSCHANGED, WM_SIZE}));
    EXPECT_EQ(LowWord(static_cast<std::uintptr_t>(theReceived[1].myLParam)), 400);
    EXPECT_EQ(HighWord(static_cast<std::uintptr_t>(theReceived[1].myLParam)), 300);

    // The same size again reports nothing, nor does the window's own event of it later.
    theReceived.clear();
    SetWindowPos(myWindow, nullptr, 0, 0, 400, 300, SWP_NOMOVE);
    PumpAll();
    for (const std::uint32_t id : ReceivedIds())
    {
        EXPECT_NE(id, WM_SIZE);
    }
}

TEST_F(WindowTest, RestylingToPopupAndMaximisingCoversTheScreen)
{
    const std::uint32_t popup = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS;
    EXPECT_EQ(SetWindowLongPtr(myWindow, GWL_STYLE, popup), static_cast<std::intptr_t>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(GetWindowLongPtr(myWindow, GWL_STYLE), static_cast<std::intptr_t>(popup));
    EXPECT_TRUE(IsWindowVisible(myWindow));

    ShowWindow(myWindow, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(myWindow));
    Rect client;
    ASSERT_TRUE(GetClientRect(myWindow, client));
    EXPECT_EQ(client.myRight, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(client.myBottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(42), 0);
}

TEST_F(WindowTest, QuitInTheMiddleLeavesLaterMessagesQueued)
{
    PostMessage(myWindow, WM_KEYDOWN, VK_LEFT, 0);
    PostQuitMessage(3);
    PostMessage(myWindow, WM_KEYDOWN, VK_RIGHT, 0);

    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myWParam, VK_LEFT);
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myId, WM_QUIT);
    EXPECT_EQ(message.myWParam, 3u);
    // Looking without removing leaves it for the next pump.
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myWParam, VK_RIGHT);
    EXPECT_FALSE(PeekMessage(message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, PeekFiltersByWindowAndIdRange)
{
    PostMessage(myWindow, WM_MOUSEMOVE, 0, 0);
    PostMessage(myWindow, WM_KEYDOWN, 'A', 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    EXPECT_EQ(message.myId, WM_KEYDOWN);
    int otherWindow = 0;
    EXPECT_FALSE(PeekMessage(message, &otherWindow, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(message, myWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myId, WM_MOUSEMOVE);
}

TEST_F(WindowTest, CloseByDefaultDestroysTheWindow)
{
    PostMessage(myWindow, WM_CLOSE, 0, 0);
    PumpAll();
    EXPECT_EQ(ReceivedIds(), (std::vector<std::uint32_t>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(IsWindow(myWindow));
}

TEST_F(WindowTest, WindowEventsBecomeNumberedMessages)
{
    struct Case
    {
        SDL_Keycode myKey;
        WParam myVirtualKey;
    };
    const Case keys[] = {{SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_7, '7'}, {SDLK_UP, 38}, {SDLK_LEFT, 37}, {SDLK_RETURN, 13}, {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32}, {SDLK_F5, 0x74}};
    const std::uint32_t windowId = SDL_GetWindowID(static_cast<SDL_Window*>(myWindow));
    for (const Case& key : keys)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = windowId;
        event.key.keysym.sym = key.myKey;
        event.key.repeat = 1;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.windowID = windowId;
    button.button.button = SDL_BUTTON_LEFT;
    button.button.x = 12;
    button.button.y = 34;
    SDL_PushEvent(&button);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = windowId;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&close);

    for (const Case& key : keys)
    {
        Message message;
        ASSERT_TRUE(PeekMessage(message, myWindow, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.myId, WM_KEYDOWN);
        EXPECT_EQ(message.myWParam, key.myVirtualKey);
        EXPECT_NE(static_cast<std::uint32_t>(message.myLParam) & (1u << 30), 0u) << "an auto-repeat has its previous state set";
    }
    Message message;
    ASSERT_TRUE(PeekMessage(message, myWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myId, WM_LBUTTONDOWN);
    EXPECT_EQ(GetXFromLParam(message.myLParam), 12);
    EXPECT_EQ(GetYFromLParam(message.myLParam), 34);
    ASSERT_TRUE(PeekMessage(message, myWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.myId, WM_CLOSE);
}

TEST(SystemServices, CursorDisplayCountAndModuleHandle)
{
    const int start = ShowCursor(true) - 1;
    EXPECT_EQ(ShowCursor(false), start);
    EXPECT_EQ(ShowCursor(false), start - 1);
    EXPECT_EQ(ShowCursor(true), start);
    EXPECT_NE(GetModuleHandle(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandle(nullptr), GetModuleHandle(nullptr));
}

TEST_F(WindowTest, MessagesPostedFromAnotherThreadArriveInOrder)
{
    constexpr WParam COUNT = 200;
    std::thread poster([this] {
        for (WParam index = 0; index < COUNT; ++index)
        {
            PostMessage(myWindow, WM_CHAR, index, 0);
        }
    });
    WParam expected = 0;
    while (expected < COUNT)
    {
        Message message;
        if (PeekMessage(message, myWindow, WM_CHAR, WM_CHAR, PM_REMOVE))
        {
            ASSERT_EQ(message.myWParam, expected);
            ++expected;
        }
    }
    poster.join();
}
