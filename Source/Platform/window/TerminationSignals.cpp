#include "window/TerminationSignals.h"

#include "window/impl/WindowSystem.h"

#include <atomic>
#include <csignal>

#include <signal.h>

namespace Platform
{
    namespace
    {
        constexpr int SIGNALS[] = { SIGINT, SIGTERM };

        std::atomic<bool> ourIsCloseRequested = false;
        static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

        void SetAction(void (*aHandler)(int), int someFlags)
        {
            struct sigaction action = {};
            action.sa_handler = aHandler;
            action.sa_flags = someFlags;
            sigemptyset(&action.sa_mask);
            for (const int number : SIGNALS)
            {
                sigaction(number, &action, nullptr);
            }
        }

        // Only async-signal-safe calls here: the flag, and sigaction.
        extern "C" void RequestClose(int)
        {
            ourIsCloseRequested.store(true);
            SetAction(SIG_DFL, 0);
        }
    }

    void CloseWindowsOnTerminationSignals()
    {
        // SDL would put its own handlers in where the second signal is to find the default.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // Other threads' blocking calls go on rather than fail with EINTR.
        SetAction(&RequestClose, SA_RESTART);
    }

    namespace impl
    {
        void CloseWindowsOnRequest(std::deque<Message>& aQueue)
        {
            WindowSystem& system = GetWindowSystem();
            if (system.myWindows.empty() || !ourIsCloseRequested.exchange(false))
            {
                return;
            }
            for (const auto& [window, data] : system.myWindows)
            {
                aQueue.push_back({ GetWindowHandle(window), WM_CLOSE, 0, 0 });
            }
        }
    }
}
