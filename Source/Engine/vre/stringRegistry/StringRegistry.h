#pragma once
#include "stringRegistry/StringId.h"

#include <cstddef>
#include <string_view>

namespace Vra
{
    // Largest copied string, terminator included.
    constexpr std::size_t STRING_REGISTRY_SIZE_LIMIT = 1024;

    // Process-wide interning of strings. Nothing is ever removed, so every id stays valid until exit.
    // Safe to call from several threads at once.
    class StringRegistry
    {
    public:
        // Interns a copy of the characters; empty (or too long) strings give null.
        static StringId RegisterOrGet(std::string_view aString);

        // Interns characters that live for the whole process without copying them.
        // aLength only tells an empty string apart; the characters are measured to their terminator.
        static StringId RegisterOrGetLiteral(const char* aLiteral, std::size_t aLength);

        template <std::size_t N>
        static StringId RegisterOrGetLiteral(const char (&aLiteral)[N])
        {
            return RegisterOrGetLiteral(aLiteral, N - 1);
        }

        StringRegistry() = delete;
    };
}
