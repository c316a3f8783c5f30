#pragma once
#include "stringRegistry/StringId.h"

namespace Vra
{
    // The value of an "Animation Clip" property: the path of an animation file.
    struct AnimationClipReference
    {
        StringId myClipPath;
    };
}
