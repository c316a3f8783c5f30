#include "model/AnimationPlayer.h"

#include "model/PoseMaths.h"

#include <algorithm>
#include <cmath>

namespace Vra
{
    namespace
    {
        // Frames the player may index: a frame count beyond the stored frames never is.
        std::size_t PlayableFrameCount(const Animation& anAnimation)
        {
            return std::min<std::size_t>(anAnimation.myFrameCount, anAnimation.myFrames.size());
        }

        constexpr float FRAME_SNAP = 1e-4f;

        Vector3<float> Lerp(const Vector3<float>& aFrom, const Vector3<float>& aTo, float aFactor)
        {
            return aFrom + (aTo - aFrom) * aFactor;
        }
    }

    void AnimationPlayer::Init(std::shared_ptr<const Animation> anAnimation)
    {
        myAnimation = std::move(anAnimation);
        myFramesPerSecond = myAnimation ? myAnimation->myFramesPerSecond : 0.0f;
    }

    void AnimationPlayer::Update(float aDeltaTime)
    {
        if (myState != AnimationState::Playing && myState != AnimationState::Wrapped)
        {
            return;
        }
        if (!myAnimation || PlayableFrameCount(*myAnimation) == 0)
        {
            return;
        }

        const float duration = myAnimation->myDuration;
        if (!(duration > 0.0f) || !std::isfinite(duration))
        {
            // A clip of one pose has no length to advance through: it shows its first frame, and
            // one that does not loop is over at once.
            myTime = 0.0f;
            if (!myIsLooping)
            {
                myState = AnimationState::Ended;
            }
            UpdatePose();
            return;
        }

        myTime += aDeltaTime;
        if (!(myTime >= 0.0f) || !std::isfinite(myTime))
        {
            myTime = 0.0f;
        }
        if (myTime >= duration)
        {
            if (myIsLooping)
            {
                // The remainder of whole durations, however many the step spans.
                myTime = std::fmod(myTime, duration);
                myState = AnimationState::Wrapped;
            }
            else
            {
                myTime = duration;
                myState = AnimationState::Ended;
            }
        }
        UpdatePose();
    }

    void AnimationPlayer::UpdatePose()
    {
        if (!myAnimation)
        {
            return;
        }
        const std::size_t frameCount = PlayableFrameCount(*myAnimation);
        if (frameCount == 0)
        {
            return;
        }

        float position = myFramesPerSecond > 0.0f ? myTime * myFramesPerSecond : 0.0f;
        if (!(position >= 0.0f))
        {
            position = 0.0f;
        }
        std::size_t frame = frameCount - 1;
        float factor = 0.0f;
        if (position < static_cast<float>(frameCount))
        {
            // A time that is a whole frame in decimal lands a rounding step short of it in floats;
            // it shows that frame, so that a clip ended at its duration shows its last one.
            frame = std::min(static_cast<std::size_t>(position + FRAME_SNAP), frameCount - 1);
            factor = std::max(0.0f, position - static_cast<float>(frame));
        }
        std::size_t next = frame;
        if (myState != AnimationState::Ended)
        {
            next = frame + 1 == frameCount ? 0 : frame + 1;
        }

        const AnimationPose& from = myAnimation->myFrames[frame];
        const AnimationPose& to = myAnimation->myFrames[next];
        const std::int32_t jointCount = std::clamp<std::int32_t>(from.myJointCount, 0, MAX_ANIMATION_BONES);
        for (std::int32_t joint = 0; joint < jointCount; ++joint)
        {
            const JointTransform& a = from.myJoints[joint];
            JointTransform& result = myPose.myJoints[joint];
            if (!myIsInterpolating)
            {
                result = a;
                continue;
            }
            const JointTransform& b = to.myJoints[joint];
            result.myTranslation = Lerp(a.myTranslation, b.myTranslation, factor);
            result.myScale = Lerp(a.myScale, b.myScale, factor);
            result.myRotation = BlendQuaternions(a.myRotation, b.myRotation, factor);
        }
        myPose.myJointCount = jointCount;
    }
}
