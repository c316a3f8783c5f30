#pragma once
#include "window/WindowMessages.h"

#include <cstdint>
#include <vector>

namespace Platform
{
    // What a window shows on an X11 display, as RGBA rows, top row first. False under drivers
    // without a screen (offscreen) or for no window. For checks of the real display path.
    bool CaptureWindow(WindowHandle aWindow, std::vector<std::uint8_t>& somePixels, int& aWidth, int& aHeight);
}
