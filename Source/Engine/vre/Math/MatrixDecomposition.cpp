#include "Math/MatrixDecomposition.h"

#include <cmath>

namespace Vra
{
    void DecomposeMatrix(const Matrix4x4& aMatrix, Vector3<float>& aTranslation, Quaternion& aRotation, float aScale[3])
    {
        Vector3<float> axes[3];
        for (int row = 1; row <= 3; ++row)
        {
            const float a = aMatrix(row, 1);
            const float b = aMatrix(row, 2);
            const float c = aMatrix(row, 3);
            const float d = aMatrix(row, 4);
            const float scale = std::sqrt(a * a + b * b + c * c + d * d);
            aScale[row - 1] = scale;
            axes[row - 1] = Vector3<float>(a, b, c) / scale;
        }
        aRotation = QuaternionFromAxes(axes[0], axes[1], axes[2]);
        aTranslation = { aMatrix(4, 1), aMatrix(4, 2), aMatrix(4, 3) };
    }

    Quaternion QuaternionFromAxes(const Vector3<float>& aX, const Vector3<float>& aY, const Vector3<float>& aZ)
    {
        const float r00 = aX.x, r01 = aX.y, r02 = aX.z;
        const float r10 = aY.x, r11 = aY.y, r12 = aY.z;
        const float r20 = aZ.x, r21 = aZ.y, r22 = aZ.z;

        // Build from the largest of the four candidates for numerical stability; ties keep the earlier one.
        const float candidates[4] = {
            r00 + r11 + r22,
            r00 - r11 - r22,
            r11 - r00 - r22,
            r22 - r00 - r11,
        };
        int largest = 0;
        for (int i = 1; i < 4; ++i)
        {
            if (candidates[i] > candidates[largest])
            {
                largest = i;
            }
        }

        const float v = 0.5f * std::sqrt(candidates[largest] + 1.0f);
        const float f = 0.25f / v;
        switch (largest)
        {
        case 0:
            return { v, (r12 - r21) * f, (r20 - r02) * f, (r01 - r10) * f };
        case 1:
            return { (r12 - r21) * f, v, (r01 + r10) * f, (r20 + r02) * f };
        case 2:
            return { (r20 - r02) * f, (r01 + r10) * f, v, (r12 + r21) * f };
        default:
            return { (r01 - r10) * f, (r20 + r02) * f, (r12 + r21) * f, v };
        }
    }
}
