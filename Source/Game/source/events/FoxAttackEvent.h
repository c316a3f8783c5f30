#pragma once
#include "events/TriggeredEvent.h"

#include "effects/AnimatedObject.h"
#include "player/Box.h"

#include "Matrix4x4.h"
#include "Vector3.h"

// A fox that anticipates, then charges along a line: touching its attack box kills the bird, and
// touching the larger charge box makes it lunge.
class FoxAttackEvent : public TriggeredEvent
{
public:
    static constexpr const char* MODEL = "animation/Fox/SK_fox.fbx";
    static constexpr const char* TEXTURE = "textures/Character/T_SM_CH_Fox_C.dds";
    static constexpr float MODEL_SCALE = 0.5f;
    static constexpr float CHARGE_TIME = 2.0f;
    static constexpr float ATTACK_BOX_FACTOR = 0.9f;
    static constexpr float CHARGE_BOX_FACTOR = 1.2f;

    ~FoxAttackEvent() override;

    // Writes "Wrong init": the fox needs its placement.
    void Init() override;
    void Init(const CommonUtilities::Matrix4x4& aTransform, int anOrder, float aSpeed, float aDuration, bool aGoingLeft, float aDelay);

    void Update(float aDeltaTime) override;
    void Render() override;
    void OnTriggerEnter() override;

    // The bird touched the charge box.
    void StartCharge();

    const Box& GetAttackBox() const { return myAttackBox; }
    const Box& GetChargeBox() const { return myChargeBox; }
    bool IsAttackActive() const { return myIsAttackActive; }
    bool HasCollider() const { return myHasCollider; }
    bool HasAnticipated() const { return myHasAnticipated; }
    bool IsCharging() const { return myIsCharging; }
    bool IsChargeReady() const { return myIsChargeReady; }
    float GetElapsed() const { return myElapsed; }
    const CommonUtilities::Vector3f& GetDirection() const { return myDirection; }
    const CommonUtilities::Vector3f& GetHalfExtents() const { return myHalfExtents; }
    const CommonUtilities::Matrix4x4& GetWorldTransform() const { return myWorldTransform; }
    const AnimatedObject& GetAnimatedObject() const { return myAnimatedObject; }

private:
    void Advance(float aDeltaTime);
    bool IsBeforeTheRun() const;
    void UpdateBoxes();

    CommonUtilities::Matrix4x4 myWorldTransform;
    AnimatedObject myAnimatedObject;
    CommonUtilities::Vector3f myDirection{ 1.0f, 0.0f, 0.0f };
    CommonUtilities::Vector3f myHalfExtents;
    Box myAttackBox;
    Box myChargeBox;
    float mySpeed = 0.0f;
    float myDuration = 0.0f;
    float myElapsed = 0.0f;
    float myDelay = 0.0f;
    float myChargeTime = CHARGE_TIME;
    float myChargeTimer = 0.0f;
    bool myIsAttackActive = false;
    bool myHasAnticipated = false;
    bool myHasCollider = false;
    bool myIsCharging = false;
    bool myIsChargeReady = false;
};
