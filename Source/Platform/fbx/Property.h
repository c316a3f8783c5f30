#pragma once
#include "fbx/Vector4.h"

#include <string>
#include <vector>

namespace Vra::Fbx
{
    // One entry of an object's property list: name, type text ("Lcl Translation", "double",
    // "enum", "KString", ...) and its values, numbers and text kept apart in file order.
    struct Property
    {
        std::string myName;
        std::string myType;
        std::vector<double> myNumbers;
        std::vector<std::string> myStrings;

        double GetNumber(int anIndex = 0, double aDefault = 0.0) const;
        Vector4 GetVector(const Vector4& aDefault) const; // first three numbers, w from aDefault
        const std::string& GetString(int anIndex = 0) const; // empty when absent
    };
}
