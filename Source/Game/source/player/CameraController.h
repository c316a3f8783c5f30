#pragma once
#include "Vector3.h"

// Moves the level camera's point: eases toward a target, stays inside the level's camera area and
// shakes on request.
class CameraController
{
public:
    static constexpr float MIN_BOUNDS_WIDTH = 110.0f;

    CameraController() = default;

    void SetSettings(float aFollowSpeed, float aLookAheadDistance, float aThirdSetting, float aHalfViewWidth, float aHalfViewHeight,
                     float aBoundsMinX, float aBoundsMinY, float aBoundsMaxX, float aBoundsMaxY);
    void SetPosition(const CommonUtilities::Vector3f& aPosition) { myPosition = aPosition; }
    const CommonUtilities::Vector3f& GetPosition() const { return myPosition; }
    void Shake(float aDuration, float aMagnitude);
    void Update(float aDeltaTime, const CommonUtilities::Vector3f& aTarget);

    float GetFollowSpeed() const { return myFollowSpeed; }
    float GetLookAheadDistance() const { return myLookAheadDistance; }
    float GetThirdSetting() const { return myThirdSetting; }
    float GetHalfViewWidth() const { return myHalfViewWidth; }
    float GetHalfViewHeight() const { return myHalfViewHeight; }
    float GetBoundsMinX() const { return myBoundsMinX; }
    float GetBoundsMinY() const { return myBoundsMinY; }
    float GetBoundsMaxX() const { return myBoundsMaxX; }
    float GetBoundsMaxY() const { return myBoundsMaxY; }
    float GetShakeElapsed() const { return myShakeElapsed; }
    float GetShakeDuration() const { return myShakeDuration; }

private:
    CommonUtilities::Vector3f myPosition{ 0.0f, 0.0f, 0.0f };
    // Fraction of the remaining distance covered per second.
    float myFollowSpeed = 5.0f;
    // Kept with the settings; the level's own look-ahead decides the target.
    float myLookAheadDistance = 2.0f;
    float myThirdSetting = 3.0f;
    float myHalfViewWidth = 800.0f;
    float myHalfViewHeight = 450.0f;
    float myBoundsMinX = -1000.0f;
    float myBoundsMinY = -200.0f;
    float myBoundsMaxX = 1000.0f;
    float myBoundsMaxY = 1000.0f;
    float myShakeElapsed = 0.0f;
    float myShakeDuration = 0.0f;
    float myShakeMagnitude = 0.0f;
};
