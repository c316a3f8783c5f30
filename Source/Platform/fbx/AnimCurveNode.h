#pragma once
#include "fbx/Object.h"

#include <string>
#include <vector>

namespace Vra::Fbx
{
    class AnimCurve;

    // Animates one property of one object through up to four channels ("d|X", "d|Y", "d|Z", ...).
    class AnimCurveNode : public Object
    {
    public:
        struct Channel
        {
            double myDefault = 0.0;           // the node's own value for the channel
            const AnimCurve* myCurve = nullptr; // none: the channel holds myDefault
        };

        AnimCurveNode() = default;

        const std::string& GetTargetProperty() const { return myTargetProperty; } // "Lcl Translation", ...
        const Object* GetTarget() const { return myTarget; }
        int GetChannelCount() const { return static_cast<int>(myChannels.size()); }
        const Channel& GetChannel(int anIndex) const { return myChannels[anIndex]; }

    private:
        friend class SceneBuilder;
        std::string myTargetProperty;
        const Object* myTarget = nullptr;
        std::vector<Channel> myChannels;
    };
}
