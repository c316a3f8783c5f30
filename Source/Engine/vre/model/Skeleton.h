#pragma once
#include "Math/Matrix4x4.h"
#include "model/AnimationPose.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Vra
{
    struct Joint
    {
        Matrix4x4 myInverseBindMatrix; // model space to the joint's space at bind time
        std::int32_t myParent = -1;   // -1 for a root
        std::vector<std::uint32_t> myChildren;
        std::string myName; // the short name, after the file's namespace prefixes
    };

    // The joints of a skinned model in file order; a joint's index is its position.
    struct Skeleton
    {
        std::string myName;
        AnimationPose myBindPose; // each joint's model-space transform at bind time
        std::vector<Joint> myJoints;
        std::unordered_map<std::string, std::size_t> myJointIndexByName;
        // The joints' full names as the file gives them, in joint order, and their indices.
        std::vector<std::string> myFullNames;
        std::unordered_map<std::string, std::uint64_t> myJointIndexByFullName;
    };
}
