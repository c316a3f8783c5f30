#include "player/Sphere.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
    float ClampToSpan(float aValue, float aFirst, float aSecond)
    {
        return std::clamp(aValue, std::min(aFirst, aSecond), std::max(aFirst, aSecond));
    }

    // The centre lies inside the box: the nearest face in the plane of play (x and y; the bird's
    // depth is fixed, so a push along z would be undone at once) gives the point and the normal.
    void NearestFace(const Box& aBox, const CommonUtilities::Vector3f& aCenter, CommonUtilities::Vector3f& anOutPoint,
                     CommonUtilities::Vector3f& anOutNormal)
    {
        const float lowX = std::min(aBox.myMin.x, aBox.myMax.x);
        const float highX = std::max(aBox.myMin.x, aBox.myMax.x);
        const float lowY = std::min(aBox.myMin.y, aBox.myMax.y);
        const float highY = std::max(aBox.myMin.y, aBox.myMax.y);
        const std::array<float, 4> distances{ aCenter.x - lowX, highX - aCenter.x, aCenter.y - lowY, highY - aCenter.y };
        const auto nearest = std::min_element(distances.begin(), distances.end()) - distances.begin();
        anOutPoint = aCenter;
        switch (nearest)
        {
        case 0: anOutPoint.x = lowX; anOutNormal = { -1.0f, 0.0f, 0.0f }; break;
        case 1: anOutPoint.x = highX; anOutNormal = { 1.0f, 0.0f, 0.0f }; break;
        case 2: anOutPoint.y = lowY; anOutNormal = { 0.0f, -1.0f, 0.0f }; break;
        default: anOutPoint.y = highY; anOutNormal = { 0.0f, 1.0f, 0.0f }; break;
        }
    }
}

CommonUtilities::Vector3f ClosestPointOnBox(const Box& aBox, const CommonUtilities::Vector3f& aPoint)
{
    return { ClampToSpan(aPoint.x, aBox.myMin.x, aBox.myMax.x), ClampToSpan(aPoint.y, aBox.myMin.y, aBox.myMax.y),
             ClampToSpan(aPoint.z, aBox.myMin.z, aBox.myMax.z) };
}

float SquaredDistanceToBox(const Box& aBox, const CommonUtilities::Vector3f& aPoint)
{
    return (aPoint - ClosestPointOnBox(aBox, aPoint)).LengthSqr();
}

bool SphereIntersectsBox(const Sphere& aSphere, const Box& aBox, CommonUtilities::Vector3f& anOutPoint)
{
    anOutPoint = ClosestPointOnBox(aBox, aSphere.myCenter);
    return aSphere.myRadius * aSphere.myRadius >= (aSphere.myCenter - anOutPoint).LengthSqr();
}

bool SphereBoxContact(const Sphere& aSphere, const Box& aBox, CommonUtilities::Vector3f& anOutPoint, CommonUtilities::Vector3f& anOutNormal)
{
    if (!SphereIntersectsBox(aSphere, aBox, anOutPoint))
    {
        return false;
    }
    const CommonUtilities::Vector3f offset = aSphere.myCenter - anOutPoint;
    const float distance = offset.Length();
    if (distance > 0.0f)
    {
        anOutNormal = offset / distance;
    }
    else
    {
        NearestFace(aBox, aSphere.myCenter, anOutPoint, anOutNormal);
    }
    return true;
}
