#include "window/MessageQueue.h"

#include "window/VirtualKeys.h"
#include "window/Window.h"
#include "window/impl/WindowSystem.h"

namespace Platform
{
    namespace
    {
        constexpr WParam XBUTTON1 = 0x0001;
        constexpr WParam XBUTTON2 = 0x0002;

        std::uint32_t VirtualKeyOf(SDL_Keycode aKey)
        {
            if (aKey >= SDLK_a && aKey <= SDLK_z)
            {
                return 'A' + static_cast<std::uint32_t>(aKey - SDLK_a);
            }
            if (aKey >= SDLK_0 && aKey <= SDLK_9)
            {
                return '0' + static_cast<std::uint32_t>(aKey - SDLK_0);
            }
            if (aKey >= SDLK_F1 && aKey <= SDLK_F12)
            {
                return VK_F1 + static_cast<std::uint32_t>(aKey - SDLK_F1);
            }
            if (aKey >= SDLK_KP_1 && aKey <= SDLK_KP_9)
            {
                return VK_NUMPAD0 + 1 + static_cast<std::uint32_t>(aKey - SDLK_KP_1);
            }
            switch (aKey)
            {
            case SDLK_KP_0: return VK_NUMPAD0;
            case SDLK_BACKSPACE: return VK_BACK;
            case SDLK_TAB: return VK_TAB;
            case SDLK_RETURN:
            case SDLK_KP_ENTER: return VK_RETURN;
            case SDLK_LSHIFT:
            case SDLK_RSHIFT: return VK_SHIFT;
            case SDLK_LCTRL:
            case SDLK_RCTRL: return VK_CONTROL;
            case SDLK_LALT:
            case SDLK_RALT: return VK_MENU;
            case SDLK_PAUSE: return VK_PAUSE;
            case SDLK_CAPSLOCK: return VK_CAPITAL;
            case SDLK_ESCAPE: return VK_ESCAPE;
            case SDLK_SPACE: return VK_SPACE;
            case SDLK_PAGEUP: return VK_PRIOR;
            case SDLK_PAGEDOWN: return VK_NEXT;
            case SDLK_END: return VK_END;
            case SDLK_HOME: return VK_HOME;
            case SDLK_LEFT: return VK_LEFT;
            case SDLK_UP: return VK_UP;
            case SDLK_RIGHT: return VK_RIGHT;
            case SDLK_DOWN: return VK_DOWN;
            case SDLK_INSERT: return VK_INSERT;
            case SDLK_DELETE: return VK_DELETE;
            case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
            case SDLK_KP_PLUS: return VK_ADD;
            case SDLK_KP_MINUS: return VK_SUBTRACT;
            case SDLK_KP_PERIOD: return VK_DECIMAL;
            case SDLK_KP_DIVIDE: return VK_DIVIDE;
            case SDLK_SEMICOLON: return 0xBA;
            case SDLK_EQUALS: return 0xBB;
            case SDLK_COMMA: return 0xBC;
            case SDLK_MINUS: return 0xBD;
            case SDLK_PERIOD: return 0xBE;
            case SDLK_SLASH: return 0xBF;
            case SDLK_BACKQUOTE: return 0xC0;
            case SDLK_LEFTBRACKET: return 0xDB;
            case SDLK_BACKSLASH: return 0xDC;
            case SDLK_RIGHTBRACKET: return 0xDD;
            case SDLK_QUOTE: return 0xDE;
            default: return 0;
            }
        }

        WParam ButtonStateOf(std::uint32_t someButtons)
        {
            WParam state = 0;
            state |= (someButtons & SDL_BUTTON_LMASK) != 0 ? MK_LBUTTON : 0;
            state |= (someButtons & SDL_BUTTON_RMASK) != 0 ? MK_RBUTTON : 0;
            state |= (someButtons & SDL_BUTTON_MMASK) != 0 ? MK_MBUTTON : 0;
            const SDL_Keymod modifiers = SDL_GetModState();
            state |= (modifiers & KMOD_SHIFT) != 0 ? MK_SHIFT : 0;
            state |= (modifiers & KMOD_CTRL) != 0 ? MK_CONTROL : 0;
            return state;
        }

        LParam PointOf(int anX, int aY)
        {
            return MakeLParam(static_cast<std::uint16_t>(static_cast<std::int16_t>(anX)), static_cast<std::uint16_t>(static_cast<std::int16_t>(aY)));
        }

        WindowHandle WindowOf(std::uint32_t aWindowId)
        {
            return impl::GetWindowHandle(SDL_GetWindowFromID(aWindowId));
        }

        void Queue(std::deque<Message>& aQueue, WindowHandle aWindow, std::uint32_t anId, WParam aWParam, LParam aLParam)
        {
            if (impl::FindWindowData(aWindow) != nullptr)
            {
                aQueue.push_back({aWindow, anId, aWParam, aLParam});
            }
        }

