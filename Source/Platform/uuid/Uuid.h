#pragma once
#include <cstdint>

namespace Platform
{
    // A UUID as the system keeps one: a 32-bit, two 16-bit fields and eight bytes.
    struct Uuid
    {
        std::uint32_t myData1 = 0;
        std::uint16_t myData2 = 0;
        std::uint16_t myData3 = 0;
        std::uint8_t myData4[8] = {};

        friend bool operator==(const Uuid&, const Uuid&) = default;
    };

    // Parses the text form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx": exactly 36 characters, hexadecimal
    // digits of either case, no braces or spaces. False, with anOut untouched, for anything else.
    bool UuidFromString(const char* aText, Uuid& anOut);
}
