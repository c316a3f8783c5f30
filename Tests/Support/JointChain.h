#pragma once
#include "model/Skeleton.h"

#include <cstdint>

namespace TestSupport
{
    // A straight chain of joints along y, joint j at height j * aLength at bind time, each the
    // parent of the next.
    inline Vra::Skeleton MakeJointChain(std::size_t aCount, float aLength)
    {
        Vra::Skeleton skeleton;
        skeleton.myJoints.resize(aCount);
        for (std::size_t joint = 0; joint < aCount; ++joint)
        {
            skeleton.myJoints[joint].myParent = static_cast<std::int32_t>(joint) - 1;
            if (joint + 1 < aCount)
            {
                skeleton.myJoints[joint].myChildren = { static_cast<std::uint32_t>(joint + 1) };
            }
            const float height = aLength * static_cast<float>(joint);
            skeleton.myJoints[joint].myInverseBindMatrix = Vra::Matrix4x4::CreateTranslation({ 0.0f, -height, 0.0f });
            skeleton.myBindPose.myJoints[joint].myTranslation = { 0.0f, height, 0.0f };
        }
        skeleton.myBindPose.myJointCount = static_cast<std::int32_t>(aCount);
        return skeleton;
    }
}
