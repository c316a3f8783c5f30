#pragma once
#include "fbx/Object.h"
#include "fbx/Time.h"

#include <vector>

namespace Vra::Fbx
{
    // One animated number: keys with constant, linear or cubic interpolation to the next key.
    class AnimCurve : public Object
    {
    public:
        enum class Interpolation
        {
            Constant,
            Linear,
            Cubic
        };

        struct Key
        {
            Time myTime;
            double myValue = 0.0;
            Interpolation myInterpolation = Interpolation::Cubic;
            bool myConstantNext = false;     // constant segments hold the next key's value
            double myRightSlope = 0.0;       // per second, leaving this key
            double myNextLeftSlope = 0.0;    // per second, arriving at the next key
            double myRightWeight = 1.0 / 3;  // Bezier handle lengths as a fraction of the segment
            double myNextLeftWeight = 1.0 / 3;
        };

        AnimCurve() = default;

        int KeyGetCount() const { return static_cast<int>(myKeys.size()); }
        const Key& KeyGet(int anIndex) const { return myKeys[anIndex]; }
        std::vector<Key>& GetKeys() { return myKeys; }

        // Before the first key the first value, after the last the last; no keys: aDefault.
        double Evaluate(Time aTime, double aDefault = 0.0) const;

    private:
        std::vector<Key> myKeys;
    };
}
