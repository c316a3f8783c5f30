#pragma once
#include "window/WindowMessages.h"

#include <cstdint>
#include <string>

// Windows on SDL2, with the calls and numbers of the window system the engine was written for.
// Every window is made for GL rendering. Main thread only, except PostMessage.
namespace Platform
{
    using WindowProcedure = LResult (*)(WindowHandle, std::uint32_t, WParam, LParam);

    // Window styles.
    constexpr std::uint32_t WS_OVERLAPPED = 0x00000000;
    constexpr std::uint32_t WS_CAPTION = 0x00C00000;
    constexpr std::uint32_t WS_SYSMENU = 0x00080000;
    constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
    constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
    constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;
    constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
    constexpr std::uint32_t WS_POPUP = 0x80000000;
    constexpr std::uint32_t WS_VISIBLE = 0x10000000;
    constexpr std::uint32_t WS_CLIPSIBLINGS = 0x04000000;
    constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;

    // Class styles.
    constexpr std::uint32_t CS_VREDRAW = 0x0001;
    constexpr std::uint32_t CS_HREDRAW = 0x0002;

    // ShowWindow commands.
    constexpr int SW_HIDE = 0;
    constexpr int SW_SHOWNORMAL = 1;
    constexpr int SW_SHOWMINIMIZED = 2;
    constexpr int SW_MAXIMIZE = 3;
    constexpr int SW_SHOW = 5;
    constexpr int SW_MINIMIZE = 6;
    constexpr int SW_RESTORE = 9;
    constexpr int SW_SHOWDEFAULT = 10;

    // Window long-pointer slots.
    constexpr int GWL_EXSTYLE = -20;
    constexpr int GWL_STYLE = -16;
    constexpr int GWLP_USERDATA = -21;

    // SetWindowPos flags.
    constexpr std::uint32_t SWP_NOSIZE = 0x0001;
    constexpr std::uint32_t SWP_NOMOVE = 0x0002;
    constexpr std::uint32_t SWP_NOZORDER = 0x0004;
    constexpr std::uint32_t SWP_FRAMECHANGED = 0x0020;
    constexpr std::uint32_t SWP_NOOWNERZORDER = 0x0200;

    constexpr int IDI_APPLICATION_ICON = 101;
    constexpr int IDC_ARROW = 32512;

    struct WindowClass
    {
        std::uint32_t mySize = 80;
        std::uint32_t myStyle = 0;
        WindowProcedure myProcedure = nullptr;
        InstanceHandle myInstance = nullptr;
        int myIcon = 0;
        int mySmallIcon = 0;
        int myCursor = 0;
        std::intptr_t myBackground = 0;
        std::string myClassName;
    };

    // False when the name is taken (the first registration stays) or the record lacks a
    // procedure or a name.
    bool RegisterClassEx(const WindowClass& aClass);

    // A window of a registered class, hidden unless WS_VISIBLE is given; the size is the outer
    // size (frame included). The class procedure receives WM_CREATE before this returns.
    // Null when the class is unknown or no window can be made.
    WindowHandle CreateWindowEx(std::uint32_t anExStyle, const std::string& aClassName, const std::string& aTitle, std::uint32_t aStyle, int anX, int aY, int aWidth, int aHeight,
        WindowHandle aParent, void* aMenu, InstanceHandle anInstance, void* aCreationData);
    // Sends WM_DESTROY, then closes the window; its queued messages are dropped.
    bool DestroyWindow(WindowHandle aWindow);
    bool IsWindow(WindowHandle aWindow);
    bool ShowWindow(WindowHandle aWindow, int aCommand);
    // True while the window is maximised (SW_MAXIMIZE; where no window manager maximises, the
    // window is made to cover the screen).
    bool IsZoomed(WindowHandle aWindow);
    bool IsWindowVisible(WindowHandle aWindow);

    // GWL_STYLE restyles the window at once (WS_VISIBLE shows it; its absence hides nothing) and
    // reads back as set; returns the previous value (0 for no window).
    std::intptr_t SetWindowLongPtr(WindowHandle aWindow, int anIndex, std::intptr_t aValue);
    std::intptr_t GetWindowLongPtr(WindowHandle aWindow, int anIndex);

    // The client area, at (0, 0).
    bool GetClientRect(WindowHandle aWindow, Rect& aRect);
    // Grows a client rectangle by the frame a window of that style has.
    bool AdjustWindowRect(Rect& aRect, std::uint32_t aStyle, bool aHasMenu);
    // Sizes are outer sizes. A change of size sends WM_WINDOWPOSCHANGED and WM_SIZE to the
    // window procedure before it returns.
    bool SetWindowPos(WindowHandle aWindow, WindowHandle anInsertAfter, int anX, int aY, int aWidth, int aHeight, std::uint32_t someFlags);
    bool SetWindowText(WindowHandle aWindow, const std::string& aTitle);
    std::string GetWindowText(WindowHandle aWindow);

    // WM_CLOSE destroys the window; everything else answers 0.
    LResult DefWindowProc(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam);
    // Calls the window's procedure at once.
    LResult SendMessage(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam);
}
