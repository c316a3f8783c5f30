#include "properties/PropertyTypeBase.h"

#include "properties/PropertyTypes.h"
#include "stringRegistry/StringRegistry.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace Vra
{
    namespace
    {
        // Constant-initialised, so types in any file may register during static initialisation.
        PropertyTypeBase* theTypes[PropertyTypeBase::MAX_TYPE_COUNT] = {};
        std::uint32_t theTypeCount = 0;
        std::atomic<bool> theFinalized = false;
        std::once_flag theFinalizeOnce;

        struct NameLookup
        {
            NameLookup() : myTypesByName(8)
            {
                myTypesByName.max_load_factor(1.0f);
            }

            std::unordered_map<StringId, const PropertyTypeBase*, StringIdHash> myTypesByName;
            std::vector<StringId> mySortedNames;
        };

        NameLookup& GetLookup()
        {
            static NameLookup lookup;
            return lookup;
        }

        [[noreturn]] void AbortRegistration(const char* aName, const char* aReason)
        {
            std::fprintf(stderr, "Cannot register property type \"%s\": %s\n", aName ? aName : "", aReason);
            std::abort();
        }
    }

    void PropertyTypeBase::BuildLookup()
    {
        impl::LinkBuiltInPropertyTypes();
        theFinalized.store(true);
        NameLookup& lookup = GetLookup();
        lookup.mySortedNames.reserve(theTypeCount);
        for (std::uint32_t index = 0; index < theTypeCount; ++index)
        {
            PropertyTypeBase& type = *theTypes[index];
            const StringId nameId = StringRegistry::RegisterOrGet(type.GetName());
            type.myNameId = nameId;
            lookup.myTypesByName[nameId] = &type;
            lookup.mySortedNames.push_back(nameId);
        }
        std::sort(lookup.mySortedNames.begin(), lookup.mySortedNames.end(), StringIdTextLess());
    }

    PropertyTypeBase::PropertyTypeBase(const char* aName)
    {
        if (theFinalized.load())
        {
            AbortRegistration(aName, "the type registry is already finalised");
        }
        if (theTypeCount >= MAX_TYPE_COUNT)
        {
            AbortRegistration(aName, "the type registry is full");
        }
        myName = aName;
        myIndex = static_cast<int>(theTypeCount);
        theTypes[theTypeCount] = this;
        ++theTypeCount;
    }

    void PropertyTypeBase::Finalize()
    {
        std::call_once(theFinalizeOnce, &BuildLookup);
    }

    bool PropertyTypeBase::IsFinalized()
    {
        return theFinalized.load();
    }

    const PropertyTypeBase* PropertyTypeBase::FindByName(StringId aName)
    {
        Finalize();
        const auto& table = GetLookup().myTypesByName;
        const auto found = table.find(aName);
        return found != table.end() ? found->second : nullptr;
    }

    std::uint32_t PropertyTypeBase::GetTypeCount()
    {
        return theTypeCount;
    }

    const PropertyTypeBase* PropertyTypeBase::GetTypeAt(std::uint32_t anIndex)
    {
        return anIndex < theTypeCount ? theTypes[anIndex] : nullptr;
    }

    const std::vector<StringId>& PropertyTypeBase::GetSortedNames()
    {
        Finalize();
        return GetLookup().mySortedNames;
    }
}
