#pragma once
#include "events/TriggeredEvent.h"

#include "effects/AnimatedObject.h"

#include "Math/Vector2.h"
#include "Matrix4x4.h"
#include "Vector3.h"

// A fox that runs through the scene once, in front of the level or far behind it among the
// parallax layers (which shift it with the camera).
class FoxSneakEvent : public TriggeredEvent
{
public:
    static constexpr const char* MODEL = "animation/Fox/SK_fox.fbx";
    static constexpr const char* TEXTURE = "textures/Character/T_SM_CH_Fox_C.dds";
    static constexpr const char* DARK_TEXTURE = "textures/Character/T_SM_CH_Fox_C_DarkV.dds";
    static constexpr const char* CLIP = "animation/Fox/A_fox_event001.fbx";
    static constexpr const char* CLIP_NAME = "FoxSneak";
    static constexpr float MODEL_SCALE = 0.3f;

    ~FoxSneakEvent() override;

    // Writes "Wrong init": the fox needs its placement.
    void Init() override;
    void Init(const CommonUtilities::Matrix4x4& aTransform, int anOrder, bool aGoingLeft, bool anInBackground, int anAnimation,
              float anAnimationSpeed);

    void Update(float aDeltaTime) override;
    void Render() override;
    void OnTriggerEnter() override;

    const CommonUtilities::Vector3f& GetStartPosition() const { return myStartPosition; }
    // Places the fox at its start position shifted by anOffset in x and y.
    void SetPosition(const Vra::Vector2f& anOffset);

    const CommonUtilities::Matrix4x4& GetWorldTransform() const { return myWorldTransform; }
    const AnimatedObject& GetAnimatedObject() const { return myAnimatedObject; }
    bool IsGoingLeft() const { return myIsGoingLeft; }
    bool IsInBackground() const { return myIsInBackground; }

private:
    CommonUtilities::Matrix4x4 myWorldTransform;
    AnimatedObject myAnimatedObject;
    CommonUtilities::Vector3f myStartPosition;
    int myAnimation = 0;
    bool myIsGoingLeft = false;
    bool myIsInBackground = false;
};
