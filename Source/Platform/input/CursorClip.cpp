#include "input/CursorClip.h"

#include <SDL.h>

namespace Platform
{
    bool ClipCursor(const Rect* aRect)
    {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        {
            return false;
        }
        SDL_Window* window = SDL_GetKeyboardFocus();
        if (window == nullptr)
        {
            window = SDL_GetMouseFocus();
        }
        if (window == nullptr)
        {
            return false;
        }
        if (aRect == nullptr)
        {
            return SDL_SetWindowMouseRect(window, nullptr) == 0;
        }
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(window, &x, &y);
        const SDL_Rect local{ aRect->myLeft - x, aRect->myTop - y, aRect->myRight - aRect->myLeft, aRect->myBottom - aRect->myTop };
        return SDL_SetWindowMouseRect(window, &local) == 0;
    }

    bool GetWindowRect(WindowHandle aWindow, Rect& aRect)
    {
        if (aWindow == nullptr)
        {
            return false;
        }
        SDL_Window* window = static_cast<SDL_Window*>(aWindow);
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int top = 0;
        int left = 0;
        int bottom = 0;
        int right = 0;
        SDL_GetWindowPosition(window, &x, &y);
        SDL_GetWindowSize(window, &width, &height);
        // The outer rectangle includes the frame where the window manager reports one.
        SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right);
        aRect = { x - left, y - top, x + width + right, y + height + bottom };
        return true;
    }
}
