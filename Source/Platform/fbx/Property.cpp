#include "fbx/Property.h"

namespace Vra::Fbx
{
    double Property::GetNumber(int anIndex, double aDefault) const
    {
        return anIndex >= 0 && anIndex < static_cast<int>(myNumbers.size()) ? myNumbers[anIndex] : aDefault;
    }

    Vector4 Property::GetVector(const Vector4& aDefault) const
    {
        return Vector4(GetNumber(0, aDefault[0]), GetNumber(1, aDefault[1]), GetNumber(2, aDefault[2]), aDefault[3]);
    }

    const std::string& Property::GetString(int anIndex) const
    {
        static const std::string EMPTY;
        return anIndex >= 0 && anIndex < static_cast<int>(myStrings.size()) ? myStrings[anIndex] : EMPTY;
    }
}
