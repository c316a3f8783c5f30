#pragma once
#include "window/WindowMessages.h"

namespace Platform
{
    constexpr int SM_CXSCREEN = 0;
    constexpr int SM_CYSCREEN = 1;

    // Screen width or height (the desktop display mode); 0 for other indices or no display.
    int GetSystemMetrics(int anIndex);
    // The executable's module handle (never null); the name must be null.
    InstanceHandle GetModuleHandle(const char* aModuleName);
    // Shows the cursor while the display count is 0 or more; returns the new count.
    int ShowCursor(bool aShow);
    // The "pause" command: prints "Press any key to continue . . ." and waits for a line when
    // standard input is a terminal; returns at once otherwise.
    int SystemPause();
    // The processors this process may run on: under an affinity mask (taskset, a container's CPU
    // set) fewer than the machine has; at least 1.
    int GetUsableProcessorCount();
}
