#pragma once
#include "fbx/Object.h"

#include <vector>

namespace Vra::Fbx
{
    class Cluster;

    // A skin deformer: one cluster per influencing joint.
    class Skin : public Object
    {
    public:
        Skin() = default;

        int GetClusterCount() const { return static_cast<int>(myClusters.size()); }
        Cluster* GetCluster(int anIndex) const; // null when out of range

    private:
        friend class SceneBuilder;
        std::vector<Cluster*> myClusters;
    };
}
