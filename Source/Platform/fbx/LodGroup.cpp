#include "fbx/LodGroup.h"

namespace Vra::Fbx
{
    bool LodGroup::GetThreshold(int anIndex, Distance& aDistance) const
    {
        if (anIndex < 0 || anIndex >= GetNumThresholds())
        {
            return false;
        }
        aDistance = myThresholds[anIndex];
        return true;
    }
}
