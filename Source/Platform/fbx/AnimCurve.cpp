#include "fbx/AnimCurve.h"

#include <algorithm>
#include <cmath>

namespace Vra::Fbx
{
    namespace
    {
        double CubicBezier(double aP0, double aP1, double aP2, double aP3, double aS)
        {
            const double inverse = 1.0 - aS;
            return inverse * inverse * inverse * aP0 + 3.0 * inverse * inverse * aS * aP1 + 3.0 * inverse * aS * aS * aP2 +
                   aS * aS * aS * aP3;
        }

        // The Bezier parameter at which the time curve reaches aTime (the curve is monotonic for
        // handle weights in [0, 1]); bisection is exact enough and cannot diverge.
        double SolveParameter(double aT1, double aT2, double aTime)
        {
            double low = 0.0;
            double high = 1.0;
            for (int step = 0; step < 48; ++step)
            {
                const double middle = 0.5 * (low + high);
                if (CubicBezier(0.0, aT1, aT2, 1.0, middle) < aTime)
                {
                    low = middle;
                }
                else
                {
                    high = middle;
                }
            }
            return 0.5 * (low + high);
        }
    }

    double AnimCurve::Evaluate(Time aTime, double aDefault) const
    {
        if (myKeys.empty())
        {
            return aDefault;
        }
        if (aTime <= myKeys.front().myTime)
        {
            return myKeys.front().myValue;
        }
        if (aTime >= myKeys.back().myTime)
        {
            return myKeys.back().myValue;
        }
        const auto next = std::upper_bound(myKeys.begin(), myKeys.end(), aTime,
                                           [](Time aValue, const Key& aKey) { return aValue < aKey.myTime; });
        const Key& right = *next;
        const Key& left = *(next - 1);
        const double span = static_cast<double>(right.myTime.Get()) - static_cast<double>(left.myTime.Get());
        if (span <= 0.0)
        {
            return right.myValue;
        }
        const double fraction = (static_cast<double>(aTime.Get()) - static_cast<double>(left.myTime.Get())) / span;
        switch (left.myInterpolation)
        {
        case Interpolation::Constant: return left.myConstantNext ? right.myValue : left.myValue;
        case Interpolation::Linear: return left.myValue + (right.myValue - left.myValue) * fraction;
        case Interpolation::Cubic:
        default:
        {
            const double seconds = span / static_cast<double>(Time::TICKS_PER_SECOND);
            const double rightWeight = std::clamp(left.myRightWeight, 0.0, 1.0);
            const double leftWeight = std::clamp(left.myNextLeftWeight, 0.0, 1.0);
            const double p1 = left.myValue + left.myRightSlope * seconds * rightWeight;
            const double p2 = right.myValue - left.myNextLeftSlope * seconds * leftWeight;
            const double parameter = SolveParameter(rightWeight, 1.0 - leftWeight, fraction);
            return CubicBezier(left.myValue, p1, p2, right.myValue, parameter);
        }
        }
    }
}
