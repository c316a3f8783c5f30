#pragma once
#include "fbx/Property.h"

#include <string_view>
#include <vector>

namespace Vra::Fbx
{
    // An object's properties with the defaults of its kind behind them (the file's templates).
    class PropertySet
    {
    public:
        const Property* Find(std::string_view aName) const; // own value first, then the template
        double GetNumber(std::string_view aName, double aDefault) const;
        Vector4 GetVector(std::string_view aName, const Vector4& aDefault) const;
        std::string GetString(std::string_view aName, std::string_view aDefault = {}) const;

        void Set(Property aProperty); // replaces an own property of the same name
        void SetTemplate(const PropertySet* aTemplate) { myTemplate = aTemplate; }
        const std::vector<Property>& GetOwn() const { return myOwn; }

    private:
        std::vector<Property> myOwn;
        const PropertySet* myTemplate = nullptr;
    };
}
