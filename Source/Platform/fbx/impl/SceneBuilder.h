#pragma once
#include "fbx/Status.h"

#include <cstddef>

namespace Vra::Fbx
{
    class Scene;
    class SystemUnit;
    class AxisSystem;

    // Turns parsed records into a scene, and applies the scene-wide conversions; the one place
    // that fills the objects' private parts.
    class SceneBuilder
    {
    public:
        // Parses binary or ASCII FBX bytes into aScene (cleared first). False with aStatus set on
        // malformed content; the scene is then left empty. Without aReadGeometry meshes stay empty
        // and clusters name no control points (IOSettings::GEOMETRY).
        static bool Build(const unsigned char* someBytes, size_t aSize, Scene& aScene, Status& aStatus, bool aReadGeometry = true);

        static void ConvertUnit(Scene& aScene, const SystemUnit& aTarget, bool aConvertClusters);
        static void ConvertAxes(Scene& aScene, const AxisSystem& aTarget);

    private:
        class Reader;
    };
}
