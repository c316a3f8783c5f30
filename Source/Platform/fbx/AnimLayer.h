#pragma once
#include "fbx/Object.h"

#include <vector>

namespace Vra::Fbx
{
    class AnimCurveNode;

    // A layer of a stack; layers after the first add to (Additive) or blend over (Override) the
    // layers before them by their weight (percent).
    class AnimLayer : public Object
    {
    public:
        enum class BlendMode
        {
            Additive = 0,
            Override = 1,
            OverridePassthrough = 2
        };

        AnimLayer() = default;

        double GetWeight() const { return myWeight; }
        BlendMode GetBlendMode() const { return myBlendMode; }
        int GetCurveNodeCount() const { return static_cast<int>(myCurveNodes.size()); }
        const AnimCurveNode* GetCurveNode(int anIndex) const { return myCurveNodes[anIndex]; }

    private:
        friend class SceneBuilder;
        double myWeight = 100.0;
        BlendMode myBlendMode = BlendMode::Additive;
        std::vector<const AnimCurveNode*> myCurveNodes;
    };
}
