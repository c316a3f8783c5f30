#pragma once
#include <cstddef>
#include <functional>

namespace ContentTool
{
    // Runs aTask(0) .. aTask(aCount - 1) on as many threads as the machine has cores (at most 8),
    // so that the build's makers stay fast. The first exception a task throws is passed on.
    void RunInParallel(std::size_t aCount, const std::function<void(std::size_t)>& aTask);
}
