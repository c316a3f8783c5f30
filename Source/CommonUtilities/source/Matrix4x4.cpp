#include "Matrix4x4.h"

#include "Assert.h"

namespace CommonUtilities
{
    Matrix4x4::Matrix4x4()
        : myElements{ 1.0f, 0.0f, 0.0f, 0.0f,
                      0.0f, 1.0f, 0.0f, 0.0f,
                      0.0f, 0.0f, 1.0f, 0.0f,
                      0.0f, 0.0f, 0.0f, 1.0f }
    {
    }

    Matrix4x4::Matrix4x4(const std::array<float, 16>& someElements)
        : myElements(someElements)
    {
    }

    float& Matrix4x4::operator()(int aRow, int aColumn)
    {
        CU_ASSERT(aRow > 0 && aRow < 5);
        CU_ASSERT(aColumn > 0 && aColumn < 5);
        return myElements[(aRow - 1) * 4 + (aColumn - 1)];
    }

    const float& Matrix4x4::operator()(int aRow, int aColumn) const
    {
        CU_ASSERT(aRow > 0 && aRow < 5);
        CU_ASSERT(aColumn > 0 && aColumn < 5);
        return myElements[(aRow - 1) * 4 + (aColumn - 1)];
    }

    Matrix4x4 operator*(const Matrix4x4& aFirst, const Matrix4x4& aSecond)
    {
        // The summation order is fixed so results round the same everywhere.
        Matrix4x4 result;
        for (int row = 1; row <= 4; ++row)
        {
            for (int column = 1; column <= 4; ++column)
            {
                result(row, column) = ((aFirst(row, 2) * aSecond(2, column) + aFirst(row, 1) * aSecond(1, column)) +
                                       aFirst(row, 3) * aSecond(3, column)) +
                                      aFirst(row, 4) * aSecond(4, column);
            }
        }
        return result;
    }

    Vector4 operator*(const Vector4& aVector, const Matrix4x4& aMatrix)
    {
        Vector4 result;
        float* const out[4] = { &result.x, &result.y, &result.z, &result.w };
        for (int column = 1; column <= 4; ++column)
        {
            *out[column - 1] = ((aVector.y * aMatrix(2, column) + aVector.x * aMatrix(1, column)) +
                                aVector.z * aMatrix(3, column)) +
                               aVector.w * aMatrix(4, column);
        }
        return result;
    }
}
