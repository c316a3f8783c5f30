#pragma once
#include "window/WindowMessages.h"

#include <cstdint>

// The thread's message queue: SDL events become messages in the order they arrive, and posted
// messages (PostMessage, PostQuitMessage) join them in order.
namespace Platform
{
    constexpr std::uint32_t PM_NOREMOVE = 0x0000;
    constexpr std::uint32_t PM_REMOVE = 0x0001;

    // Takes the first message for aWindow (null: any) with an id in aMin..aMax (both 0: any),
    // after moving pending window events into the queue. False when there is none.
    bool PeekMessage(Message& aMessage, WindowHandle aWindow, std::uint32_t aMin, std::uint32_t aMax, std::uint32_t aRemove);
    // Characters arrive as their own WM_CHAR messages; true for key messages.
    bool TranslateMessage(const Message& aMessage);
    // Hands the message to its window's procedure; 0 for messages without a window.
    LResult DispatchMessage(const Message& aMessage);
    // May be called from any thread.
    bool PostMessage(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam);
    // Queues WM_QUIT with the exit code in wParam.
    void PostQuitMessage(int anExitCode);
    // Drops every queued message (tests start from an empty queue).
    void ClearMessageQueue();
}
