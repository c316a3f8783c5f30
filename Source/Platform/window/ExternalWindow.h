#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Another program's top-level window on the X11 display, for checks that drive the game from the
// outside. Every call opens its own connection to the display named by DISPLAY.
namespace Platform
{
    using ExternalWindowId = std::uint64_t;

    // The first top-level window with that title; 0 when there is none or no X display.
    ExternalWindowId FindExternalWindow(const std::string& aTitle);
    // What the window shows, as RGBA rows, top row first. False for no such window or display.
    bool CaptureExternalWindow(ExternalWindowId aWindow, std::vector<std::uint8_t>& somePixels, int& aWidth, int& aHeight);
    // Asks the window to close as a window manager's close button would (WM_DELETE_WINDOW).
    bool RequestExternalWindowClose(ExternalWindowId aWindow);
}
