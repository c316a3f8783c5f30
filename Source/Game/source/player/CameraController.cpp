#include "player/CameraController.h"

#include "shell/RandomFloat.h"

#include <algorithm>
#include <cmath>

void CameraController::SetSettings(float aFollowSpeed, float aLookAheadDistance, float aThirdSetting, float aHalfViewWidth, float aHalfViewHeight,
                                   float aBoundsMinX, float aBoundsMinY, float aBoundsMaxX, float aBoundsMaxY)
{
    myFollowSpeed = aFollowSpeed;
    myLookAheadDistance = aLookAheadDistance;
    myThirdSetting = aThirdSetting;
    myHalfViewWidth = aHalfViewWidth;
    myHalfViewHeight = aHalfViewHeight;
    myBoundsMinX = aBoundsMinX;
    myBoundsMinY = aBoundsMinY;
    myBoundsMaxX = aBoundsMaxX;
    myBoundsMaxY = aBoundsMaxY;
}

void CameraController::Shake(float aDuration, float aMagnitude)
{
    myShakeDuration = aDuration;
    myShakeMagnitude = aMagnitude;
    myShakeElapsed = 0.0f;
}

void CameraController::Update(float aDeltaTime, const CommonUtilities::Vector3f& aTarget)
{
    const float t = std::clamp(aDeltaTime * myFollowSpeed, 0.0f, 1.0f);
    myPosition += (aTarget - myPosition) * t;

    // A camera area narrower than this holds the camera nowhere and does not shake it.
    if (std::abs(myBoundsMaxX - myBoundsMinX) < MIN_BOUNDS_WIDTH)
    {
        return;
    }
    // Where the area is smaller than the view, the upper bound wins.
    if (myPosition.x - myHalfViewWidth < myBoundsMinX)
    {
        myPosition.x = myBoundsMinX + myHalfViewWidth;
    }
    if (myPosition.x + myHalfViewWidth > myBoundsMaxX)
    {
        myPosition.x = myBoundsMaxX - myHalfViewWidth;
    }
    if (myPosition.y - myHalfViewHeight < myBoundsMinY)
    {
        myPosition.y = myBoundsMinY + myHalfViewHeight;
    }
    if (myPosition.y + myHalfViewHeight > myBoundsMaxY)
    {
        myPosition.y = myBoundsMaxY - myHalfViewHeight;
    }
    // The offset stays in the position: the next frame eases back from it.
    if (myShakeDuration > myShakeElapsed)
    {
        myShakeElapsed += aDeltaTime;
        const float angle = RandomFloat(0.0f, 6.28f);
        myPosition.x += std::cos(angle) * myShakeMagnitude;
        myPosition.y += std::sin(angle) * myShakeMagnitude;
    }
}
