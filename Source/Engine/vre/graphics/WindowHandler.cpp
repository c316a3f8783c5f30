#include "graphics/WindowHandler.h"

#include "window/MessageQueue.h"
#include "window/SystemServices.h"

namespace Vra
{
    namespace
    {
        constexpr std::intptr_t BACKGROUND_BRUSH = 5;
        constexpr std::uint32_t SIZE_FLAGS = Platform::SWP_NOMOVE | Platform::SWP_NOZORDER | Platform::SWP_NOOWNERZORDER;

        std::function<void()>& SizeMessageHandler()
        {
            static std::function<void()> handler;
            return handler;
        }
    }

    void WindowHandler::SetSizeMessageHandler(std::function<void()> aHandler)
    {
        SizeMessageHandler() = std::move(aHandler);
    }

    WindowHandler::~WindowHandler()
    {
        if (Platform::GetWindowLongPtr(myWindowHandle, Platform::GWLP_USERDATA) == reinterpret_cast<std::intptr_t>(this))
        {
            Platform::SetWindowLongPtr(myWindowHandle, Platform::GWLP_USERDATA, 0);
        }
    }

    bool WindowHandler::Create(const EngineConfiguration& aConfiguration, Platform::InstanceHandle& anInstance, Platform::WindowHandle*& aWindowHandle)
    {
        myMessageCallback = aConfiguration.myMessageCallback;
        anInstance = Platform::GetModuleHandle(nullptr);

        myWindowClass.mySize = 80;
        myWindowClass.myStyle = Platform::CS_HREDRAW | Platform::CS_VREDRAW;
        myWindowClass.myProcedure = &WindowHandler::WndProc;
        myWindowClass.myInstance = anInstance;
        myWindowClass.myIcon = Platform::IDI_APPLICATION_ICON;
        myWindowClass.mySmallIcon = Platform::IDI_APPLICATION_ICON;
        myWindowClass.myCursor = Platform::IDC_ARROW;
        myWindowClass.myBackground = BACKGROUND_BRUSH;
        myWindowClass.myClassName = CLASS_NAME;
        // A second engine in the same process finds the class registered already.
        Platform::RegisterClassEx(myWindowClass);

        const bool isPopup = aConfiguration.myBorderless || aConfiguration.myStartInFullscreen;
        const std::uint32_t style = isPopup ? FULLSCREEN_STYLE : WINDOWED_STYLE;
        const auto width = static_cast<int>(aConfiguration.myWindowSize.x);
        const auto height = static_cast<int>(aConfiguration.myWindowSize.y);
        if (aWindowHandle != nullptr)
        {
            myWindowHandle = *aWindowHandle;
        }
        else
        {
            myWindowHandle = Platform::CreateWindowEx(Platform::WS_EX_APPWINDOW, CLASS_NAME, aConfiguration.myTitle, style, 0, 0, width, height, nullptr, nullptr, anInstance, nullptr);
            const bool showMaximized = aConfiguration.myStartInFullscreen || aConfiguration.myStartMaximized;
            Platform::ShowWindow(myWindowHandle, showMaximized ? Platform::SW_MAXIMIZE : Platform::SW_SHOWDEFAULT);
            aWindowHandle = &myWindowHandle;
        }
        Platform::SetWindowLongPtr(myWindowHandle, Platform::GWLP_USERDATA, reinterpret_cast<std::intptr_t>(this));
        myWindowedSize = aConfiguration.myWindowSize;
        if (aConfiguration.myBorderless)
        {
            return true;
        }
        // The configured size is meant for the client area: grow the window by its frame.
        Platform::Rect client;
        Platform::GetClientRect(myWindowHandle, client);
        const int clientWidth = client.myRight - client.myLeft;
        const int clientHeight = client.myBottom - client.myTop;
        Platform::SetWindowPos(myWindowHandle, nullptr, 0, 0, width + (width - clientWidth), height + (height - clientHeight), SIZE_FLAGS);
        return true;
    }

    void WindowHandler::SetFullscreen(bool aFullscreen)
    {
        const std::uint32_t wanted = aFullscreen ? FULLSCREEN_STYLE : WINDOWED_STYLE;
        if (static_cast<std::uint32_t>(Platform::GetWindowLongPtr(myWindowHandle, Platform::GWL_STYLE)) == wanted)
        {
            return;
        }
        Platform::SetWindowLongPtr(myWindowHandle, Platform::GWL_STYLE, static_cast<std::intptr_t>(wanted));
        if (aFullscreen)
        {
            Platform::SetWindowPos(myWindowHandle, nullptr, 0, 0, Platform::GetSystemMetrics(Platform::SM_CXSCREEN), Platform::GetSystemMetrics(Platform::SM_CYSCREEN), Platform::SWP_FRAMECHANGED);
        }
        else
        {
            // The outer size is the stored client size plus the windowed style's frame (the
            // client rectangle right after the style change still has the screen's size).
            Platform::Rect outer{0, 0, static_cast<int>(myWindowedSize.x), static_cast<int>(myWindowedSize.y)};
            Platform::AdjustWindowRect(outer, WINDOWED_STYLE, false);
            const int width = outer.myRight - outer.myLeft;
            const int height = outer.myBottom - outer.myTop;
            Platform::SetWindowPos(myWindowHandle, nullptr, 0, 0, width, height, SIZE_FLAGS);
            Platform::SetWindowPos(myWindowHandle, nullptr, 0, 0, width, height, Platform::SWP_FRAMECHANGED);
        }
        Platform::ShowWindow(myWindowHandle, Platform::SW_SHOW);
    }

    void WindowHandler::Close()
    {
        Platform::DestroyWindow(myWindowHandle);
    }

    Platform::LResult WindowHandler::WndProc(Platform::WindowHandle aWindow, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam)
    {
        auto* handler = reinterpret_cast<WindowHandler*>(Platform::GetWindowLongPtr(aWindow, Platform::GWLP_USERDATA));
        if (handler != nullptr && handler->myMessageCallback)
        {
            if (handler->myMessageCallback(aWindow, aMessage, aWParam, aLParam) != 0)
            {
                return Platform::DefWindowProc(aWindow, aMessage, aWParam, aLParam);
            }
        }
        switch (aMessage)
        {
        case Platform::WM_DESTROY:
            Platform::PostQuitMessage(0);
            return 0;
        case Platform::WM_SIZE:
            if (SizeMessageHandler())
            {
                SizeMessageHandler()();
            }
            break;
        default:
            break;
        }
        return Platform::DefWindowProc(aWindow, aMessage, aWParam, aLParam);
    }
}
