#pragma once
#include <cmath>

namespace Vra
{
    template <typename T>
    struct Vector4
    {
        T x{};
        T y{};
        T z{};
        T w{};

        constexpr Vector4() = default;
        constexpr Vector4(T aX, T aY, T aZ, T aW) : x(aX), y(aY), z(aZ), w(aW) {}

        constexpr Vector4 operator+(const Vector4& aOther) const { return { x + aOther.x, y + aOther.y, z + aOther.z, w + aOther.w }; }
        constexpr Vector4 operator-(const Vector4& aOther) const { return { x - aOther.x, y - aOther.y, z - aOther.z, w - aOther.w }; }
        constexpr Vector4 operator-() const { return { -x, -y, -z, -w }; }
        constexpr Vector4 operator*(T aScalar) const { return { x * aScalar, y * aScalar, z * aScalar, w * aScalar }; }
        constexpr Vector4 operator/(T aScalar) const { return { x / aScalar, y / aScalar, z / aScalar, w / aScalar }; }
        constexpr Vector4& operator+=(const Vector4& aOther) { x += aOther.x; y += aOther.y; z += aOther.z; w += aOther.w; return *this; }
        constexpr Vector4& operator-=(const Vector4& aOther) { x -= aOther.x; y -= aOther.y; z -= aOther.z; w -= aOther.w; return *this; }
        constexpr Vector4& operator*=(T aScalar) { x *= aScalar; y *= aScalar; z *= aScalar; w *= aScalar; return *this; }
        constexpr Vector4& operator/=(T aScalar) { x /= aScalar; y /= aScalar; z /= aScalar; w /= aScalar; return *this; }
        constexpr bool operator==(const Vector4&) const = default;

        constexpr T Dot(const Vector4& aOther) const { return x * aOther.x + y * aOther.y + z * aOther.z + w * aOther.w; }
        constexpr T LengthSqr() const { return Dot(*this); }
        T Length() const { return static_cast<T>(std::sqrt(LengthSqr())); }
    };

    template <typename T>
    constexpr Vector4<T> operator*(T aScalar, const Vector4<T>& aVector) { return aVector * aScalar; }

    using Vector4f = Vector4<float>;
}
