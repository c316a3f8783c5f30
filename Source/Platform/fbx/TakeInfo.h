#pragma once
#include "fbx/TimeSpan.h"

#include <string>

namespace Vra::Fbx
{
    // A take as the file's "Takes" section lists it; a stack without an entry there gets one
    // made from its own time spans.
    struct TakeInfo
    {
        std::string myName;
        TimeSpan myLocalTimeSpan;
        TimeSpan myReferenceTimeSpan;
    };
}
