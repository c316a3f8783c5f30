#pragma once
#include <cstdint>
#include <vector>

namespace Platform::impl
{
    // Shrinks RGBA pixels (8 bits a channel, rows packed) to aWidth by aHeight, no larger than the
    // source on either side: each target pixel is the average of the source area it covers, so
    // the cost follows the pixels read and written, whatever the scale.
    std::vector<std::uint8_t> ShrinkRgba(const std::uint8_t* somePixels, std::uint32_t aSourceWidth, std::uint32_t aSourceHeight,
                                         std::uint32_t aWidth, std::uint32_t aHeight);
}
