#pragma once
#include "fbx/Object.h"
#include "fbx/TimeSpan.h"

#include <vector>

namespace Vra::Fbx
{
    class AnimLayer;

    // One take: its layers and the time span the file gives it ("LocalStart", "LocalStop").
    class AnimStack : public Object
    {
    public:
        AnimStack() = default;

        TimeSpan GetLocalTimeSpan() const { return myLocalTimeSpan; }
        TimeSpan GetReferenceTimeSpan() const { return myReferenceTimeSpan; }
        int GetLayerCount() const { return static_cast<int>(myLayers.size()); }
        const AnimLayer* GetLayer(int anIndex) const { return myLayers[anIndex]; }

    private:
        friend class SceneBuilder;
        TimeSpan myLocalTimeSpan;
        TimeSpan myReferenceTimeSpan;
        std::vector<const AnimLayer*> myLayers;
    };
}
