// A leak of our own on the window capture's path: an X image taken with XGetImage and never
// destroyed. The leak checker must report it although its stack runs through libX11, while what
// the window system's start-up keeps for the process stays suppressed (Tests/lsan.supp) and the
// capture itself leaks nothing. Run on an X display (xvfb-run) with SDL_VIDEODRIVER=x11.
#include "window/Window.h"
#include "window/WindowCapture.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace
{
    Platform::LResult Procedure(Platform::WindowHandle aWindow, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam)
    {
        return Platform::DefWindowProc(aWindow, aMessage, aWParam, aLParam);
    }

    // Kept out of line so that the report names it.
    [[gnu::noinline]] XImage* PlantXImageLeak(Display* aDisplay)
    {
        return XGetImage(aDisplay, DefaultRootWindow(aDisplay), 0, 0, 8, 8, AllPlanes, ZPixmap);
    }

    XImage* volatile theForgottenImage = nullptr;
}

int main()
{
    Platform::WindowClass windowClass;
    windowClass.myProcedure = &Procedure;
    windowClass.myClassName = "LeakCheck";
    Platform::RegisterClassEx(windowClass);
    const Platform::WindowHandle window = Platform::CreateWindowEx(0, "LeakCheck", "leak check", Platform::WS_OVERLAPPEDWINDOW | Platform::WS_VISIBLE,
        0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    Display* display = XOpenDisplay(nullptr);
    if (window == nullptr || display == nullptr || !Platform::CaptureWindow(window, pixels, width, height))
    {
        std::fprintf(stderr, "no X11 window to capture\n");
        return 2;
    }
    theForgottenImage = PlantXImageLeak(display);
    theForgottenImage = nullptr;
    XCloseDisplay(display);
    Platform::DestroyWindow(window);
    return 0;
}
