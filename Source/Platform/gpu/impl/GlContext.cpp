#include "gpu/impl/GlContext.h"

#include "window/impl/WindowSystem.h"

#include <epoxy/gl.h>

namespace Platform::Gpu::impl
{
    SDL_GLContext CreateGlContext(SDL_Window* aWindow)
    {
        if (aWindow == nullptr || (SDL_GetWindowFlags(aWindow) & SDL_WINDOW_OPENGL) == 0)
        {
            return nullptr;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GLContext context = SDL_GL_CreateContext(aWindow);
        if (context == nullptr)
        {
            return nullptr;
        }
        if (epoxy_gl_version() < 45)
        {
            SDL_GL_DeleteContext(context);
            return nullptr;
        }
        return context;
    }

    SDL_Window* CreateHiddenWindow()
    {
        if (!Platform::impl::EnsureVideo())
        {
            return nullptr;
        }
        return SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }
}
