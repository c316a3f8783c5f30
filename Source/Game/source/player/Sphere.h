#pragma once
#include "player/Box.h"

#include "Vector3.h"

struct Sphere
{
    CommonUtilities::Vector3f myCenter;
    float myRadius = 0.0f;
};

// The point of the box nearest to aPoint (aPoint itself when inside).
CommonUtilities::Vector3f ClosestPointOnBox(const Box& aBox, const CommonUtilities::Vector3f& aPoint);
float SquaredDistanceToBox(const Box& aBox, const CommonUtilities::Vector3f& aPoint);

// True when the sphere touches or overlaps the box; anOutPoint is the box's point nearest the centre.
bool SphereIntersectsBox(const Sphere& aSphere, const Box& aBox, CommonUtilities::Vector3f& anOutPoint);

// As SphereIntersectsBox, with the unit normal from the contact point toward the centre. A centre
// inside the box has no such direction: the contact then lies on the nearest face and the normal
// points out through it, so the sphere is pushed out the shortest way.
bool SphereBoxContact(const Sphere& aSphere, const Box& aBox, CommonUtilities::Vector3f& anOutPoint,
                      CommonUtilities::Vector3f& anOutNormal);
