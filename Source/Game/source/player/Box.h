#pragma once
#include "Vector3.h"

// An axis-aligned box of the level. The collision tests accept min and max swapped on an axis.
struct Box
{
    CommonUtilities::Vector3f myMin;
    CommonUtilities::Vector3f myMax;
};
