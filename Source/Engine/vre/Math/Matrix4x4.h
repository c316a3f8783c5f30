#pragma once
#include "Math/Vector3.h"
#include "Math/Vector4.h"

#include <array>

namespace Vra
{
    // 16 floats stored row by row. Points are row vectors multiplied from the left, so A * B
    // applies A first and the translation lies in row 4.
    class Matrix4x4
    {
    public:
        // The identity.
        Matrix4x4();
        explicit Matrix4x4(const std::array<float, 16>& someElements);

        // Row and column from 1 to 4.
        float& operator()(int aRow, int aColumn);
        const float& operator()(int aRow, int aColumn) const;

        // Storage index from 0 to 15, row by row.
        float& operator[](int anIndex);
        const float& operator[](int anIndex) const;

        const float* GetData() const { return myElements.data(); }
        float* GetData() { return myElements.data(); }
        const std::array<float, 16>& GetElements() const { return myElements; }

        Matrix4x4 operator*(const Matrix4x4& aOther) const;
        Matrix4x4& operator*=(const Matrix4x4& aOther);
        bool operator==(const Matrix4x4&) const = default;

        Vector3<float> GetTranslation() const { return { myElements[12], myElements[13], myElements[14] }; }
        void SetTranslation(const Vector3<float>& aTranslation);

        // aPoint with w = 1, times this matrix.
        Vector3<float> TransformPoint(const Vector3<float>& aPoint) const;
        // aDirection with w = 0: the translation does not apply.
        Vector3<float> TransformDirection(const Vector3<float>& aDirection) const;

        static Matrix4x4 GetInverse(const Matrix4x4& aMatrix);
        static Matrix4x4 GetTranspose(const Matrix4x4& aMatrix);
        static Matrix4x4 CreateTranslation(const Vector3<float>& aTranslation);
        static Matrix4x4 CreateScale(const Vector3<float>& aScale);
        // Angles in radians, counter-clockwise when looking down the axis toward the origin.
        static Matrix4x4 CreateRotationAroundX(float anAngle);
        static Matrix4x4 CreateRotationAroundY(float anAngle);
        static Matrix4x4 CreateRotationAroundZ(float anAngle);

    private:
        std::array<float, 16> myElements;
    };

    static_assert(sizeof(Matrix4x4) == 16 * sizeof(float), "matrices are uploaded to the GPU as 16 floats");

    // aVector as a row vector times aMatrix.
    Vector4<float> operator*(const Vector4<float>& aVector, const Matrix4x4& aMatrix);
}
