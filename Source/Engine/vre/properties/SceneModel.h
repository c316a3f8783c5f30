#pragma once
#include "stringRegistry/StringId.h"

namespace Vra
{
    // The value of a "Model" property: a model path and up to four texture paths per mesh.
    struct SceneModel
    {
        static constexpr int MESH_COUNT = 4;
        // Slots in order: colour, normal, material, effects.
        static constexpr int TEXTURE_SLOT_COUNT = 4;

        StringId myModelPath;
        StringId myTextures[MESH_COUNT][TEXTURE_SLOT_COUNT];
    };
}
