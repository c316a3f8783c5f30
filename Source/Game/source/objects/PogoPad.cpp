#include "objects/PogoPad.h"

#include "audio/AudioManager.h"
#include "objects/TextureLookup.h"
#include "overlays/DrawSprite.h"

#include <algorithm>
#include <cmath>

namespace
{
    constexpr float HALF_PI = 1.5707964f;
    constexpr int SHEET_COLUMNS = 4;
    constexpr float SHEET_CELL = 0.25f;
    constexpr std::uint32_t MUSHROOM_SIZE_DIVISOR = 6;
    constexpr float MUSHROOM_SPRITE_OFFSET = 50.0f;
}

void PogoPad::InitMushroom(const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector, float aRadius,
                           float aCooldown)
{
    myIsMushroom = true;
    myPosition = myHomePosition = aPosition;
    mySecondVector = aSecondVector;
    myRadius = aRadius;
    myCooldown = aCooldown;
    myCooldownTimer = 0.0f;
    myTexture = LoadSrgbTexture(MUSHROOM_TEXTURE);
    const Vra::Vector2<std::uint32_t> size = GetTextureSize(myTexture);
    mySprite.myPosition = { aPosition.x - MUSHROOM_SPRITE_OFFSET, aPosition.y - MUSHROOM_SPRITE_OFFSET };
    mySprite.myPivot = { 0.2f, 0.8f };
    mySprite.mySize = { static_cast<float>(size.x / MUSHROOM_SIZE_DIVISOR), static_cast<float>(size.y / MUSHROOM_SIZE_DIVISOR) };
    mySprite.myColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    ShowFrame();
}

void PogoPad::InitBeetle(const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector, float aRadius, float aDistance,
                         bool aVertical, bool aInverted)
{
    myIsMushroom = false;
    myPosition = myHomePosition = aPosition;
    mySecondVector = aSecondVector;
    myRadius = aRadius;
    myCooldownTimer = 0.0f;
    myDistance = aDistance;
    myIsVertical = aVertical;
    myIsInverted = aInverted;
    // A quarter turn about y: the beetle's side faces the camera.
    myOrientation(1, 1) = 0.0f;
    myOrientation(1, 3) = -1.0f;
    myOrientation(3, 1) = 1.0f;
    myOrientation(3, 3) = 0.0f;
    myModel.LoadModel(BEETLE_MODEL, BEETLE_TEXTURE, 1.0f);
    myModel.LoadAnimation(BEETLE_FLY_CLIP, "Fly", true);
    myModel.LoadAnimation(BEETLE_HIT_CLIP, "Hit", false);
    myModel.PlayAnimation("Fly");
    if (aInverted)
    {
        myModel.FlipScaleZ();
    }
}

void PogoPad::StartIdleSound()
{
    if (!myIsMushroom)
    {
        AudioManager::GetInstance().Play("Beetle_Idle", true, 1.0f);
    }
}

CommonUtilities::Vector4 PogoPad::GetBounds() const
{
    return { myPosition.x + myRadius, myPosition.y + myRadius, 0.0f, myRadius };
}

void PogoPad::OnHit()
{
    AudioManager& audio = AudioManager::GetInstance();
    if (myIsMushroom)
    {
        audio.Play("Mushroom_Hit", true, 1.0f);
        myCooldownTimer = myCooldown;
        return;
    }
    mySinkSpeed = myHitSinkSpeed;
    myModel.PlayAnimation("Hit");
    myModel.QueueAnimation("Fly");
    audio.Pause("Beetle_Idle");
    audio.Play("Beetle_Hit", true, 1.0f);
}

float PogoPad::EaseFactor(float aCurrent, float aHome, float anEnd) const
{
    const float fromHome = std::abs(aCurrent - aHome);
    const float fromEnd = std::abs(aCurrent - anEnd);
    float factor = 1.0f;
    if (fromHome < myEaseDistance)
    {
        factor = std::sin(fromHome / myEaseDistance * HALF_PI);
    }
    else if (fromEnd < myEaseDistance)
    {
        factor = std::sin(fromEnd / myEaseDistance * HALF_PI);
    }
    return std::clamp(myMinEaseFactor + factor, myMinEaseFactor, 1.0f);
}

