#pragma once
#include "player/Box.h"
#include "player/Sphere.h"

#include "Vector3.h"

#include <functional>
#include <vector>

// Contact point, contact normal (toward the sphere's centre) and whether the box is a wall.
using ContactCallback = std::function<void(const CommonUtilities::Vector3f&, const CommonUtilities::Vector3f&, bool)>;

// The level's static geometry: wall boxes (the bird can slide down them), other solid boxes and
// one-way platforms that only hold from above.
class CollisionSet
{
public:
    // A solid box that is not a wall.
    void AddBox(const Box& aBox);
    void SetWallBoxes(const std::vector<Box>& someBoxes);
    void SetOneWayBoxes(const std::vector<Box>& someBoxes);

    bool HasWallBoxes() const;
    // Some wall box overlaps aBox; touching counts.
    bool Overlaps(const Box& aBox) const;
    // Calls aCallback for every box the sphere touches: walls, then other boxes, then one-way boxes
    // (whose normals keep only an upward push, and only when touched from above).
    void CollideSphere(const Sphere& aSphere, const ContactCallback& aCallback) const;

    const std::vector<Box>& GetWallBoxes() const { return myWallBoxes; }
    const std::vector<Box>& GetNonWallBoxes() const { return myNonWallBoxes; }
    const std::vector<Box>& GetOneWayBoxes() const { return myOneWayBoxes; }

private:
    std::vector<Box> myWallBoxes;
    std::vector<Box> myNonWallBoxes;
    std::vector<Box> myOneWayBoxes;
};
