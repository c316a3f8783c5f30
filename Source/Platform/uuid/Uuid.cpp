#include "uuid/Uuid.h"

#include <cstddef>

namespace Platform
{
    namespace
    {
        constexpr std::size_t UUID_TEXT_LENGTH = 36;

        int HexDigitValue(char aCharacter)
        {
            if (aCharacter >= '0' && aCharacter <= '9')
            {
                return aCharacter - '0';
            }
            if (aCharacter >= 'a' && aCharacter <= 'f')
            {
                return aCharacter - 'a' + 10;
            }
            if (aCharacter >= 'A' && aCharacter <= 'F')
            {
                return aCharacter - 'A' + 10;
            }
            return -1;
        }

        bool IsHyphenPosition(std::size_t aPosition)
        {
            return aPosition == 8 || aPosition == 13 || aPosition == 18 || aPosition == 23;
        }
    }

    bool UuidFromString(const char* aText, Uuid& anOut)
    {
        if (!aText)
        {
            return false;
        }
        // The 32 digits in order, checked before anything is written.
        std::uint8_t digits[32];
        std::size_t digitCount = 0;
        for (std::size_t position = 0; position < UUID_TEXT_LENGTH; ++position)
        {
            const char character = aText[position];
            if (character == '\0')
            {
                return false;
            }
            if (IsHyphenPosition(position))
            {
                if (character != '-')
                {
                    return false;
                }
                continue;
            }
            const int value = HexDigitValue(character);
            if (value < 0)
            {
                return false;
            }
            digits[digitCount++] = static_cast<std::uint8_t>(value);
        }
        if (aText[UUID_TEXT_LENGTH] != '\0')
        {
            return false;
        }

        std::size_t next = 0;
        const auto readBits = [&](int aDigitCount) {
            std::uint32_t value = 0;
            for (int i = 0; i < aDigitCount; ++i)
            {
                value = (value << 4) | digits[next++];
            }
            return value;
        };
        Uuid parsed;
        parsed.myData1 = readBits(8);
        parsed.myData2 = static_cast<std::uint16_t>(readBits(4));
        parsed.myData3 = static_cast<std::uint16_t>(readBits(4));
        for (std::uint8_t& byte : parsed.myData4)
        {
            byte = static_cast<std::uint8_t>(readBits(2));
        }
        anOut = parsed;
        return true;
    }
}
