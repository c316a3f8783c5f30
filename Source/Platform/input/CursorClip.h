#pragma once
#include "window/WindowMessages.h"

#include <cstdint>

namespace Platform
{
    // Screen coordinates; right and bottom are one past the last pixel.
    struct Rect
    {
        std::int32_t myLeft = 0;
        std::int32_t myTop = 0;
        std::int32_t myRight = 0;
        std::int32_t myBottom = 0;
    };

    // Confines the cursor to aRect within the window that has focus; null releases it.
    // False when no window of ours has focus.
    bool ClipCursor(const Rect* aRect);

    // The outer rectangle of aWindow (the window layer's SDL window) on the screen; false for no window.
    bool GetWindowRect(WindowHandle aWindow, Rect& aRect);
}
