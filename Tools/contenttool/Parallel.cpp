#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace ContentTool
{
    void RunInParallel(std::size_t aCount, const std::function<void(std::size_t)>& aTask)
    {
        std::atomic<std::size_t> next{0};
        std::exception_ptr failure;
        std::mutex failureMutex;
        const auto work = [&] {
            for (std::size_t index = next++; index < aCount; index = next++)
            {
                try
                {
                    aTask(index);
                }
                catch (...)
                {
                    const std::lock_guard lock(failureMutex);
                    if (!failure)
                    {
                        failure = std::current_exception();
                    }
                }
            }
        };
        const std::size_t threadCount = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
        std::vector<std::thread> threads;
        for (std::size_t i = 1; i < std::min(threadCount, aCount); ++i)
        {
            threads.emplace_back(work);
        }
        work();
        for (std::thread& thread : threads)
        {
            thread.join();
        }
        if (failure)
        {
            std::rethrow_exception(failure);
        }
    }
}
