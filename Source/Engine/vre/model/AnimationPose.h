#pragma once
#include "model/JointTransform.h"
#include "model/ModelLimits.h"

#include <array>
#include <cstdint>

namespace Vra
{
    // One transform per joint: an animation frame, a player's current pose or a model's bind pose.
    struct AnimationPose
    {
        std::array<JointTransform, MAX_ANIMATION_BONES> myJoints{};
        std::int32_t myJointCount = 0;
    };

    // Joint matrices in model space, filled by walking the joint hierarchy.
    struct GlobalPose
    {
        std::array<Matrix4x4, MAX_ANIMATION_BONES> myJoints{};
        std::int32_t myJointCount = 0;
    };
}
