#pragma once
#include "stringRegistry/StringId.h"

namespace Vra
{
    // The value of a "Scene" property: the path of another scene.
    struct SceneReference
    {
        StringId myScenePath;
    };
}
