#pragma once
#include "stringRegistry/StringId.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <vector>

namespace Vra
{
    // One registered property type: a singleton that knows how to construct, copy, destroy,
    // read, write and edit values of its type held in a PropertyValue's storage.
    // Types register from static initialisation; the registry freezes at the first lookup by name.
    class PropertyTypeBase
    {
    public:
        static constexpr std::uint32_t MAX_TYPE_COUNT = 512;

        explicit PropertyTypeBase(const char* aName);
        PropertyTypeBase(const PropertyTypeBase&) = delete;
        PropertyTypeBase& operator=(const PropertyTypeBase&) = delete;

        virtual void Construct(void* aTarget) const = 0;
        virtual void CopyConstruct(const void* aSource, void* aTarget) const = 0;
        // Leaves the source holding a valid value, like a copy.
        virtual void MoveConstruct(void* aSource, void* aTarget) const = 0;
        virtual void Destroy(void* aValue) const = 0;
        // Constructs the value in aTarget; the JSON library's exceptions pass to the caller.
        virtual void FromJson(void* aTarget, const nlohmann::json& aJson) const = 0;
        virtual nlohmann::json ToJson(const void* aValue) const = 0;
        virtual bool DrawEditor(void* aValue, const char* aLabel, const char* aTooltip) const = 0;

        int GetIndex() const { return myIndex; }
        const char* GetName() const { return myName; }
        // Null until the registry is finalised.
        StringId GetNameId() const { return myNameId; }

        // Freezes the registry and builds the name lookup; runs once, whichever thread asks first.
        static void Finalize();
        static bool IsFinalized();
        // Finalises first when needed. Null for a name no type has.
        static const PropertyTypeBase* FindByName(StringId aName);

        static std::uint32_t GetTypeCount();
        static const PropertyTypeBase* GetTypeAt(std::uint32_t anIndex);
        // Every registered name in ascending byte order; finalises first when needed.
        static const std::vector<StringId>& GetSortedNames();

    protected:
        // The singletons live until exit and are never destroyed through the base.
        ~PropertyTypeBase() = default;

    private:
        static void BuildLookup();

        int myIndex = -1;
        const char* myName = nullptr;
        StringId myNameId;
    };
}
