#include "window/Window.h"

#include "window/MessageQueue.h"
#include "window/impl/WindowSystem.h"

#include <algorithm>

namespace Platform
{
    namespace impl
    {
        WindowSystem& GetWindowSystem()
        {
            static WindowSystem system;
            return system;
        }

        bool EnsureVideo()
        {
            // The GL library stays loaded for the process: SDL would unload it with the last GL
            // window and load it again with the next one.
            static const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && SDL_GL_LoadLibrary(nullptr) == 0;
            return started;
        }

        WindowData* FindWindowData(WindowHandle aWindow)
        {
            auto& windows = GetWindowSystem().myWindows;
            const auto found = windows.find(GetSdlWindow(aWindow));
            return found == windows.end() ? nullptr : &found->second;
        }

        void ReportSize(SDL_Window* aWindow, bool aSend)
        {
            WindowData* data = FindWindowData(GetWindowHandle(aWindow));
            if (data == nullptr)
            {
                return;
            }
            int width = 0;
            int height = 0;
            SDL_GetWindowSize(aWindow, &width, &height);
            if (width == data->myReportedWidth && height == data->myReportedHeight)
            {
                return;
            }
            data->myReportedWidth = width;
            data->myReportedHeight = height;
            const WParam kind = data->myIsMaximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
            const LParam size = MakeLParam(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height));
            const WindowHandle handle = GetWindowHandle(aWindow);
            if (aSend)
            {
                SendMessage(handle, WM_WINDOWPOSCHANGED, 0, 0);
                SendMessage(handle, WM_SIZE, kind, size);
            }
            else
            {
                PostMessage(handle, WM_WINDOWPOSCHANGED, 0, 0);
                PostMessage(handle, WM_SIZE, kind, size);
            }
        }
    }

    namespace
    {
        // The frame the window manager puts around a window; none for borderless windows.
        void FrameOf(SDL_Window* aWindow, int& aWidth, int& aHeight)
        {
            int top = 0;
            int left = 0;
            int bottom = 0;
            int right = 0;
            if (aWindow != nullptr && (SDL_GetWindowFlags(aWindow) & SDL_WINDOW_BORDERLESS) == 0 && SDL_GetWindowBordersSize(aWindow, &top, &left, &bottom, &right) == 0)
            {
                aWidth = left + right;
                aHeight = top + bottom;
                return;
            }
            aWidth = 0;
            aHeight = 0;
        }

        bool IsPopup(std::uint32_t aStyle)
        {
            return (aStyle & WS_POPUP) != 0;
        }

        void ApplyStyle(SDL_Window* aWindow, std::uint32_t aStyle)
        {
            SDL_SetWindowBordered(aWindow, IsPopup(aStyle) ? SDL_FALSE : SDL_TRUE);
            SDL_SetWindowResizable(aWindow, (aStyle & WS_THICKFRAME) != 0 && !IsPopup(aStyle) ? SDL_TRUE : SDL_FALSE);
            if ((aStyle & WS_VISIBLE) != 0)
            {
                SDL_ShowWindow(aWindow);
            }
        }

        // Where no window manager maximises, the window takes the whole screen itself.
        void Maximize(SDL_Window* aWindow, impl::WindowData& aData)
        {
            SDL_MaximizeWindow(aWindow);
            aData.myIsMaximized = true;
            if ((SDL_GetWindowFlags(aWindow) & SDL_WINDOW_MAXIMIZED) == 0)
            {
                SDL_DisplayMode mode;
                if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
                {
                    SDL_SetWindowPosition(aWindow, 0, 0);
                    SDL_SetWindowSize(aWindow, mode.w, mode.h);
                }
            }
        }
    }

    bool RegisterClassEx(const WindowClass& aClass)
    {
        auto& classes = impl::GetWindowSystem().myClasses;
        if (aClass.myProcedure == nullptr || aClass.myClassName.empty() || classes.count(aClass.myClassName) != 0)
        {
            return false;
        }
        classes.emplace(aClass.myClassName, aClass);
        return true;
    }

    WindowHandle CreateWindowEx(std::uint32_t anExStyle, const std::string& aClassName, const std::string& aTitle, std::uint32_t aStyle, int anX, int aY, int aWidth, int aHeight,
        WindowHandle, void*, InstanceHandle, void*)
    {
        impl::WindowSystem& system = impl::GetWindowSystem();
        const auto windowClass = system.myClasses.find(aClassName);
        if (windowClass == system.myClasses.end() || !impl::EnsureVideo())
        {
            return nullptr;
        }
        std::uint32_t flags = SDL_WINDOW_OPENGL;
        flags |= (aStyle & WS_VISIBLE) != 0 ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
        flags |= IsPopup(aStyle) ? SDL_WINDOW_BORDERLESS : 0;
        flags |= (aStyle & WS_THICKFRAME) != 0 && !IsPopup(aStyle) ? SDL_WINDOW_RESIZABLE : 0;
        SDL_Window* window = SDL_CreateWindow(aTitle.c_str(), anX, aY, std::max(aWidth, 1), std::max(aHeight, 1), flags);
        if (window == nullptr)
        {
            return nullptr;
        }
        // The size given is the outer size: the client area is what the frame leaves.
        int frameWidth = 0;
        int frameHeight = 0;
        FrameOf(window, frameWidth, frameHeight);
        if (frameWidth > 0 || frameHeight > 0)
        {
            SDL_SetWindowSize(window, std::max(aWidth - frameWidth, 1), std::max(aHeight - frameHeight, 1));
        }
        impl::WindowData data;
        data.myProcedure = windowClass->second.myProcedure;
        data.myStyle = aStyle;
        data.myExStyle = anExStyle;
        SDL_GetWindowSize(window, &data.myReportedWidth, &data.myReportedHeight);
        system.myWindows.emplace(window, data);
        const WindowHandle handle = impl::GetWindowHandle(window);
        SendMessage(handle, WM_CREATE, 0, 0);
        return handle;
    }

    bool DestroyWindow(WindowHandle aWindow)
    {
        if (impl::FindWindowData(aWindow) == nullptr)
        {
            return false;
        }
        SendMessage(aWindow, WM_DESTROY, 0, 0);
        impl::WindowSystem& system = impl::GetWindowSystem();
        system.myWindows.erase(impl::GetSdlWindow(aWindow));
        {
            std::lock_guard lock(system.myQueueMutex);
            std::erase_if(system.myQueue, [aWindow](const Message& aMessage) { return aMessage.myWindow == aWindow; });
        }
        SDL_DestroyWindow(impl::GetSdlWindow(aWindow));
        return true;
    }

    bool IsWindow(WindowHandle aWindow)
    {
        return impl::FindWindowData(aWindow) != nullptr;
    }

    bool ShowWindow(WindowHandle aWindow, int aCommand)
    {
        impl::WindowData* data = impl::FindWindowData(aWindow);
        if (data == nullptr)
        {
            return false;
        }
        SDL_Window* window = impl::GetSdlWindow(aWindow);
        const bool wasVisible = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
        switch (aCommand)
        {
        case SW_HIDE:
            SDL_HideWindow(window);
            return wasVisible;
        case SW_MAXIMIZE:
            SDL_ShowWindow(window);
            Maximize(window, *data);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_ShowWindow(window);
            SDL_MinimizeWindow(window);
            break;
        case SW_RESTORE:
            SDL_ShowWindow(window);
            SDL_RestoreWindow(window);
            data->myIsMaximized = false;
            break;
        default:
            SDL_ShowWindow(window);
            break;
        }
        impl::ReportSize(window, true);
        return wasVisible;
    }

    bool IsZoomed(WindowHandle aWindow)
    {
        const impl::WindowData* data = impl::FindWindowData(aWindow);
        return data != nullptr && data->myIsMaximized;
    }

    bool IsWindowVisible(WindowHandle aWindow)
    {
        return impl::FindWindowData(aWindow) != nullptr && (SDL_GetWindowFlags(impl::GetSdlWindow(aWindow)) & SDL_WINDOW_SHOWN) != 0;
    }

    std::intptr_t SetWindowLongPtr(WindowHandle aWindow, int anIndex, std::intptr_t aValue)
    {
        impl::WindowData* data = impl::FindWindowData(aWindow);
        if (data == nullptr)
        {
            return 0;
        }
        std::intptr_t previous = 0;
        switch (anIndex)
        {
        case GWLP_USERDATA:
            previous = data->myUserData;
            data->myUserData = aValue;
            break;
        case GWL_STYLE:
            previous = static_cast<std::intptr_t>(data->myStyle);
            data->myStyle = static_cast<std::uint32_t>(aValue);
            ApplyStyle(impl::GetSdlWindow(aWindow), data->myStyle);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<std::intptr_t>(data->myExStyle);
            data->myExStyle = static_cast<std::uint32_t>(aValue);
            break;
        default:
            break;
        }
        return previous;
    }

    std::intptr_t GetWindowLongPtr(WindowHandle aWindow, int anIndex)
    {
        const impl::WindowData* data = impl::FindWindowData(aWindow);
        if (data == nullptr)
        {
            return 0;
        }
        switch (anIndex)
        {
        case GWLP_USERDATA: return data->myUserData;
        case GWL_STYLE: return static_cast<std::intptr_t>(data->myStyle);
        case GWL_EXSTYLE: return static_cast<std::intptr_t>(data->myExStyle);
        default: return 0;
        }
    }

    bool GetClientRect(WindowHandle aWindow, Rect& aRect)
    {
        if (impl::FindWindowData(aWindow) == nullptr)
        {
            return false;
        }
        int width = 0;
        int height = 0;
        SDL_GetWindowSize(impl::GetSdlWindow(aWindow), &width, &height);
        aRect = {0, 0, width, height};
        return true;
    }

    bool AdjustWindowRect(Rect& aRect, std::uint32_t aStyle, bool)
    {
        if (IsPopup(aStyle))
        {
            return true;
        }
        // The frame of a bordered window of ours stands for every bordered window's frame.
        for (const auto& [window, data] : impl::GetWindowSystem().myWindows)
        {
            if (!IsPopup(data.myStyle))
            {
                int top = 0;
                int left = 0;
                int bottom = 0;
                int right = 0;
                if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) == 0)
                {
                    aRect.myLeft -= left;
                    aRect.myTop -= top;
                    aRect.myRight += right;
                    aRect.myBottom += bottom;
                }
                break;
            }
        }
        return true;
    }

    bool SetWindowPos(WindowHandle aWindow, WindowHandle, int anX, int aY, int aWidth, int aHeight, std::uint32_t someFlags)
    {
        impl::WindowData* data = impl::FindWindowData(aWindow);
        if (data == nullptr)
        {
            return false;
        }
        SDL_Window* window = impl::GetSdlWindow(aWindow);
        if ((someFlags & SWP_NOMOVE) == 0)
        {
            SDL_SetWindowPosition(window, anX, aY);
        }
        if ((someFlags & SWP_NOSIZE) == 0)
        {
            // A maximised window keeps its state while it takes the new size.
            int frameWidth = 0;
            int frameHeight = 0;
            FrameOf(window, frameWidth, frameHeight);
            SDL_SetWindowSize(window, std::max(aWidth - frameWidth, 1), std::max(aHeight - frameHeight, 1));
        }
        impl::ReportSize(window, true);
        return true;
    }

    bool SetWindowText(WindowHandle aWindow, const std::string& aTitle)
    {
        if (impl::FindWindowData(aWindow) == nullptr)
        {
            return false;
        }
        SDL_SetWindowTitle(impl::GetSdlWindow(aWindow), aTitle.c_str());
        return true;
    }

    std::string GetWindowText(WindowHandle aWindow)
    {
        return impl::FindWindowData(aWindow) == nullptr ? std::string() : std::string(SDL_GetWindowTitle(impl::GetSdlWindow(aWindow)));
    }

    LResult DefWindowProc(WindowHandle aWindow, std::uint32_t aMessage, WParam, LParam)
    {
        if (aMessage == WM_CLOSE)
        {
            DestroyWindow(aWindow);
        }
        return 0;
    }

    LResult SendMessage(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam)
    {
        const impl::WindowData* data = impl::FindWindowData(aWindow);
        if (data == nullptr || data->myProcedure == nullptr)
        {
            return 0;
        }
        return data->myProcedure(aWindow, aMessage, aWParam, aLParam);
    }
}
