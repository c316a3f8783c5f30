#include "window/ExternalWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace Platform
{
    namespace
    {
        struct DisplayCloser
        {
            void operator()(Display* aDisplay) const { XCloseDisplay(aDisplay); }
        };
        using DisplayConnection = std::unique_ptr<Display, DisplayCloser>;

        DisplayConnection OpenDisplay()
        {
            return DisplayConnection(XOpenDisplay(nullptr));
        }

        // _NET_WM_NAME (UTF-8) when set, else WM_NAME.
        std::string TitleOf(Display* aDisplay, Window aWindow)
        {
            const Atom netName = XInternAtom(aDisplay, "_NET_WM_NAME", False);
            const Atom utf8 = XInternAtom(aDisplay, "UTF8_STRING", False);
            Atom type = None;
            int format = 0;
            unsigned long count = 0;
            unsigned long remaining = 0;
            unsigned char* data = nullptr;
            std::string title;
            if (XGetWindowProperty(aDisplay, aWindow, netName, 0, 1024, False, utf8, &type, &format, &count, &remaining, &data) == Success && data)
            {
                title.assign(reinterpret_cast<const char*>(data), count);
                XFree(data);
                if (!title.empty())
                {
                    return title;
                }
            }
            char* name = nullptr;
            if (XFetchName(aDisplay, aWindow, &name) != 0 && name)
            {
                title = name;
                XFree(name);
            }
            return title;
        }

        bool Exists(Display* aDisplay, Window aWindow)
        {
            XWindowAttributes attributes;
            return aWindow != 0 && XGetWindowAttributes(aDisplay, aWindow, &attributes) != 0;
        }

        int IgnoreErrors(Display*, XErrorEvent*)
        {
            return 0;
        }
    }

    ExternalWindowId FindExternalWindow(const std::string& aTitle)
    {
        const DisplayConnection display = OpenDisplay();
        if (!display)
        {
            return 0;
        }
        // A window may go away while it is looked at.
        const auto previous = XSetErrorHandler(&IgnoreErrors);
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        ExternalWindowId found = 0;
        if (XQueryTree(display.get(), DefaultRootWindow(display.get()), &root, &parent, &children, &count) != 0)
        {
            for (unsigned int index = 0; index < count && found == 0; ++index)
            {
                if (TitleOf(display.get(), children[index]) == aTitle)
                {
                    found = children[index];
                }
            }
            XFree(children);
        }
        XSync(display.get(), False);
        XSetErrorHandler(previous);
        return found;
    }

    bool CaptureExternalWindow(ExternalWindowId aWindow, std::vector<std::uint8_t>& somePixels, int& aWidth, int& aHeight)
    {
        const DisplayConnection display = OpenDisplay();
        if (!display)
        {
            return false;
        }
        const auto previous = XSetErrorHandler(&IgnoreErrors);
        bool captured = false;
        XWindowAttributes attributes;
        const auto window = static_cast<Window>(aWindow);
        if (XGetWindowAttributes(display.get(), window, &attributes) != 0 && attributes.map_state == IsViewable)
        {
            XImage* const image = XGetImage(display.get(), window, 0, 0, static_cast<unsigned>(attributes.width), static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
            if (image)
            {
                aWidth = attributes.width;
                aHeight = attributes.height;
                somePixels.resize(static_cast<std::size_t>(aWidth) * static_cast<std::size_t>(aHeight) * 4);
                for (int y = 0; y < aHeight; ++y)
                {
                    for (int x = 0; x < aWidth; ++x)
                    {
                        const unsigned long pixel = XGetPixel(image, x, y);
                        std::uint8_t* const target = &somePixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(aWidth) + static_cast<std::size_t>(x)) * 4];
                        target[0] = static_cast<std::uint8_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
                        target[1] = static_cast<std::uint8_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
                        target[2] = static_cast<std::uint8_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
                        target[3] = 255;
                    }
                }
                XDestroyImage(image);
                captured = true;
            }
        }
        XSync(display.get(), False);
        XSetErrorHandler(previous);
        return captured;
    }

    bool RequestExternalWindowClose(ExternalWindowId aWindow)
    {
        const DisplayConnection display = OpenDisplay();
        if (!display)
        {
            return false;
        }
        const auto previous = XSetErrorHandler(&IgnoreErrors);
        const auto window = static_cast<Window>(aWindow);
        if (!Exists(display.get(), window))
        {
            XSetErrorHandler(previous);
            return false;
        }
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(display.get(), window, False, NoEventMask, &event) != 0;
        XSync(display.get(), False);
        XSetErrorHandler(previous);
        return sent;
    }
}
