#include "sound/impl/DecodeQueue.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace
{
    // DefaultThreadCount as seen from a thread allowed to run on someCores only.
    int ThreadCountOn(const std::vector<int>& someCores)
    {
        int count = -1;
        std::thread probe([&] {
            cpu_set_t set;
            CPU_ZERO(&set);
            for (int core : someCores)
            {
                CPU_SET(core, &set);
            }
            if (sched_setaffinity(0, sizeof(set), &set) == 0)
            {
                count = Platform::Sound::impl::DecodeQueue::DefaultThreadCount();
            }
        });
        probe.join();
        return count;
    }
}

// Decoder threads leave one of the cores the process may use to the rest of the program.
TEST(SoundDecodeQueue, TakesOneThreadFewerThanTheUsableCoresFromOneToFour)
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    ASSERT_EQ(sched_getaffinity(0, sizeof(allowed), &allowed), 0);
    std::vector<int> cores;
    for (int core = 0; core < CPU_SETSIZE; ++core)
    {
        if (CPU_ISSET(core, &allowed))
        {
            cores.push_back(core);
        }
    }
    for (std::size_t used = 1; used <= std::min<std::size_t>(cores.size(), 6); ++used)
    {
        const int expected = std::clamp(static_cast<int>(used) - 1, 1, 4);
        EXPECT_EQ(ThreadCountOn(std::vector<int>(cores.begin(), cores.begin() + static_cast<std::ptrdiff_t>(used))), expected)
            << used << " cores";
    }
}
