#include "fbx/Skin.h"

namespace Vra::Fbx
{
    Cluster* Skin::GetCluster(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetClusterCount() ? myClusters[anIndex] : nullptr;
    }
}
