#pragma once
#include "fbx/Distance.h"
#include "fbx/NodeAttribute.h"

#include <vector>

namespace Vra::Fbx
{
    // Level-of-detail switch: threshold i is the distance beyond which child i + 1 shows.
    // Read from the attribute's properties "Thresholds|Level0", "Thresholds|Level1", ...
    class LodGroup : public NodeAttribute
    {
    public:
        LodGroup() : NodeAttribute(Type::LodGroup) {}

        int GetNumThresholds() const { return static_cast<int>(myThresholds.size()); }
        // False (aDistance untouched) when anIndex is out of range.
        bool GetThreshold(int anIndex, Distance& aDistance) const;

    private:
        friend class SceneBuilder;
        std::vector<Distance> myThresholds;
    };
}
