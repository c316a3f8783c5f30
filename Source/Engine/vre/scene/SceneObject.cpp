#include "scene/SceneObject.h"

#include "scene/ObjectDefinitionManager.h"
#include "scene/Scene.h"

namespace Vra
{
    void SceneObject::SetPath(Scene* aScene, StringId aPath)
    {
        const StringId oldPath = myPath;
        myPath = aPath;
        if (!aScene)
        {
            return;
        }
        ++aScene->myPathCounts[aPath];
        const auto old = aScene->myPathCounts.find(oldPath);
        if (old != aScene->myPathCounts.end() && --old->second == 0)
        {
            aScene->myPathCounts.erase(old);
        }
    }

    void SceneObject::CollectProperties(const ObjectDefinitionManager& aDefinitions, std::vector<PropertyDefinition>& anOut) const
    {
        const ObjectDefinition* definition = aDefinitions.FindDefinition(myDefinition);
        if (!definition)
        {
            return;
        }
        for (const PropertyDefinition& property : definition->myProperties)
        {
            const OwnValue* own = nullptr;
            if (property.IsPerInstance())
            {
                for (const OwnValue& candidate : myOwnValues)
                {
                    if (candidate.myName == property.myName)
                    {
                        own = &candidate;
                        break;
                    }
                }
            }
            PropertyDefinition& collected = anOut.emplace_back(property);
            if (own && own->myType == property.myType)
            {
                collected.myValue = own->myValue;
            }
        }
    }
}
