#include "fbx/PropertySet.h"

namespace Vra::Fbx
{
    const Property* PropertySet::Find(std::string_view aName) const
    {
        for (const Property& property : myOwn)
        {
            if (property.myName == aName)
            {
                return &property;
            }
        }
        return myTemplate ? myTemplate->Find(aName) : nullptr;
    }

    double PropertySet::GetNumber(std::string_view aName, double aDefault) const
    {
        const Property* property = Find(aName);
        return property ? property->GetNumber(0, aDefault) : aDefault;
    }

    Vector4 PropertySet::GetVector(std::string_view aName, const Vector4& aDefault) const
    {
        const Property* property = Find(aName);
        return property ? property->GetVector(aDefault) : aDefault;
    }

    std::string PropertySet::GetString(std::string_view aName, std::string_view aDefault) const
    {
        const Property* property = Find(aName);
        return property && !property->myStrings.empty() ? property->myStrings.front() : std::string(aDefault);
    }

    void PropertySet::Set(Property aProperty)
    {
        for (Property& property : myOwn)
        {
            if (property.myName == aProperty.myName)
            {
                property = std::move(aProperty);
                return;
            }
        }
        myOwn.push_back(std::move(aProperty));
    }
}