void PogoPad::Update(float aDeltaTime)
{
    if (myIsMushroom)
    {
        UpdateMushroom(aDeltaTime);
    }
    else
    {
        UpdateBeetle(aDeltaTime);
    }
}

void PogoPad::UpdateMushroom(float aDeltaTime)
{
    const int shownFrame = myFrameIndex;
    if (myCooldownTimer > 0.0f)
    {
        // The break plays forward to the last frame, then the mushroom stays broken.
        myCooldownTimer -= aDeltaTime;
        if (myFrameIndex < BROKEN_FRAME)
        {
            myFrameTimer += aDeltaTime;
            if (myFrameTimer >= myFrameTime)
            {
                ++myFrameIndex;
                myFrameTimer = 0.0f;
            }
        }
    }
    else if (myFrameIndex > 0)
    {
        // It regrows through the sheet's first frames only.
        myFrameIndex = std::min(myFrameIndex, REGROW_FRAME);
        myFrameTimer += aDeltaTime;
        if (myFrameTimer >= myFrameTime)
        {
            --myFrameIndex;
            myFrameTimer = 0.0f;
        }
    }
    if (myFrameIndex != shownFrame)
    {
        ShowFrame();
    }
}

void PogoPad::UpdateBeetle(float aDeltaTime)
{
    float& coordinate = myIsVertical ? myPosition.y : myPosition.x;
    const float home = myIsVertical ? myHomePosition.y : myHomePosition.x;
    const float end = myIsInverted ? home - myDistance : home + myDistance;
    const float step = myIsInverted ? -myBeetleSpeed : myBeetleSpeed;
    if (myDistance >= 1.0f)
    {
        const float factor = EaseFactor(coordinate, home, end);
        coordinate += (myIsMovingForward ? step : -step) * aDeltaTime * factor;
        const bool pastEnd = myIsInverted ? coordinate <= end : coordinate >= end;
        const bool pastHome = myIsInverted ? coordinate >= home : coordinate <= home;
        if ((myIsMovingForward && pastEnd) || (!myIsMovingForward && pastHome))
        {
            myModel.FlipScaleZ();
            myIsMovingForward = !myIsMovingForward;
        }
    }
    if (mySinkSpeed > 0.0f)
    {
        mySinkSpeed -= aDeltaTime * mySinkDeceleration;
        mySink += mySinkSpeed * aDeltaTime;
    }
    else if (mySink > 0.0f)
    {
        mySink *= mySinkDecay;
        if (mySink < SINK_SNAP)
        {
            mySink = 0.0f;
        }
    }
    myOrientation(4, 1) = myPosition.x + myRadius;
    myOrientation(4, 2) = myPosition.y + myRadius - mySink;
    myOrientation(4, 3) = myPosition.z;
    myModel.Update(aDeltaTime, TransformNode(myOrientation));
}

void PogoPad::ShowFrame()
{
    const int column = myFrameIndex % SHEET_COLUMNS;
    const int row = myFrameIndex / SHEET_COLUMNS;
    mySprite.myTextureRectangle = { static_cast<float>(column) * SHEET_CELL, static_cast<float>(row) * SHEET_CELL,
                                    static_cast<float>(column + 1) * SHEET_CELL, static_cast<float>(row + 1) * SHEET_CELL };
}

void PogoPad::Render()
{
    if (!myIsMushroom)
    {
        myModel.Render();
        return;
    }
    Vra::SpriteDrawer* const drawer = FindSpriteDrawer();
    if (drawer != nullptr && myTexture != nullptr)
    {
        Vra::SpriteSharedData sharedData;
        sharedData.myColorTexture = myTexture;
        DrawSprite(*drawer, sharedData, mySprite);
    }
}
