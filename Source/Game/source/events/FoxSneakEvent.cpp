#include "events/FoxSneakEvent.h"

#include "audio/AudioManager.h"

#include <cmath>
#include <iostream>

FoxSneakEvent::~FoxSneakEvent()
{
    AudioManager::GetInstance().FadeOut("Fox_Running", 1.0f);
}

void FoxSneakEvent::Init()
{
    std::cout << "Wrong init" << std::endl;
}

void FoxSneakEvent::Init(const CommonUtilities::Matrix4x4& aTransform, int anOrder, bool aGoingLeft, bool anInBackground, int anAnimation,
                         float anAnimationSpeed)
{
    myStartPosition = { aTransform(4, 1), aTransform(4, 2), aTransform(4, 3) };
    myWorldTransform = CommonUtilities::Matrix4x4();
    const CommonUtilities::Vector3f firstRow{ aTransform(1, 1), aTransform(1, 2), aTransform(1, 3) };
    // The dark texture keeps a fox in front of the level from standing out against the scenery.
    const char* const texture = anInBackground ? TEXTURE : DARK_TEXTURE;
    myAnimatedObject.LoadModel(MODEL, texture, MODEL_SCALE * firstRow.Length());
    myAnimatedObject.LoadAnimation(CLIP, CLIP_NAME, false);
    myAnimatedObject.SetAnimationSpeed(anAnimationSpeed);
    myOrder = anOrder;
    myIsGoingLeft = aGoingLeft;
    myIsInBackground = anInBackground;
    myAnimation = anAnimation;
    myIsTriggered = false;
}

void FoxSneakEvent::OnTriggerEnter()
{
    if (myIsTriggered)
    {
        return;
    }
    AudioManager::GetInstance().Play("Fox_Running", false, 1.0f);
    if (!myIsGoingLeft)
    {
        myAnimatedObject.FlipScaleX();
    }
    if (myIsInBackground)
    {
        myAnimatedObject.FlipScaleZ();
    }
    // Every choice of animation plays the one sneaking clip.
    myAnimatedObject.PlayAnimation(CLIP_NAME);
    std::cout << "Triggered" << std::endl;
    myIsTriggered = true;
}

void FoxSneakEvent::SetPosition(const Vra::Vector2f& anOffset)
{
    myWorldTransform(4, 1) = myStartPosition.x + anOffset.x;
    myWorldTransform(4, 2) = myStartPosition.y + anOffset.y;
    myWorldTransform(4, 3) = myStartPosition.z;
}

void FoxSneakEvent::Update(float aDeltaTime)
{
    if (myIsTriggered)
    {
        myAnimatedObject.Update(aDeltaTime, myWorldTransform);
    }
}

void FoxSneakEvent::Render()
{
    if (myIsTriggered && myAnimatedObject.GetAnimationState() != Vra::AnimationState::Ended)
    {
        myAnimatedObject.Render();
    }
}
