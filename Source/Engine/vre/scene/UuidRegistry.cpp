#include "scene/UuidRegistry.h"

#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace Vra
{
    namespace
    {
        struct UuidHash
        {
            std::size_t operator()(const Platform::Uuid& aUuid) const
            {
                unsigned char bytes[sizeof(Platform::Uuid)];
                std::memcpy(bytes, &aUuid, sizeof(bytes));
                std::uint64_t hash = 0xcbf29ce484222325ull;
                for (const unsigned char byte : bytes)
                {
                    hash = (hash ^ byte) * 0x100000001b3ull;
                }
                return static_cast<std::size_t>(hash);
            }
        };

        struct RegistryState
        {
            RegistryState()
            {
                myUuids.push_back(Platform::Uuid{});
                myIds.emplace(Platform::Uuid{}, 0);
            }

            std::mutex myMutex;
            std::vector<Platform::Uuid> myUuids;
            std::unordered_map<Platform::Uuid, std::uint32_t, UuidHash> myIds;
        };

        RegistryState& GetState()
        {
            static RegistryState state;
            return state;
        }

        // Seeded before the entry point runs, like the other registries.
        [[maybe_unused]] const RegistryState& theSeededState = GetState();
    }

    std::uint32_t UuidRegistry::GetId(const char* aUuidText)
    {
        Platform::Uuid uuid;
        if (!aUuidText || !Platform::UuidFromString(aUuidText, uuid))
        {
            return 0;
        }
        RegistryState& state = GetState();
        const std::lock_guard lock(state.myMutex);
        const auto [entry, inserted] = state.myIds.try_emplace(uuid, static_cast<std::uint32_t>(state.myUuids.size()));
        if (inserted)
        {
            state.myUuids.push_back(uuid);
        }
        return entry->second;
    }

    Platform::Uuid UuidRegistry::GetUuid(std::uint32_t anId)
    {
        RegistryState& state = GetState();
        const std::lock_guard lock(state.myMutex);
        return anId < state.myUuids.size() ? state.myUuids[anId] : Platform::Uuid{};
    }
}