        void TranslateKey(const SDL_KeyboardEvent& anEvent, std::deque<Message>& aQueue)
        {
            const std::uint32_t key = VirtualKeyOf(anEvent.keysym.sym);
            if (key == 0)
            {
                return;
            }
            const bool isDown = anEvent.type == SDL_KEYDOWN;
            const bool isSystem = key == VK_MENU || (anEvent.keysym.mod & KMOD_ALT) != 0;
            // Repeat count 1, scan code, previous state and transition as the key messages pack them.
            std::uint32_t packed = 1 | ((static_cast<std::uint32_t>(anEvent.keysym.scancode) & 0xFF) << 16);
            packed |= (isDown && anEvent.repeat != 0) || !isDown ? (1u << 30) : 0;
            packed |= isDown ? 0 : (1u << 31);
            const std::uint32_t id = isDown ? (isSystem ? WM_SYSKEYDOWN : WM_KEYDOWN) : (isSystem ? WM_SYSKEYUP : WM_KEYUP);
            Queue(aQueue, WindowOf(anEvent.windowID), id, key, static_cast<LParam>(packed));
        }

        void TranslateText(const SDL_TextInputEvent& anEvent, std::deque<Message>& aQueue)
        {
            // UTF-8 to code points; characters beyond the basic plane are dropped.
            const auto* text = reinterpret_cast<const unsigned char*>(anEvent.text);
            for (std::size_t index = 0; text[index] != 0;)
            {
                std::uint32_t codePoint = text[index];
                std::size_t length = 1;
                if (codePoint >= 0xF0)
                {
                    length = 4;
                }
                else if (codePoint >= 0xE0)
                {
                    codePoint &= 0x0F;
                    length = 3;
                }
                else if (codePoint >= 0xC0)
                {
                    codePoint &= 0x1F;
                    length = 2;
                }
                for (std::size_t extra = 1; extra < length && text[index + extra] != 0; ++extra)
                {
                    codePoint = (codePoint << 6) | (text[index + extra] & 0x3F);
                }
                if (length < 4)
                {
                    Queue(aQueue, WindowOf(anEvent.windowID), WM_CHAR, codePoint, 1);
                }
                index += length;
            }
        }

        void TranslateButton(const SDL_MouseButtonEvent& anEvent, std::deque<Message>& aQueue)
        {
            const bool isDown = anEvent.type == SDL_MOUSEBUTTONDOWN;
            std::uint32_t id = 0;
            WParam extra = 0;
            switch (anEvent.button)
            {
            case SDL_BUTTON_LEFT: id = isDown ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
            case SDL_BUTTON_RIGHT: id = isDown ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
            case SDL_BUTTON_MIDDLE: id = isDown ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
            case SDL_BUTTON_X1: id = isDown ? WM_XBUTTONDOWN : WM_XBUTTONUP; extra = XBUTTON1; break;
            case SDL_BUTTON_X2: id = isDown ? WM_XBUTTONDOWN : WM_XBUTTONUP; extra = XBUTTON2; break;
            default: return;
            }
            const WParam state = ButtonStateOf(SDL_GetMouseState(nullptr, nullptr));
            Queue(aQueue, WindowOf(anEvent.windowID), id, state | (extra << 16), PointOf(anEvent.x, anEvent.y));
        }

        void TranslateWheel(const SDL_MouseWheelEvent& anEvent, std::deque<Message>& aQueue)
        {
            int x = 0;
            int y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            const WParam state = ButtonStateOf(SDL_GetMouseState(nullptr, nullptr));
            const int direction = anEvent.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
            const WindowHandle window = WindowOf(anEvent.windowID);
            if (anEvent.y != 0)
            {
                const auto delta = static_cast<std::int16_t>(anEvent.y * direction * WHEEL_DELTA);
                Queue(aQueue, window, WM_MOUSEWHEEL, MakeWParam(static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(delta)), PointOf(x, y));
            }
            if (anEvent.x != 0)
            {
                const auto delta = static_cast<std::int16_t>(anEvent.x * direction * WHEEL_DELTA);
                Queue(aQueue, window, WM_MOUSEHWHEEL, MakeWParam(static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(delta)), PointOf(x, y));
            }
        }

