#pragma once
#include "Math/Vector2.h"
#include "settings/EngineConfiguration.h"
#include "window/Window.h"

#include <cstdint>
#include <functional>

namespace Vra
{
    // The one window the engine renders into: created (or adopted) from the configuration, its
    // window procedure hands every message to the game's message callback first (a nonzero answer
    // sends the message straight to the default handling), and it switches between the windowed
    // style and a borderless screen-sized popup.
    class WindowHandler
    {
    public:
        static constexpr std::uint32_t WINDOWED_STYLE = Platform::WS_OVERLAPPEDWINDOW;
        static constexpr std::uint32_t FULLSCREEN_STYLE = Platform::WS_POPUP | Platform::WS_VISIBLE | Platform::WS_CLIPSIBLINGS;
        static constexpr const char* CLASS_NAME = "WindowClass1";

        WindowHandler() = default;
        // Leaves the window open; a window that outlives its handler no longer reaches it.
        ~WindowHandler();
        WindowHandler(const WindowHandler&) = delete;
        WindowHandler& operator=(const WindowHandler&) = delete;

        // Registers the window class and creates the window, or adopts the one aWindowHandle
        // points to. Writes the module handle into anInstance and, for a new window, the address
        // of the handle this handler keeps into aWindowHandle (both fields of the engine's
        // configuration copy). Checks nothing the window system answers: always true.
        bool Create(const EngineConfiguration& aConfiguration, Platform::InstanceHandle& anInstance, Platform::WindowHandle*& aWindowHandle);
        void SetFullscreen(bool aFullscreen);
        void Close();

        const Platform::WindowHandle& GetWindowHandle() const { return myWindowHandle; }
        const Vector2<std::uint32_t>& GetWindowedSize() const { return myWindowedSize; }

        static Platform::LResult WndProc(Platform::WindowHandle aWindow, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam);
        // What a size message triggers besides the default handling: the engine marks a resize
        // pending through it while it exists.
        static void SetSizeMessageHandler(std::function<void()> aHandler);

    private:
        Platform::WindowHandle myWindowHandle = nullptr;
        Platform::WindowClass myWindowClass;
        WindowMessageCallback myMessageCallback;
        Vector2<std::uint32_t> myWindowedSize;
    };
}
