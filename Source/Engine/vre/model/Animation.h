#pragma once
#include "model/AnimationPose.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vra
{
    // The sampled poses of one animation file for one model (joint indices are the model's).
    struct Animation
    {
        std::vector<AnimationPose> myFrames;
        std::uint32_t myFrameCount = 0;
        float myFramesPerSecond = 0.0f;
        float myDuration = 0.0f; // seconds
        std::wstring myPath;
    };
}
