#pragma once
#include <cstdint>

// Window messages as the game and the engine see them: one record per event, numbered like the
// Win32 messages the code was written against, with the same wParam/lParam packing.
namespace Platform
{
    using WindowHandle = void*;   // opaque (the window layer's SDL_Window); null is no window
    using InstanceHandle = void*; // opaque module handle
    using WParam = std::uintptr_t;
    using LParam = std::intptr_t;
    using LResult = std::intptr_t;

    // Screen or client coordinates; right and bottom are one past the last pixel.
    struct Rect
    {
        std::int32_t myLeft = 0;
        std::int32_t myTop = 0;
        std::int32_t myRight = 0;
        std::int32_t myBottom = 0;
    };

    struct Message
    {
        WindowHandle myWindow = nullptr;
        std::uint32_t myId = 0;
        WParam myWParam = 0;
        LParam myLParam = 0;
    };

    // Message ids.
    constexpr std::uint32_t WM_NULL = 0x0000;
    constexpr std::uint32_t WM_CREATE = 0x0001;
    constexpr std::uint32_t WM_DESTROY = 0x0002;
    constexpr std::uint32_t WM_MOVE = 0x0003;
    constexpr std::uint32_t WM_SIZE = 0x0005;
    constexpr std::uint32_t WM_ACTIVATE = 0x0006;
    constexpr std::uint32_t WM_SETFOCUS = 0x0007;
    constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
    constexpr std::uint32_t WM_PAINT = 0x000F;
    constexpr std::uint32_t WM_CLOSE = 0x0010;
    constexpr std::uint32_t WM_QUIT = 0x0012;
    constexpr std::uint32_t WM_ACTIVATEAPP = 0x001C;
    constexpr std::uint32_t WM_SETCURSOR = 0x0020;
    constexpr std::uint32_t WM_WINDOWPOSCHANGED = 0x0047;
    constexpr std::uint32_t WM_INPUT = 0x00FF;
    constexpr std::uint32_t WM_KEYDOWN = 0x0100;
    constexpr std::uint32_t WM_KEYUP = 0x0101;
    constexpr std::uint32_t WM_CHAR = 0x0102;
    constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
    constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
    constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
    constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
    constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
    constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
    constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
    constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
    constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
    constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
    constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
    constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x0209;
    constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
    constexpr std::uint32_t WM_XBUTTONDOWN = 0x020B;
    constexpr std::uint32_t WM_XBUTTONUP = 0x020C;
    constexpr std::uint32_t WM_MOUSEHWHEEL = 0x020E;
    constexpr std::uint32_t WM_ENTERSIZEMOVE = 0x0231;
    constexpr std::uint32_t WM_EXITSIZEMOVE = 0x0232;

    // WM_SIZE wParam.
    constexpr WParam SIZE_RESTORED = 0;
    constexpr WParam SIZE_MINIMIZED = 1;
    constexpr WParam SIZE_MAXIMIZED = 2;

    // Mouse message wParam: buttons and modifiers held.
    constexpr WParam MK_LBUTTON = 0x0001;
    constexpr WParam MK_RBUTTON = 0x0002;
    constexpr WParam MK_SHIFT = 0x0004;
    constexpr WParam MK_CONTROL = 0x0008;
    constexpr WParam MK_MBUTTON = 0x0010;

    // One wheel notch.
    constexpr int WHEEL_DELTA = 120;

    constexpr LParam MakeLParam(std::uint16_t aLow, std::uint16_t aHigh)
    {
        return static_cast<LParam>(static_cast<std::uint32_t>(aLow) | (static_cast<std::uint32_t>(aHigh) << 16));
    }
    constexpr WParam MakeWParam(std::uint16_t aLow, std::uint16_t aHigh)
    {
        return static_cast<WParam>(static_cast<std::uint32_t>(aLow) | (static_cast<std::uint32_t>(aHigh) << 16));
    }
    constexpr std::uint16_t LowWord(std::uintptr_t aValue) { return static_cast<std::uint16_t>(aValue & 0xFFFF); }
    constexpr std::uint16_t HighWord(std::uintptr_t aValue) { return static_cast<std::uint16_t>((aValue >> 16) & 0xFFFF); }

    // Client coordinates of a mouse message: signed, so positions left of or above the window stay negative.
    constexpr int GetXFromLParam(LParam aLParam) { return static_cast<std::int16_t>(LowWord(static_cast<std::uintptr_t>(aLParam))); }
    constexpr int GetYFromLParam(LParam aLParam) { return static_cast<std::int16_t>(HighWord(static_cast<std::uintptr_t>(aLParam))); }

    // WM_MOUSEWHEEL: signed distance in units of WHEEL_DELTA per notch.
    constexpr int GetWheelDeltaFromWParam(WParam aWParam) { return static_cast<std::int16_t>(HighWord(aWParam)); }
}
