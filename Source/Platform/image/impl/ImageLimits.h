#pragma once
#include <cstdint>
#include <span>

namespace Platform::impl
{
    // The most pixels any decoder hands out (1 GiB of RGBA); larger images are refused.
    constexpr std::uint64_t MAX_DECODED_PIXELS = std::uint64_t{1} << 28;

    // Deflate cannot shrink data by more than about 1032 to 1.
    constexpr std::uint64_t MAX_DEFLATE_RATIO = 1032;

    std::uint32_t ReadBigEndian32(const std::uint8_t* someBytes);
    std::uint32_t ReadLittleEndian32(const std::uint8_t* someBytes);
    std::uint16_t ReadLittleEndian16(const std::uint8_t* someBytes);
}
