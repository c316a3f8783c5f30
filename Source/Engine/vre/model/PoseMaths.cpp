#include "model/PoseMaths.h"

#include <cmath>
#include <cstring>

namespace Vra
{
    namespace
    {
        // Four floats in one register where the target has them; the compiler falls back to
        // scalar code where it has none.
        typedef float Lanes __attribute__((vector_size(16)));

        Lanes LoadRow(const float* someFloats)
        {
            Lanes row;
            std::memcpy(&row, someFloats, sizeof(row));
            return row;
        }

        // Threshold on the dot product below which the blend turns spherical: 1 - 0.9995 as
        // single-precision arithmetic gives it.
        constexpr float SPHERICAL_BLEND_LIMIT = 0.00050002337f;
    }

    // Every row of the second matrix is read before anything is written, and a result row is
    // written only after the same row of the first was read, so the result may alias either.
    void Multiply(const Matrix4x4& aFirst, const Matrix4x4& aSecond, Matrix4x4& aResult)
    {
        const float* first = aFirst.GetData();
        const float* second = aSecond.GetData();
        const Lanes rows[4] = { LoadRow(second), LoadRow(second + 4), LoadRow(second + 8), LoadRow(second + 12) };
        float* result = aResult.GetData();
        for (int row = 0; row < 4; ++row)
        {
            const float* a = first + row * 4;
            const Lanes sum = a[0] * rows[0] + a[1] * rows[1] + a[2] * rows[2] + a[3] * rows[3];
            std::memcpy(result + row * 4, &sum, sizeof(sum));
        }
    }

    // The same order of reads and writes as Multiply, so the result may alias either operand.
    void MultiplyAffine(const Matrix4x4& aFirst, const Matrix4x4& aSecond, Matrix4x4& aResult)
    {
        const float* first = aFirst.GetData();
        const float* second = aSecond.GetData();
        const Lanes rows[4] = { LoadRow(second), LoadRow(second + 4), LoadRow(second + 8), LoadRow(second + 12) };
        float* result = aResult.GetData();
        for (int row = 0; row < 3; ++row)
        {
            const float* a = first + row * 4;
            const Lanes sum = a[0] * rows[0] + a[1] * rows[1] + a[2] * rows[2];
            std::memcpy(result + row * 4, &sum, sizeof(sum));
        }
        const Lanes last = first[12] * rows[0] + first[13] * rows[1] + first[14] * rows[2] + rows[3];
        std::memcpy(result + 12, &last, sizeof(last));
    }

    bool IsAffine(const Matrix4x4& aMatrix)
    {
        const float* m = aMatrix.GetData();
        return m[3] == 0.0f && m[7] == 0.0f && m[11] == 0.0f && m[15] == 1.0f;
    }

    void ComposeJoint(const JointTransform& aTransform, const Matrix4x4& aParent, Matrix4x4& aResult)
    {
        const Quaternion& q = aTransform.myRotation;
        const Vector3<float>& s = aTransform.myScale;
        const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
        const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
        const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;

        const float* parent = aParent.GetData();
        const Lanes rows[4] = { LoadRow(parent), LoadRow(parent + 4), LoadRow(parent + 8), LoadRow(parent + 12) };
        // The rows of JointTransform::ToMatrix, each times the parent.
        const Lanes result[4] = {
            ((1.0f - 2.0f * (yy + zz)) * s.x) * rows[0] + (2.0f * (xy + wz) * s.x) * rows[1] + (2.0f * (xz - wy) * s.x) * rows[2],
            (2.0f * (xy - wz) * s.y) * rows[0] + ((1.0f - 2.0f * (xx + zz)) * s.y) * rows[1] + (2.0f * (yz + wx) * s.y) * rows[2],
            (2.0f * (xz + wy) * s.z) * rows[0] + (2.0f * (yz - wx) * s.z) * rows[1] + ((1.0f - 2.0f * (xx + yy)) * s.z) * rows[2],
            aTransform.myTranslation.x * rows[0] + aTransform.myTranslation.y * rows[1] + aTransform.myTranslation.z * rows[2] + rows[3],
        };
        std::memcpy(aResult.GetData(), result, sizeof(result));
    }

    void MultiplyAssign(Matrix4x4& aMatrix, const Matrix4x4& anOther)
    {
        Multiply(aMatrix, anOther, aMatrix);
    }

    Quaternion BlendQuaternions(const Quaternion& aFrom, const Quaternion& aTo, float aFactor)
    {
        Quaternion to = aTo;
        float dot = aFrom.Dot(to);
        if (dot < 0.0f)
        {
            to = Quaternion(-to.w, -to.x, -to.y, -to.z);
            dot = -dot;
        }

        float fromWeight = 1.0f - aFactor;
        float toWeight = aFactor;
        if (dot > SPHERICAL_BLEND_LIMIT)
        {
            const Quaternion sum(aFrom.w * fromWeight + to.w * toWeight, aFrom.x * fromWeight + to.x * toWeight,
                                 aFrom.y * fromWeight + to.y * toWeight, aFrom.z * fromWeight + to.z * toWeight);
            const float length = sum.Length();
            if (!(length > 0.0f))
            {
                return aFrom;
            }
            const float inverse = 1.0f / length;
            return Quaternion(sum.w * inverse, sum.x * inverse, sum.y * inverse, sum.z * inverse);
        }

        const float angle = std::acos(dot);
        const float sine = std::sin(angle);
        fromWeight = std::sin((1.0f - aFactor) * angle) / sine;
        toWeight = std::sin(aFactor * angle) / sine;
        return Quaternion(aFrom.w * fromWeight + to.w * toWeight, aFrom.x * fromWeight + to.x * toWeight,
                          aFrom.y * fromWeight + to.y * toWeight, aFrom.z * fromWeight + to.z * toWeight);
    }
}
