#pragma once
#include "effects/TransformNode.h"

#include "Matrix4x4.h"
#include "Vector3.h"
#include "model/AnimatedModelInstance.h"
#include "model/AnimationPlayer.h"
#include "model/AnimationState.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Vra
{
    class ModelDrawer;
}

// One skinned model with named clips: plays a clip by name, queues clips to follow the current
// one and places the model relative to a parent transform with its own offset, rotation and
// per-axis scale (a negative scale mirrors the model to face the other way).
class AnimatedObject
{
public:
    // Loads the skinned model with one colour texture, scaled by aScale on every axis. A file
    // that cannot be read leaves the object without a model (the error goes to the error stream).
    void LoadModel(const std::string& aPath, const std::string& aTexturePath, float aScale);
    // Loads a clip for the model under aName; the first clip stored under a name stays.
    void LoadAnimation(const std::string& aPath, const std::string& aName, bool aLoop);

    // Starts the named clip at once and drops the queue; null (and no change) for an unknown name.
    std::shared_ptr<Vra::AnimationPlayer> PlayAnimation(const std::string& aName);
    // The named clip starts when the current one ends (or wraps, when it loops).
    void QueueAnimation(const std::string& aName);
    // The current clip's state: Playing, Ended or Wrapped (New before any PlayAnimation).
    Vra::AnimationState GetAnimationState() const;

    // Hands over to a queued clip, advances the current one and places the model under aParent.
    void Update(float aDeltaTime, const TransformNode& aParent);
    // Draws the model while the current clip holds an animation.
    void Render();

    void SetPosition(float aX, float aY, float aZ);
    // Degrees, added to the rotation.
    void Rotate(float aX, float aY, float aZ);
    void SetAnimationSpeed(float aSpeed) { myAnimationSpeed = aSpeed; }
    void FlipScaleX() { myScale.x = -myScale.x; }
    void FlipScaleZ() { myScale.z = -myScale.z; }

    static CommonUtilities::Matrix4x4 GetWorldTransform(const TransformNode& aNode);

    const Vra::AnimatedModelInstance& GetModelInstance() const { return myModelInstance; }
    const std::shared_ptr<Vra::AnimationPlayer>& GetCurrentAnimation() const { return myCurrentAnimation; }
    const CommonUtilities::Vector3f& GetScale() const { return myScale; }
    bool IsQueued() const { return myIsQueued; }

private:
    void StartAnimation(const std::shared_ptr<Vra::AnimationPlayer>& aPlayer);
    void PlaceModel(const TransformNode& aParent);

    Vra::AnimatedModelInstance myModelInstance;
    std::unordered_map<std::string, std::shared_ptr<Vra::AnimationPlayer>> myAnimations;
    std::vector<std::shared_ptr<Vra::AnimationPlayer>> myQueue;
    std::shared_ptr<Vra::AnimationPlayer> myCurrentAnimation;
    Vra::ModelDrawer* myModelDrawer = nullptr;
    CommonUtilities::Vector3f myOffset{ 0.0f, 0.0f, 0.0f };
    CommonUtilities::Vector3f myScale{ 1.0f, 1.0f, 1.0f };
    CommonUtilities::Vector3f myRotation{ 0.0f, 0.0f, 0.0f };
    float myAnimationSpeed = 1.0f;
    bool myIsQueued = false;
};
