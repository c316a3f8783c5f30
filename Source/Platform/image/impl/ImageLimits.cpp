#include "image/impl/ImageLimits.h"

namespace Platform::impl
{
    std::uint32_t ReadBigEndian32(const std::uint8_t* someBytes)
    {
        return std::uint32_t{someBytes[0]} << 24 | std::uint32_t{someBytes[1]} << 16 | std::uint32_t{someBytes[2]} << 8 | someBytes[3];
    }

    std::uint32_t ReadLittleEndian32(const std::uint8_t* someBytes)
    {
        return std::uint32_t{someBytes[3]} << 24 | std::uint32_t{someBytes[2]} << 16 | std::uint32_t{someBytes[1]} << 8 | someBytes[0];
    }

    std::uint16_t ReadLittleEndian16(const std::uint8_t* someBytes)
    {
        return static_cast<std::uint16_t>(someBytes[1] << 8 | someBytes[0]);
    }
}
