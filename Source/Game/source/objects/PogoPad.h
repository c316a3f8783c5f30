#pragma once
#include "effects/AnimatedObject.h"

#include "Matrix4x4.h"
#include "Vector3.h"
#include "Vector4.h"
#include "drawers/SpriteInstanceData.h"

namespace Vra
{
    class TextureResource;
}

// Something the bird bounces on from the pogo-ready state: a mushroom that breaks when hit and
// regrows after a cooldown, or a beetle that flies to and fro along a line and gives way when hit.
class PogoPad
{
public:
    static constexpr const char* MUSHROOM_TEXTURE = "Sprites/A_mushroomBreak.dds";
    static constexpr const char* BEETLE_MODEL = "animation/Beetle/SK_Beetle.fbx";
    static constexpr const char* BEETLE_TEXTURE = "textures/Character/T_SM_Beetle_C.dds";
    static constexpr const char* BEETLE_FLY_CLIP = "animation/Beetle/A_Beetle_Fly.fbx";
    static constexpr const char* BEETLE_HIT_CLIP = "animation/Beetle/A_Beetle_Hit.fbx";
    // The break plays forward to this frame; the regrowth starts from REGROW_FRAME.
    static constexpr int BROKEN_FRAME = 15;
    static constexpr int REGROW_FRAME = 4;
    static constexpr float SINK_SNAP = 10.0f;

    PogoPad() = default;

    void InitMushroom(const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector, float aRadius, float aCooldown);
    void InitBeetle(const CommonUtilities::Vector3f& aPosition, const CommonUtilities::Vector3f& aSecondVector, float aRadius, float aDistance,
                    bool aVertical, bool aInverted);

    bool CanBounce() const { return myCooldownTimer <= 0.0f; }
    // A sphere (x, y, z, radius) one radius right of and above the position.
    CommonUtilities::Vector4 GetBounds() const;
    void OnHit();
    void Update(float aDeltaTime);
    void Render();
    // The speed factor near the path's ends: from the minimum at an end up to 1 one ease
    // distance away.
    float EaseFactor(float aCurrent, float aHome, float anEnd) const;

    bool IsMushroom() const { return myIsMushroom; }
    const CommonUtilities::Vector3f& GetPosition() const { return myPosition; }
    const CommonUtilities::Vector3f& GetHomePosition() const { return myHomePosition; }
    const CommonUtilities::Vector3f& GetSecondVector() const { return mySecondVector; }
    float GetDistance() const { return myDistance; }
    bool IsVertical() const { return myIsVertical; }
    bool IsInverted() const { return myIsInverted; }
    float GetRadius() const { return myRadius; }
    float GetCooldown() const { return myCooldown; }
    float GetCooldownTimer() const { return myCooldownTimer; }
    int GetFrameIndex() const { return myFrameIndex; }
    float GetSink() const { return mySink; }
    float GetSinkSpeed() const { return mySinkSpeed; }
    bool IsMovingForward() const { return myIsMovingForward; }
    const CommonUtilities::Matrix4x4& GetOrientation() const { return myOrientation; }
    const Vra::Sprite2DInstanceData& GetSprite() const { return mySprite; }
    const AnimatedObject& GetModel() const { return myModel; }
    // A beetle hums from here on; main thread only, so the level calls it after a load.
    void StartIdleSound();

private:
    void UpdateMushroom(float aDeltaTime);
    void UpdateBeetle(float aDeltaTime);
    void ShowFrame();

    float myBeetleSpeed = 250.0f;
    float myEaseDistance = 50.0f;
    float myMinEaseFactor = 0.1f;
    float mySinkDeceleration = 1500.0f;
    float mySinkDecay = 0.9f;
    float myHitSinkSpeed = 500.0f;
    bool myIsMovingForward = true;
    CommonUtilities::Vector3f myHomePosition{ 0.0f, 0.0f, 0.0f };
    float mySinkSpeed = 0.0f;
    float mySink = 0.0f;
    CommonUtilities::Matrix4x4 myOrientation;
    AnimatedObject myModel;
    float myFrameTimer = 0.0f;
    float myFrameTime = 0.05f;
    int myFrameIndex = 0;
    Vra::Sprite2DInstanceData mySprite;
    Vra::TextureResource* myTexture = nullptr;
    bool myIsMushroom = false;
    bool myIsVertical = false;
    bool myIsInverted = false;
    float myDistance = 0.0f;
    float myCooldownTimer = 0.0f;
    float myCooldown = 0.0f;
    CommonUtilities::Vector3f myPosition{ 0.0f, 0.0f, 0.0f };
    CommonUtilities::Vector3f mySecondVector{ 0.0f, 0.0f, 0.0f };
    float myRadius = 0.0f;
};
