#pragma once
#include "fbx/MaterialProperty.h"
#include "fbx/Object.h"

#include <string_view>
#include <vector>

namespace Vra::Fbx
{
    class SurfaceMaterial : public Object
    {
    public:
        // The surface properties textures attach to, by their names in the file.
        static constexpr const char* EMISSIVE = "EmissiveColor";
        static constexpr const char* AMBIENT = "AmbientColor";
        static constexpr const char* DIFFUSE = "DiffuseColor";
        static constexpr const char* SPECULAR = "SpecularColor";
        static constexpr const char* SHININESS = "ShininessExponent";
        static constexpr const char* BUMP = "Bump";
        static constexpr const char* NORMAL_MAP = "NormalMap";
        static constexpr const char* TRANSPARENT_COLOR = "TransparentColor";
        static constexpr const char* REFLECTION = "ReflectionColor";
        static constexpr const char* DISPLACEMENT_COLOR = "DisplacementColor";
        static constexpr const char* VECTOR_DISPLACEMENT_COLOR = "VectorDisplacementColor";

        SurfaceMaterial() = default;

        // Case-sensitive. Valid for the eleven names above, for any property in the material's
        // list and for any name a texture is connected under; invalid (no textures) otherwise.
        MaterialProperty FindProperty(std::string_view aName) const;

    private:
        friend class SceneBuilder;
        std::vector<MaterialProperty> myConnected; // properties with textures
    };
}
