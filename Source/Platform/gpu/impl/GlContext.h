#pragma once
#include <SDL2/SDL.h>

namespace Platform::Gpu::impl
{
    // A GL 4.5 core context on the window (which must have been made for GL), current on this
    // thread; null when the driver offers none.
    SDL_GLContext CreateGlContext(SDL_Window* aWindow);
    // A hidden window for a context that draws only into textures; null on failure. Video and the
    // GL library stay loaded for the process, as for the window layer's windows.
    SDL_Window* CreateHiddenWindow();
}
