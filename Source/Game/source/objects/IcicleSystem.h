#pragma once
#include "Math/Matrix4x4.h"
#include "Vector3.h"
#include "drawers/SpriteInstanceData.h"
#include "properties/PropertyDefinition.h"

#include <cstddef>
#include <vector>

namespace Vra
{
    class SceneObject;
    class TextureResource;
}

class CollisionSet;
class Player;

// A rotation matrix from Euler angles in degrees (about x, y and z), through a half-angle quaternion.
Vra::Matrix4x4 EulerDegreesToQuaternion(float anX, float aY, float aZ);

// The level's falling icicles: each waits, shakes once the bird comes under it, drops, kills the
// bird it hits and breaks on a wall, on the bird or after its life. Runs on the engine's step.
class IcicleSystem
{
public:
    static constexpr float REACH_SQUARED = 2500.0f;
    static constexpr float FALL_LIFE = 5.0f;
    static constexpr float BOX_DEPTH = 100.0f;
    static constexpr float BREAK_EFFECT_HEIGHT = 120.0f;

    // One icicle from a level object and its effective properties.
    void Load(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties);
    void SetCollisionSet(CollisionSet* aCollisionSet) { myCollisionSet = aCollisionSet; }
    // With the engine's delta and total time.
    void Update(Player& aPlayer);
    void Update(Player& aPlayer, float aDeltaTime, float aTotalTime);
    // Moves the last icicle into anIndex's place.
    void Remove(std::size_t anIndex);
    void Render();

    std::size_t GetCount() const { return myPositions.size(); }
    bool IsTriggered(std::size_t anIndex) const { return myIsTriggered[anIndex]; }
    bool IsFalling(std::size_t anIndex) const { return myIsFalling[anIndex]; }
    float GetTimer(std::size_t anIndex) const { return myTimers[anIndex]; }
    float GetVelocity(std::size_t anIndex) const { return myVelocities[anIndex]; }
    const CommonUtilities::Vector3f& GetPosition(std::size_t anIndex) const { return myPositions[anIndex].myPosition; }
    float GetShakeAngle(std::size_t anIndex) const { return myPositions[anIndex].myShakeAngle; }
    const Vra::Sprite3DInstanceData& GetSprite(std::size_t anIndex) const { return mySprites[anIndex]; }
    float GetGravity() const { return myGravity; }
    float GetDropDelay() const { return myDropDelay; }
    float GetHitHalfWidth() const { return myHitHalfWidth; }
    float GetHitHeight() const { return myHitHeight; }
    float GetTriggerHalfWidth() const { return myTriggerHalfWidth; }
    float GetTriggerHeight() const { return myTriggerHeight; }
    const CommonUtilities::Vector3f& GetSpriteOffset() const { return mySpriteOffset; }

private:
    struct IciclePosition
    {
        CommonUtilities::Vector3f myPosition;
        float myUnused[2] = { 0.0f, 0.0f };
        // Degrees.
        float myShakeAngle = 0.0f;
    };

    // False when the icicle at anIndex broke and was removed.
    bool UpdateIcicle(std::size_t anIndex, Player& aPlayer, float aDeltaTime, float aTotalTime);
    void Break(std::size_t anIndex);

    std::vector<bool> myIsTriggered;
    std::vector<bool> myIsFalling;
    std::vector<float> myTimers;
    std::vector<float> myVelocities;
    std::vector<IciclePosition> myPositions;
    std::vector<Vra::Sprite3DInstanceData> mySprites;
    float myGravity = 0.0f;
    float myDropDelay = 0.0f;
    float myHitHalfWidth = 0.0f;
    float myHitHeight = 0.0f;
    float myTriggerHalfWidth = 0.0f;
    float myTriggerHeight = 0.0f;
    CommonUtilities::Vector3f mySpriteOffset{ 0.0f, 0.0f, 0.0f };
    Vra::TextureResource* myTexture = nullptr;
    CollisionSet* myCollisionSet = nullptr;
};
