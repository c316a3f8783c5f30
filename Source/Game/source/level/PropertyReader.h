#pragma once
#include "properties/PropertyDefinition.h"
#include "properties/PropertyType.h"
#include "stringRegistry/StringId.h"

#include <string>
#include <vector>

namespace Vra
{
    class SceneObject;
}

// Reads the keys the level knows from one object's property list, each as the type the level
// expects. A property of the right name but another type is not read (its bytes mean something
// else): it is skipped with a line naming the object, the key and both types.
class PropertyReader
{
public:
    PropertyReader(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties);

    // When aProperty is named aKey and holds a T, aValue takes its value and the result is true.
    template <typename T>
    bool Read(const Vra::PropertyDefinition& aProperty, Vra::StringId aKey, T& aValue) const
    {
        if (aProperty.myName != aKey || !IsOfType(aProperty, Vra::PropertyType<T>::Get()))
        {
            return false;
        }
        aValue = aProperty.myValue.Get<T>();
        return true;
    }

    // A StringId value as text.
    bool ReadText(const Vra::PropertyDefinition& aProperty, Vra::StringId aKey, std::string& aText) const
    {
        Vra::StringId text;
        if (!Read(aProperty, aKey, text))
        {
            return false;
        }
        aText = text.CStr();
        return true;
    }

    // Every property named aKey, in list order: the last readable one gives the value.
    template <typename T>
    bool ReadAll(Vra::StringId aKey, T& aValue) const
    {
        bool hasRead = false;
        for (const Vra::PropertyDefinition& property : myProperties)
        {
            hasRead = Read(property, aKey, aValue) || hasRead;
        }
        return hasRead;
    }

    template <typename T>
    T Get(Vra::StringId aKey, const T& aDefault) const
    {
        T value = aDefault;
        ReadAll(aKey, value);
        return value;
    }

    const std::vector<Vra::PropertyDefinition>& GetProperties() const { return myProperties; }

private:
    // Writes the skip line for a property of the wrong type.
    bool IsOfType(const Vra::PropertyDefinition& aProperty, const Vra::PropertyTypeBase& anExpected) const;

    const Vra::SceneObject& myObject;
    const std::vector<Vra::PropertyDefinition>& myProperties;
};
