#pragma once
#include "Math/Matrix4x4.h"
#include "Math/Quaternion.h"
#include "Math/Vector3.h"

namespace Vra
{
    // One joint relative to its parent: scale, then rotation, then translation.
    struct JointTransform
    {
        Vector3<float> myTranslation{ 0.0f, 0.0f, 0.0f };
        Quaternion myRotation; // w first; the identity is (1, 0, 0, 0)
        Vector3<float> myScale{ 1.0f, 1.0f, 1.0f };

        // Scale times rotation, the translation in row 4.
        static Matrix4x4 ToMatrix(const JointTransform& aTransform, bool anIgnoreScale = false);
    };
}
