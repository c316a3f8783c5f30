#include "window/SystemServices.h"

#include "window/impl/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

#include <sched.h>
#include <unistd.h>

namespace Platform
{
    int GetSystemMetrics(int anIndex)
    {
        SDL_DisplayMode mode;
        if ((anIndex != SM_CXSCREEN && anIndex != SM_CYSCREEN) || !impl::EnsureVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        {
            return 0;
        }
        return anIndex == SM_CXSCREEN ? mode.w : mode.h;
    }

    InstanceHandle GetModuleHandle(const char* aModuleName)
    {
        static int module = 0;
        return aModuleName == nullptr ? static_cast<InstanceHandle>(&module) : nullptr;
    }

    int ShowCursor(bool aShow)
    {
        int& count = impl::GetWindowSystem().myCursorCount;
        count += aShow ? 1 : -1;
        if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        {
            SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
        }
        return count;
    }

    int SystemPause()
    {
        if (isatty(STDIN_FILENO) == 0)
        {
            return 0;
        }
        std::cout << "Press any key to continue . . ." << std::flush;
        std::string line;
        std::getline(std::cin, line);
        return 0;
    }

    int GetUsableProcessorCount()
    {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0)
        {
            return std::max(CPU_COUNT(&allowed), 1);
        }
        return std::max(static_cast<int>(std::thread::hardware_concurrency()), 1);
    }
}
