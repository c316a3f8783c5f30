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
            return Quaternion(sum.w / length, sum.x / length, sum.y / length, sum.z / length);
        }

        const float angle = std::acos(dot);
        const float sine = std::sin(angle);
        fromWeight = std::sin((1.0f - aFactor) * angle) / sine;
        toWeight = std::sin(aFactor * angle) / sine;
        return Quaternion(aFrom.w * fromWeight + to.w * toWeight, aFrom.x * fromWeight + to.x * toWeight,
                          aFrom.y * fromWeight + to.y * toWeight, aFrom.z * fromWeight + to.z * toWeight);
    }
}
