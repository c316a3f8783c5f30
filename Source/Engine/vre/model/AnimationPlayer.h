#pragma once
#include "model/Animation.h"
#include "model/AnimationPose.h"
#include "model/AnimationState.h"

#include <memory>

namespace Vra
{
    // Plays one animation: advances time, wraps or stops at the end and samples the pose between
    // the two neighbouring frames. A player without animation (or with an empty one) stays still.
    class AnimationPlayer
    {
    public:
        // Takes the animation and its frame rate; the previous one is released.
        void Init(std::shared_ptr<const Animation> anAnimation);

        // Only while playing (states 2 and 6): advances, wraps or ends, then samples the pose.
        void Update(float aDeltaTime);
        // Samples the pose at the current time.
        void UpdatePose();

        // The owner starts a clip with time 0 and state Playing.
        void SetTime(float aTime) { myTime = aTime; }
        float GetTime() const { return myTime; }
        void SetState(AnimationState aState) { myState = aState; }
        AnimationState GetState() const { return myState; }
        void SetLooping(bool aLoop) { myIsLooping = aLoop; }
        bool IsLooping() const { return myIsLooping; }
        void SetInterpolate(bool anInterpolate) { myIsInterpolating = anInterpolate; }
        bool IsInterpolating() const { return myIsInterpolating; }
        float GetFramesPerSecond() const { return myFramesPerSecond; }

        const std::shared_ptr<const Animation>& GetAnimation() const { return myAnimation; }
        bool HasAnimation() const { return myAnimation != nullptr; }
        const AnimationPose& GetPose() const { return myPose; }

    private:
        std::shared_ptr<const Animation> myAnimation;
        float myTime = 0.0f;
        bool myIsLooping = false;
        bool myIsInterpolating = true;
        float myFramesPerSecond = 0.0f;
        AnimationState myState = AnimationState::New;
        AnimationPose myPose;
    };
}
