#pragma once
#include "scene/ObjectDefinition.h"

#include <memory>
#include <unordered_map>

namespace Vra
{
    // The definitions of one level load, by name. Used by one thread at a time.
    class ObjectDefinitionManager
    {
    public:
        using DefinitionMap = std::unordered_map<StringId, std::unique_ptr<ObjectDefinition>, StringIdHash>;

        // Null when no definition has that name.
        const ObjectDefinition* FindDefinition(StringId aName) const;

        // Takes the definition under its name; false, leaving the store as it was, when the name is taken.
        bool AddDefinition(std::unique_ptr<ObjectDefinition> aDefinition);

        const DefinitionMap& GetDefinitions() const { return myDefinitions; }

    private:
        DefinitionMap myDefinitions;
    };
}
