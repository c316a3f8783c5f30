#include "model/JointTransform.h"

namespace Vra
{
    Matrix4x4 JointTransform::ToMatrix(const JointTransform& aTransform, bool anIgnoreScale)
    {
        const Quaternion& q = aTransform.myRotation;
        const Vector3<float> scale = anIgnoreScale ? Vector3<float>(1.0f, 1.0f, 1.0f) : aTransform.myScale;
        const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
        const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
        const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;

        // Scale times rotation: each rotation row scaled by its axis.
        Matrix4x4 result;
        float* m = result.GetData();
        m[0] = (1.0f - 2.0f * (yy + zz)) * scale.x;
        m[1] = 2.0f * (xy + wz) * scale.x;
        m[2] = 2.0f * (xz - wy) * scale.x;
        m[4] = 2.0f * (xy - wz) * scale.y;
        m[5] = (1.0f - 2.0f * (xx + zz)) * scale.y;
        m[6] = 2.0f * (yz + wx) * scale.y;
        m[8] = 2.0f * (xz + wy) * scale.z;
        m[9] = 2.0f * (yz - wx) * scale.z;
        m[10] = (1.0f - 2.0f * (xx + yy)) * scale.z;
        m[12] = aTransform.myTranslation.x;
        m[13] = aTransform.myTranslation.y;
        m[14] = aTransform.myTranslation.z;
        return result;
    }
}
