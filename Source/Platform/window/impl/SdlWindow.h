#pragma once
#include "window/WindowMessages.h"

#include <SDL2/SDL.h>

namespace Platform::impl
{
    // A window handle is the SDL window itself; this is the one place that says so.
    inline SDL_Window* GetSdlWindow(WindowHandle aWindow) { return static_cast<SDL_Window*>(aWindow); }
    inline WindowHandle GetWindowHandle(SDL_Window* aWindow) { return static_cast<WindowHandle>(aWindow); }
}
