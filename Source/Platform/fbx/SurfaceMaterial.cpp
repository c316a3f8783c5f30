#include "fbx/SurfaceMaterial.h"

namespace Vra::Fbx
{
    MaterialProperty SurfaceMaterial::FindProperty(std::string_view aName) const
    {
        for (const MaterialProperty& property : myConnected)
        {
            if (property.myName == aName)
            {
                return property;
            }
        }
        static constexpr const char* KNOWN[] = { EMISSIVE, AMBIENT, DIFFUSE, SPECULAR, SHININESS, BUMP, NORMAL_MAP,
                                                 TRANSPARENT_COLOR, REFLECTION, DISPLACEMENT_COLOR,
                                                 VECTOR_DISPLACEMENT_COLOR };
        MaterialProperty result;
        result.myName = std::string(aName);
        for (const char* known : KNOWN)
        {
            result.myValid = result.myValid || aName == known;
        }
        result.myValid = result.myValid || GetProperties().Find(aName) != nullptr;
        return result;
    }
}
