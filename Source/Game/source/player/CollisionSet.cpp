#include "player/CollisionSet.h"

#include <algorithm>
#include <cmath>

namespace
{
    bool SpansOverlap(float aFirstA, float aFirstB, float aSecondA, float aSecondB)
    {
        return !(std::min(aFirstA, aFirstB) > std::max(aSecondA, aSecondB) || std::min(aSecondA, aSecondB) > std::max(aFirstA, aFirstB));
    }

    bool BoxesOverlap(const Box& aFirst, const Box& aSecond)
    {
        return SpansOverlap(aFirst.myMin.x, aFirst.myMax.x, aSecond.myMin.x, aSecond.myMax.x) &&
               SpansOverlap(aFirst.myMin.y, aFirst.myMax.y, aSecond.myMin.y, aSecond.myMax.y) &&
               SpansOverlap(aFirst.myMin.z, aFirst.myMax.z, aSecond.myMin.z, aSecond.myMax.z);
    }
}

void CollisionSet::AddBox(const Box& aBox)
{
    myNonWallBoxes.push_back(aBox);
}

void CollisionSet::SetWallBoxes(const std::vector<Box>& someBoxes)
{
    myWallBoxes = someBoxes;
}

void CollisionSet::SetOneWayBoxes(const std::vector<Box>& someBoxes)
{
    myOneWayBoxes = someBoxes;
}

bool CollisionSet::HasWallBoxes() const
{
    return !myWallBoxes.empty();
}

bool CollisionSet::Overlaps(const Box& aBox) const
{
    return std::any_of(myWallBoxes.begin(), myWallBoxes.end(), [&aBox](const Box& aWall) { return BoxesOverlap(aWall, aBox); });
}

void CollisionSet::CollideSphere(const Sphere& aSphere, const ContactCallback& aCallback) const
{
    CommonUtilities::Vector3f point;
    CommonUtilities::Vector3f normal;
    for (const Box& box : myWallBoxes)
    {
        if (SphereBoxContact(aSphere, box, point, normal))
        {
            aCallback(point, normal, true);
        }
    }
    for (const Box& box : myNonWallBoxes)
    {
        if (SphereBoxContact(aSphere, box, point, normal))
        {
            aCallback(point, normal, false);
        }
    }
    for (const Box& box : myOneWayBoxes)
    {
        if (SphereBoxContact(aSphere, box, point, normal))
        {
            // Only an upward push, and only when the platform was touched from above.
            const CommonUtilities::Vector3f upward(0.0f, normal.y >= std::abs(normal.x) ? normal.y : 0.0f, normal.z);
            aCallback(point, upward, false);
        }
    }
}
