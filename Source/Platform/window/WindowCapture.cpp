#include "window/WindowCapture.h"

#include "window/impl/SdlWindow.h"

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace Platform
{
    namespace
    {
        struct ImageDestroyer
        {
            void operator()(XImage* anImage) const { XDestroyImage(anImage); }
        };
    }

    bool CaptureWindow(WindowHandle aWindow, std::vector<std::uint8_t>& somePixels, int& aWidth, int& aHeight)
    {
        SDL_Window* window = impl::GetSdlWindow(aWindow);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        {
            return false;
        }
        Display* display = info.info.x11.display;
        XSync(display, False);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, info.info.x11.window, &attributes) == 0)
        {
            return false;
        }
        // Owned at once: the copy below allocates, and an allocation that fails must not leak it.
        const std::unique_ptr<XImage, ImageDestroyer> image(XGetImage(display, info.info.x11.window, 0, 0,
                                                                      static_cast<unsigned>(attributes.width),
                                                                      static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap));
        if (!image)
        {
            return false;
        }
        const int width = attributes.width;
        const int height = attributes.height;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const unsigned long pixel = XGetPixel(image.get(), x, y);
                std::uint8_t* target = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
                target[0] = static_cast<std::uint8_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
                target[1] = static_cast<std::uint8_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
                target[2] = static_cast<std::uint8_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
                target[3] = 255;
            }
        }
        somePixels = std::move(pixels);
        aWidth = width;
        aHeight = height;
        return true;
    }
}
