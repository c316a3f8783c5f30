#include "stringRegistry/StringRegistry.h"

#include "Assert.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace Vra
{
    namespace
    {
        constexpr std::uint32_t PAGE_SIZE = 1024 * 1024;

        struct ViewHash
        {
            std::size_t operator()(std::string_view aView) const { return static_cast<std::size_t>(HashFnv1a64(aView)); }
        };

        struct RegistryState
        {
            RegistryState() : myLookup(8)
            {
                myLookup.max_load_factor(1.0f);
            }

            std::mutex myMutex;
            std::vector<std::unique_ptr<char[]>> myPages;
            std::uint32_t myBytesLeft = 0;
            std::unordered_set<std::string_view, ViewHash> myLookup;
        };

        // Built on first use so that registrations during other files' static initialisation work.
        RegistryState& GetState()
        {
            static RegistryState state;
            return state;
        }

        const char* CopyIntoPages(RegistryState& aState, std::string_view aString)
        {
            const std::uint32_t needed = static_cast<std::uint32_t>(aString.size() + 1);
            if (needed > aState.myBytesLeft)
            {
                // The free tail of the previous page is abandoned.
                aState.myPages.push_back(std::make_unique<char[]>(PAGE_SIZE));
                aState.myBytesLeft = PAGE_SIZE;
            }
            char* destination = aState.myPages.back().get() + (PAGE_SIZE - aState.myBytesLeft);
            aState.myBytesLeft -= needed;
            std::memcpy(destination, aString.data(), aString.size());
            return destination;
        }
    }

    StringId StringRegistry::RegisterOrGet(std::string_view aString)
    {
        CU_ASSERT(aString.size() + 1 <= STRING_REGISTRY_SIZE_LIMIT);
        if (aString.size() + 1 > STRING_REGISTRY_SIZE_LIMIT)
        {
            return {};
        }
        // An id is NUL-terminated text: whatever follows an embedded NUL could never be read back,
        // and keeping it would give one text two ids.
        aString = aString.substr(0, aString.find('\0'));
        if (aString.empty())
        {
            return {};
        }

        RegistryState& state = GetState();
        const std::lock_guard lock(state.myMutex);
        if (const auto found = state.myLookup.find(aString); found != state.myLookup.end())
        {
            return StringId::FromRegisteredPointer(found->data());
        }
        const char* copy = CopyIntoPages(state, aString);
        state.myLookup.insert(std::string_view(copy, aString.size()));
        return StringId::FromRegisteredPointer(copy);
    }

    StringId StringRegistry::RegisterOrGetLiteral(const char* aLiteral, std::size_t aLength)
    {
        if (aLength == 0)
        {
            return {};
        }
        const std::string_view view(aLiteral);
        if (view.empty())
        {
            return {};
        }

        RegistryState& state = GetState();
        const std::lock_guard lock(state.myMutex);
        if (const auto found = state.myLookup.find(view); found != state.myLookup.end())
        {
            return StringId::FromRegisteredPointer(found->data());
        }
        state.myLookup.insert(view);
        return StringId::FromRegisteredPointer(aLiteral);
    }
}
