#include "Math/Matrix4x4.h"

#include "Assert.h"

#include <cmath>

namespace Vra
{
    namespace
    {
        // Determinant of the 3x3 matrix left when row aSkipRow and column aSkipColumn (0-based) are removed.
        float MinorDeterminant(const std::array<float, 16>& m, int aSkipRow, int aSkipColumn)
        {
            float minor[9];
            int count = 0;
            for (int row = 0; row < 4; ++row)
            {
                if (row == aSkipRow)
                {
                    continue;
                }
                for (int column = 0; column < 4; ++column)
                {
                    if (column != aSkipColumn)
                    {
                        minor[count++] = m[row * 4 + column];
                    }
                }
            }
            return minor[0] * (minor[4] * minor[8] - minor[5] * minor[7])
                 - minor[1] * (minor[3] * minor[8] - minor[5] * minor[6])
                 + minor[2] * (minor[3] * minor[7] - minor[4] * minor[6]);
        }
    }

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
        CU_ASSERT(aRow > 0 && aRow < 5 && aColumn > 0 && aColumn < 5 && "Argument out of bounds");
        return myElements[(aRow - 1) * 4 + (aColumn - 1)];
    }

    const float& Matrix4x4::operator()(int aRow, int aColumn) const
    {
        CU_ASSERT(aRow > 0 && aRow < 5 && aColumn > 0 && aColumn < 5 && "Argument out of bounds");
        return myElements[(aRow - 1) * 4 + (aColumn - 1)];
    }

    float& Matrix4x4::operator[](int anIndex)
    {
        CU_ASSERT(anIndex >= 0 && anIndex < 16);
        return myElements[anIndex];
    }

    const float& Matrix4x4::operator[](int anIndex) const
    {
        CU_ASSERT(anIndex >= 0 && anIndex < 16);
        return myElements[anIndex];
    }

    Matrix4x4 Matrix4x4::operator*(const Matrix4x4& aOther) const
    {
        Matrix4x4 result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k)
                {
                    sum += myElements[row * 4 + k] * aOther.myElements[k * 4 + column];
                }
                result.myElements[row * 4 + column] = sum;
            }
        }
        return result;
    }

    Matrix4x4& Matrix4x4::operator*=(const Matrix4x4& aOther)
    {
        *this = *this * aOther;
        return *this;
    }

    void Matrix4x4::SetTranslation(const Vector3<float>& aTranslation)
    {
        myElements[12] = aTranslation.x;
        myElements[13] = aTranslation.y;
        myElements[14] = aTranslation.z;
    }

    Vector3<float> Matrix4x4::TransformPoint(const Vector3<float>& aPoint) const
    {
        const Vector4<float> result = Vector4<float>(aPoint.x, aPoint.y, aPoint.z, 1.0f) * *this;
        return { result.x, result.y, result.z };
    }

    Vector3<float> Matrix4x4::TransformDirection(const Vector3<float>& aDirection) const
    {
        const Vector4<float> result = Vector4<float>(aDirection.x, aDirection.y, aDirection.z, 0.0f) * *this;
        return { result.x, result.y, result.z };
    }

    Matrix4x4 Matrix4x4::GetInverse(const Matrix4x4& aMatrix)
    {
        // Adjugate over determinant. A singular matrix is not caught: its inverse holds non-finite values.
        std::array<float, 16> cofactors;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                const float sign = ((row + column) % 2 == 0) ? 1.0f : -1.0f;
                cofactors[row * 4 + column] = sign * MinorDeterminant(aMatrix.myElements, row, column);
            }
        }
        const float determinant = aMatrix.myElements[0] * cofactors[0] + aMatrix.myElements[1] * cofactors[1]
                                + aMatrix.myElements[2] * cofactors[2] + aMatrix.myElements[3] * cofactors[3];
        const float inverseDeterminant = 1.0f / determinant;

        Matrix4x4 result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                result.myElements[row * 4 + column] = cofactors[column * 4 + row] * inverseDeterminant;
            }
        }
        return result;
    }

    Matrix4x4 Matrix4x4::GetTranspose(const Matrix4x4& aMatrix)
    {
        Matrix4x4 result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                result.myElements[row * 4 + column] = aMatrix.myElements[column * 4 + row];
            }
        }
        return result;
    }

    Matrix4x4 Matrix4x4::CreateTranslation(const Vector3<float>& aTranslation)
    {
        Matrix4x4 result;
        result.SetTranslation(aTranslation);
        return result;
    }

    Matrix4x4 Matrix4x4::CreateScale(const Vector3<float>& aScale)
    {
        Matrix4x4 result;
        result.myElements[0] = aScale.x;
        result.myElements[5] = aScale.y;
        result.myElements[10] = aScale.z;
        return result;
    }

    Matrix4x4 Matrix4x4::CreateRotationAroundX(float anAngle)
    {
        const float cosine = std::cos(anAngle);
        const float sine = std::sin(anAngle);
        Matrix4x4 result;
        result.myElements[5] = cosine;
        result.myElements[6] = sine;
        result.myElements[9] = -sine;
        result.myElements[10] = cosine;
        return result;
    }

    Matrix4x4 Matrix4x4::CreateRotationAroundY(float anAngle)
    {
        const float cosine = std::cos(anAngle);
        const float sine = std::sin(anAngle);
        Matrix4x4 result;
        result.myElements[0] = cosine;
        result.myElements[2] = -sine;
        result.myElements[8] = sine;
        result.myElements[10] = cosine;
        return result;
    }

    Matrix4x4 Matrix4x4::CreateRotationAroundZ(float anAngle)
    {
        const float cosine = std::cos(anAngle);
        const float sine = std::sin(anAngle);
        Matrix4x4 result;
        result.myElements[0] = cosine;
        result.myElements[1] = sine;
        result.myElements[4] = -sine;
        result.myElements[5] = cosine;
        return result;
    }

    Vector4<float> operator*(const Vector4<float>& aVector, const Matrix4x4& aMatrix)
    {
        const float* m = aMatrix.GetData();
        Vector4<float> result;
        result.x = aVector.x * m[0] + aVector.y * m[4] + aVector.z * m[8] + aVector.w * m[12];
        result.y = aVector.x * m[1] + aVector.y * m[5] + aVector.z * m[9] + aVector.w * m[13];
        result.z = aVector.x * m[2] + aVector.y * m[6] + aVector.z * m[10] + aVector.w * m[14];
        result.w = aVector.x * m[3] + aVector.y * m[7] + aVector.z * m[11] + aVector.w * m[15];
        return result;
    }
}
