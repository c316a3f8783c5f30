#pragma once
#include <cmath>

namespace CommonUtilities
{
    template <typename T>
    class Vector3
    {
    public:
        T x;
        T y;
        T z;

        constexpr Vector3() : x(), y(), z() {}
        constexpr Vector3(T aX, T aY, T aZ) : x(aX), y(aY), z(aZ) {}

        constexpr Vector3 operator+(const Vector3& aOther) const { return { x + aOther.x, y + aOther.y, z + aOther.z }; }
        constexpr Vector3 operator-(const Vector3& aOther) const { return { x - aOther.x, y - aOther.y, z - aOther.z }; }
        constexpr Vector3 operator-() const { return { -x, -y, -z }; }
        constexpr Vector3 operator*(T aScalar) const { return { x * aScalar, y * aScalar, z * aScalar }; }
        constexpr Vector3 operator/(T aScalar) const { return { x / aScalar, y / aScalar, z / aScalar }; }
        constexpr Vector3& operator+=(const Vector3& aOther) { x += aOther.x; y += aOther.y; z += aOther.z; return *this; }
        constexpr Vector3& operator-=(const Vector3& aOther) { x -= aOther.x; y -= aOther.y; z -= aOther.z; return *this; }
        constexpr Vector3& operator*=(T aScalar) { x *= aScalar; y *= aScalar; z *= aScalar; return *this; }
        constexpr Vector3& operator/=(T aScalar) { x /= aScalar; y /= aScalar; z /= aScalar; return *this; }
        constexpr bool operator==(const Vector3&) const = default;

        constexpr T Dot(const Vector3& aOther) const { return x * aOther.x + y * aOther.y + z * aOther.z; }
        constexpr Vector3 Cross(const Vector3& aOther) const
        {
            return { y * aOther.z - z * aOther.y, z * aOther.x - x * aOther.z, x * aOther.y - y * aOther.x };
        }
        constexpr T LengthSqr() const { return Dot(*this); }
        T Length() const { return static_cast<T>(std::sqrt(LengthSqr())); }
        // The zero vector stays zero rather than turning into NaNs.
        Vector3 GetNormalized() const
        {
            const T length = Length();
            return length == T() ? Vector3() : *this / length;
        }
    };

    template <typename T>
    constexpr Vector3<T> operator*(T aScalar, const Vector3<T>& aVector) { return aVector * aScalar; }

    using Vector3f = Vector3<float>;
}
