#pragma once
#include <cstdint>

// The window's new client size, in pixels.
struct ResizeEvent
{
    std::uint32_t myWidth = 0;
    std::uint32_t myHeight = 0;
};
