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
            if (!own || own->myType != property.myType)
            {
                anOut.push_back(property);
                continue;
            }
            // Built field by field so the value is copied once, not copied and then replaced.
            PropertyDefinition& collected = anOut.emplace_back();
            collected.myName = property.myName;
            collected.myType = property.myType;
            collected.myValue = own->myValue;
            collected.myFlags = property.myFlags;
            collected.myGroup = property.myGroup;
            collected.myDescription = property.myDescription;
        }
    }
}
