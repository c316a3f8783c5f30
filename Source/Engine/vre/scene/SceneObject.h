#pragma once
#include "Math/Vector3.h"
#include "properties/PropertyDefinition.h"
#include "properties/PropertyValue.h"
#include "stringRegistry/StringId.h"

#include <string>
#include <vector>

namespace Vra
{
    class ObjectDefinitionManager;
    class Scene;

    // One object of a scene as read from its file.
    class SceneObject
    {
    public:
        // A value the object's file gives for one of its properties.
        struct OwnValue
        {
            StringId myName;
            const PropertyTypeBase* myType = nullptr;
            PropertyValue myValue;
        };

        // With a scene, its path counts follow: the new path counts one more, the old one less.
        void SetPath(Scene* aScene, StringId aPath);
        StringId GetPath() const { return myPath; }

        // Appends the definition's properties in definition order; a per-instance property takes the
        // object's own value when the object has one of the same type. Nothing without a definition.
        void CollectProperties(const ObjectDefinitionManager& aDefinitions, std::vector<PropertyDefinition>& anOut) const;

        StringId myDefinition;
        std::vector<OwnValue> myOwnValues;
        Vector3<float> myTranslation;
        // Euler angles in degrees.
        Vector3<float> myRotation;
        Vector3<float> myScale{1.0f, 1.0f, 1.0f};
        std::string myName = "Scene Object";

    private:
        StringId myPath;
    };
}
