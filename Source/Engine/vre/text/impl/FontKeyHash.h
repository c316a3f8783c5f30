#pragma once
#include <cstdint>
#include <string>

namespace Vra::impl
{
    // FNV-1a 64 over the key's characters (the key may hold a zero byte).
    struct FontKeyHash
    {
        size_t operator()(const std::string& aKey) const
        {
            uint64_t hash = 0xcbf29ce484222325ull;
            for (const char character : aKey)
            {
                hash ^= static_cast<unsigned char>(character);
                hash *= 0x100000001b3ull;
            }
            return static_cast<size_t>(hash);
        }
    };
}
