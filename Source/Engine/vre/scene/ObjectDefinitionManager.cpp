#include "scene/ObjectDefinitionManager.h"

namespace Vra
{
    const ObjectDefinition* ObjectDefinitionManager::FindDefinition(StringId aName) const
    {
        const auto found = myDefinitions.find(aName);
        return found != myDefinitions.end() ? found->second.get() : nullptr;
    }

    bool ObjectDefinitionManager::AddDefinition(std::unique_ptr<ObjectDefinition> aDefinition)
    {
        const StringId name = aDefinition->myName;
        return myDefinitions.try_emplace(name, std::move(aDefinition)).second;
    }
}
