#pragma once
#include "window/Window.h"
#include "window/impl/SdlWindow.h"

#include <deque>
#include <map>
#include <mutex>
#include <string>

namespace Platform::impl
{
    struct WindowData
    {
        WindowProcedure myProcedure = nullptr;
        std::intptr_t myUserData = 0;
        std::uint32_t myStyle = 0;
        std::uint32_t myExStyle = 0;
        int myReportedWidth = -1;
        int myReportedHeight = -1;
        bool myIsMaximized = false;
    };

    // The process's windows, classes and message queue. Windows and classes are used on the main
    // thread only; the queue also takes posts from other threads under its mutex.
    struct WindowSystem
    {
        std::map<std::string, WindowClass> myClasses;
        std::map<SDL_Window*, WindowData> myWindows;
        std::mutex myQueueMutex;
        std::deque<Message> myQueue;
        int myCursorCount = 0;
    };

    WindowSystem& GetWindowSystem();
    // Starts SDL's video subsystem once for the process; false when no video driver works.
    bool EnsureVideo();
    WindowData* FindWindowData(WindowHandle aWindow);
    // Reports the client size as WM_SIZE (and WM_WINDOWPOSCHANGED) when it differs from what the
    // window procedure was last told; aSend calls the procedure at once, else the messages queue.
    void ReportSize(SDL_Window* aWindow, bool aSend);
    // Moves SDL's pending events into the queue as messages.
    void PumpEvents();
    // Adds WM_CLOSE for every window to aQueue when a termination signal came since the last call
    // that found a window (TerminationSignals.h).
    void CloseWindowsOnRequest(std::deque<Message>& aQueue);
}
