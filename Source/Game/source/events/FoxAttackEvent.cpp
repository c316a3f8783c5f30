#include "events/FoxAttackEvent.h"

#include "audio/AudioManager.h"

#include <algorithm>
#include <iostream>

namespace
{
    CommonUtilities::Vector3f Row(const CommonUtilities::Matrix4x4& aMatrix, int aRow)
    {
        return { aMatrix(aRow, 1), aMatrix(aRow, 2), aMatrix(aRow, 3) };
    }

    void SetRow(CommonUtilities::Matrix4x4& aMatrix, int aRow, const CommonUtilities::Vector3f& aValue)
    {
        aMatrix(aRow, 1) = aValue.x;
        aMatrix(aRow, 2) = aValue.y;
        aMatrix(aRow, 3) = aValue.z;
    }

    // Each axis ordered min to max, whatever the sign of the extents.
    Box BoxAround(const CommonUtilities::Vector3f& aCenter, const CommonUtilities::Vector3f& someHalfExtents)
    {
        const CommonUtilities::Vector3f a = aCenter - someHalfExtents;
        const CommonUtilities::Vector3f b = aCenter + someHalfExtents;
        return { { std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z) }, { std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z) } };
    }
}

FoxAttackEvent::~FoxAttackEvent()
{
    AudioManager::GetInstance().FadeOut("Fox_Vocal2", 1.0f);
}

void FoxAttackEvent::Init()
{
    std::cout << "Wrong init" << std::endl;
}

void FoxAttackEvent::Init(const CommonUtilities::Matrix4x4& aTransform, int anOrder, float aSpeed, float aDuration, bool aGoingLeft,
                          float aDelay)
{
    myWorldTransform = CommonUtilities::Matrix4x4();
    SetRow(myWorldTransform, 4, Row(aTransform, 4));
    const CommonUtilities::Vector3f scale{ Row(aTransform, 1).Length(), Row(aTransform, 2).Length(), Row(aTransform, 3).Length() };
    myHalfExtents = { 200.0f * scale.x, 80.0f * scale.y, 100.0f * scale.z };
    myChargeTime = CHARGE_TIME;

    myAnimatedObject.LoadModel(MODEL, TEXTURE, MODEL_SCALE * scale.x);
    myAnimatedObject.LoadAnimation("animation/Fox/A_Fox_Attack.fbx", "FoxAttack", false);
    myAnimatedObject.LoadAnimation("animation/Fox/A_Fox_chargeAnticipation.fbx", "FoxAnticipation", false);
    myAnimatedObject.LoadAnimation("animation/Fox/A_Fox_attackAnticipation.fbx", "FoxAA", false);
    myAnimatedObject.LoadAnimation("animation/Fox/A_Fox_Run.fbx", "FoxCharge", true);
    myAnimatedObject.LoadAnimation("animation/Fox/A_Fox_Idle.fbx", "FoxIdle", true);
    myAnimatedObject.Rotate(0.0f, 90.0f, 0.0f);
    myAnimatedObject.SetPosition(0.0f, -100.0f, 0.0f);

    myDirection = aGoingLeft ? CommonUtilities::Vector3f{ -1.0f, 0.0f, 0.0f } : CommonUtilities::Vector3f{ 1.0f, 0.0f, 0.0f };
    mySpeed = aSpeed;
    myDuration = aDuration;
    myDelay = aDelay;
    myOrder = anOrder;
    myIsTriggered = false;
}

void FoxAttackEvent::OnTriggerEnter()
{
    if (myIsTriggered)
    {
        return;
    }
    myIsAttackActive = true;
    std::cout << "Triggered" << std::endl;
    // Face the charge: forward along the direction, up stays up.
    const CommonUtilities::Vector3f forward = myDirection.GetNormalized();
    const CommonUtilities::Vector3f right = CommonUtilities::Vector3f{ 0.0f, 1.0f, 0.0f }.Cross(forward).GetNormalized();
    const CommonUtilities::Vector3f up = forward.Cross(right);
    SetRow(myWorldTransform, 1, right);
    SetRow(myWorldTransform, 2, up);
    SetRow(myWorldTransform, 3, forward);
    myIsTriggered = true;
    myAnimatedObject.PlayAnimation("FoxAnticipation");
    myAnimatedObject.QueueAnimation("FoxIdle");
    AudioManager::GetInstance().Play("Fox_Vocal", false, 1.0f);
}

void FoxAttackEvent::Update(float aDeltaTime)
{
    if (!myIsTriggered)
    {
        return;
    }
    Advance(aDeltaTime);
    if (myHasCollider)
    {
        UpdateBoxes();
    }
    myAnimatedObject.Update(aDeltaTime, myWorldTransform);
}

void FoxAttackEvent::Advance(float aDeltaTime)
{
    myElapsed += aDeltaTime;
    if (myIsCharging)
    {
        myChargeTimer -= aDeltaTime;
        if (myChargeTimer < 0.0f)
        {
            myIsCharging = false;
        }
    }
    const bool hasEnded = myAnimatedObject.GetAnimationState() == Vra::AnimationState::Ended;
    if (hasEnded && !myHasCollider)
    {
        myHasCollider = true;
        std::cout << "Has Collider" << std::endl;
    }
    if (hasEnded && myHasAnticipated && !myIsChargeReady)
    {
        AudioManager::GetInstance().Play("Fox_Vocal2", false, 1.0f);
        myIsChargeReady = true;
        std::cout << "Has anticipated" << std::endl;
        myElapsed = 0.0f;
    }
    if (!myHasAnticipated && myElapsed > myDelay)
    {
        myHasCollider = true;
        std::cout << "Playing anticipatin 2 and charge" << std::endl;
        myAnimatedObject.PlayAnimation("FoxAA");
        myAnimatedObject.QueueAnimation("FoxCharge");
        myHasAnticipated = true;
        myElapsed = 0.0f;
    }
    else if (myElapsed < myDuration && myIsChargeReady)
    {
        CommonUtilities::Vector3f position = Row(myWorldTransform, 4);
        position += myDirection * (mySpeed * aDeltaTime);
        SetRow(myWorldTransform, 4, position);
    }
    else if (myIsAttackActive && !IsBeforeTheRun() && myElapsed > myDuration)
    {
        myIsAttackActive = false;
    }
}

void FoxAttackEvent::UpdateBoxes()
{
    const CommonUtilities::Vector3f position = Row(AnimatedObject::GetWorldTransform(myWorldTransform), 4);
    myAttackBox = BoxAround(position, myHalfExtents * ATTACK_BOX_FACTOR);
    myChargeBox = BoxAround(position, myHalfExtents * CHARGE_BOX_FACTOR);
}

void FoxAttackEvent::StartCharge()
{
    if (myIsCharging || !myIsChargeReady)
    {
        return;
    }
    std::cout << myDuration << std::endl;
    myAnimatedObject.QueueAnimation("FoxAttack");
    myAnimatedObject.QueueAnimation("FoxCharge");
    myChargeTimer = myChargeTime;
    myIsCharging = true;
}

bool FoxAttackEvent::IsBeforeTheRun() const
{
    // The duration is the run that follows the ready charge: until then the fox stays on stage
    // and dangerous, however long its delay and anticipation take. A fox without a duration
    // never takes the stage.
    return myDuration > 0.0f && !myIsChargeReady;
}

void FoxAttackEvent::Render()
{
    if (myIsTriggered && (IsBeforeTheRun() || myElapsed < myDuration))
    {
        myAnimatedObject.Render();
    }
}
