#pragma once
#include "window/WindowMessages.h"

namespace Platform
{
    // Confines the cursor to aRect within the window that has focus; null releases it.
    // False when no window of ours has focus.
    bool ClipCursor(const Rect* aRect);

    // The outer rectangle of aWindow (the window layer's SDL window) on the screen; false for no window.
    bool GetWindowRect(WindowHandle aWindow, Rect& aRect);
}