        void TranslateWindowEvent(const SDL_WindowEvent& anEvent, std::deque<Message>& aQueue)
        {
            SDL_Window* sdlWindow = SDL_GetWindowFromID(anEvent.windowID);
            const WindowHandle window = impl::GetWindowHandle(sdlWindow);
            impl::WindowData* data = impl::FindWindowData(window);
            if (data == nullptr)
            {
                return;
            }
            switch (anEvent.event)
            {
            case SDL_WINDOWEVENT_SIZE_CHANGED:
            {
                int width = 0;
                int height = 0;
                SDL_GetWindowSize(sdlWindow, &width, &height);
                if (width != data->myReportedWidth || height != data->myReportedHeight)
                {
                    data->myReportedWidth = width;
                    data->myReportedHeight = height;
                    Queue(aQueue, window, WM_WINDOWPOSCHANGED, 0, 0);
                    Queue(aQueue, window, WM_SIZE, data->myIsMaximized ? SIZE_MAXIMIZED : SIZE_RESTORED, PointOf(width, height));
                }
                break;
            }
            case SDL_WINDOWEVENT_MAXIMIZED: data->myIsMaximized = true; break;
            case SDL_WINDOWEVENT_RESTORED: data->myIsMaximized = false; break;
            case SDL_WINDOWEVENT_MINIMIZED:
                data->myReportedWidth = 0;
                data->myReportedHeight = 0;
                Queue(aQueue, window, WM_SIZE, SIZE_MINIMIZED, 0);
                break;
            case SDL_WINDOWEVENT_MOVED:
                Queue(aQueue, window, WM_MOVE, 0, PointOf(anEvent.data1, anEvent.data2));
                Queue(aQueue, window, WM_WINDOWPOSCHANGED, 0, 0);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: Queue(aQueue, window, WM_SETFOCUS, 0, 0); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: Queue(aQueue, window, WM_KILLFOCUS, 0, 0); break;
            case SDL_WINDOWEVENT_CLOSE: Queue(aQueue, window, WM_CLOSE, 0, 0); break;
            default: break;
            }
        }

        void Translate(const SDL_Event& anEvent, std::deque<Message>& aQueue)
        {
            switch (anEvent.type)
            {
            case SDL_KEYDOWN:
            case SDL_KEYUP: TranslateKey(anEvent.key, aQueue); break;
            case SDL_TEXTINPUT: TranslateText(anEvent.text, aQueue); break;
            case SDL_MOUSEMOTION:
                Queue(aQueue, WindowOf(anEvent.motion.windowID), WM_MOUSEMOVE, ButtonStateOf(anEvent.motion.state), PointOf(anEvent.motion.x, anEvent.motion.y));
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: TranslateButton(anEvent.button, aQueue); break;
            case SDL_MOUSEWHEEL: TranslateWheel(anEvent.wheel, aQueue); break;
            case SDL_WINDOWEVENT: TranslateWindowEvent(anEvent.window, aQueue); break;
            default: break;
            }
        }

        bool Matches(const Message& aMessage, WindowHandle aWindow, std::uint32_t aMin, std::uint32_t aMax)
        {
            const bool windowMatches = aWindow == nullptr || aMessage.myWindow == aWindow;
            const bool idMatches = (aMin == 0 && aMax == 0) || (aMessage.myId >= aMin && aMessage.myId <= aMax);
            return windowMatches && idMatches;
        }
    }

    namespace impl
    {
        void PumpEvents()
        {
            if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
            {
                return;
            }
            std::deque<Message> translated;
            SDL_Event event;
            while (SDL_PollEvent(&event) != 0)
            {
                Translate(event, translated);
            }
            CloseWindowsOnRequest(translated);
            if (!translated.empty())
            {
                WindowSystem& system = GetWindowSystem();
                std::lock_guard lock(system.myQueueMutex);
                system.myQueue.insert(system.myQueue.end(), translated.begin(), translated.end());
            }
        }
    }

    bool PeekMessage(Message& aMessage, WindowHandle aWindow, std::uint32_t aMin, std::uint32_t aMax, std::uint32_t aRemove)
    {
        impl::PumpEvents();
        impl::WindowSystem& system = impl::GetWindowSystem();
        std::lock_guard lock(system.myQueueMutex);
        for (auto it = system.myQueue.begin(); it != system.myQueue.end(); ++it)
        {
            // The quit message belongs to no window but ends every filtered pump too.
            if (Matches(*it, aWindow, aMin, aMax) || (it->myId == WM_QUIT && aMin == 0 && aMax == 0))
            {
                aMessage = *it;
                if ((aRemove & PM_REMOVE) != 0)
                {
                    system.myQueue.erase(it);
                }
                return true;
            }
        }
        return false;
    }

    bool TranslateMessage(const Message& aMessage)
    {
        return aMessage.myId == WM_KEYDOWN || aMessage.myId == WM_KEYUP || aMessage.myId == WM_SYSKEYDOWN || aMessage.myId == WM_SYSKEYUP;
    }

    LResult DispatchMessage(const Message& aMessage)
    {
        return aMessage.myWindow == nullptr ? 0 : SendMessage(aMessage.myWindow, aMessage.myId, aMessage.myWParam, aMessage.myLParam);
    }

    bool PostMessage(WindowHandle aWindow, std::uint32_t aMessage, WParam aWParam, LParam aLParam)
    {
        impl::WindowSystem& system = impl::GetWindowSystem();
        std::lock_guard lock(system.myQueueMutex);
        system.myQueue.push_back({aWindow, aMessage, aWParam, aLParam});
        return true;
    }

    void PostQuitMessage(int anExitCode)
    {
        PostMessage(nullptr, WM_QUIT, static_cast<WParam>(anExitCode), 0);
    }

    void ClearMessageQueue()
    {
        impl::PumpEvents();
        impl::WindowSystem& system = impl::GetWindowSystem();
        std::lock_guard lock(system.myQueueMutex);
        system.myQueue.clear();
    }
}
