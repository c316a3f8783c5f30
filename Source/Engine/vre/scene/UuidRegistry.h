#pragma once
#include "uuid/Uuid.h"

#include <cstdint>

namespace Vra
{
    // Process-wide dense ids for the UUIDs naming scene objects, handed out in first-seen order.
    // The nil UUID is id 0, which stands for none. Ids are never reused; safe for concurrent use.
    class UuidRegistry
    {
    public:
        // 0 for null text, for text that is not a UUID, and for the nil UUID.
        static std::uint32_t GetId(const char* aUuidText);
        // The UUID behind an id; the nil UUID for an id not handed out.
        static Platform::Uuid GetUuid(std::uint32_t anId);

        UuidRegistry() = delete;
    };
}
