#include "gpu/impl/GlContext.h"

#include "window/impl/WindowSystem.h"

#include <epoxy/gl.h>

#include <cstdio>

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
            std::fprintf(stderr, "OpenGL: no 4.5 core context for the window (%s)\n", SDL_GetError());
            return nullptr;
        }
        if (const int version = epoxy_gl_version(); version < 45)
        {
            std::fprintf(stderr, "OpenGL: the context offers %d.%d, 4.5 is needed\n", version / 10, version % 10);
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
