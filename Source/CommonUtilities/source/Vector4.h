#pragma once

namespace CommonUtilities
{
    class Vector4
    {
    public:
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;
        float w = 0.0f;

        constexpr Vector4() = default;
        constexpr Vector4(float aX, float aY, float aZ, float aW) : x(aX), y(aY), z(aZ), w(aW) {}

        constexpr Vector4 operator+(const Vector4& aOther) const { return { x + aOther.x, y + aOther.y, z + aOther.z, w + aOther.w }; }
        constexpr Vector4 operator-(const Vector4& aOther) const { return { x - aOther.x, y - aOther.y, z - aOther.z, w - aOther.w }; }
        constexpr Vector4 operator*(float aScalar) const { return { x * aScalar, y * aScalar, z * aScalar, w * aScalar }; }
        constexpr bool operator==(const Vector4&) const = default;

        constexpr float Dot(const Vector4& aOther) const { return x * aOther.x + y * aOther.y + z * aOther.z + w * aOther.w; }
    };
}
