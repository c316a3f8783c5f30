#pragma once
#include "Vector4.h"

#include <array>

namespace CommonUtilities
{
    // 16 floats stored row by row. Points are row vectors (w = 1) multiplied from the left;
    // rows 1 to 3 are the axes and row 4 the translation.
    class Matrix4x4
    {
    public:
        // The identity.
        Matrix4x4();
        explicit Matrix4x4(const std::array<float, 16>& someElements);

        // Row and column from 1 to 4.
        float& operator()(int aRow, int aColumn);
        const float& operator()(int aRow, int aColumn) const;

        const std::array<float, 16>& GetElements() const { return myElements; }
        bool operator==(const Matrix4x4&) const = default;

    private:
        std::array<float, 16> myElements;
    };

    Matrix4x4 operator*(const Matrix4x4& aFirst, const Matrix4x4& aSecond);

    // aVector as a row vector times aMatrix.
    Vector4 operator*(const Vector4& aVector, const Matrix4x4& aMatrix);
}
