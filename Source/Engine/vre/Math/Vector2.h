#pragma once
#include <cmath>

namespace Vra
{
    template <typename T>
    struct Vector2
    {
        T x{};
        T y{};

        constexpr Vector2() = default;
        constexpr Vector2(T aX, T aY) : x(aX), y(aY) {}

        constexpr Vector2 operator+(const Vector2& aOther) const { return { x + aOther.x, y + aOther.y }; }
        constexpr Vector2 operator-(const Vector2& aOther) const { return { x - aOther.x, y - aOther.y }; }
        constexpr Vector2 operator-() const { return { -x, -y }; }
        constexpr Vector2 operator*(T aScalar) const { return { x * aScalar, y * aScalar }; }
        constexpr Vector2 operator/(T aScalar) const { return { x / aScalar, y / aScalar }; }
        constexpr Vector2& operator+=(const Vector2& aOther) { x += aOther.x; y += aOther.y; return *this; }
        constexpr Vector2& operator-=(const Vector2& aOther) { x -= aOther.x; y -= aOther.y; return *this; }
        constexpr Vector2& operator*=(T aScalar) { x *= aScalar; y *= aScalar; return *this; }
        constexpr Vector2& operator/=(T aScalar) { x /= aScalar; y /= aScalar; return *this; }
        constexpr bool operator==(const Vector2&) const = default;

        constexpr T Dot(const Vector2& aOther) const { return x * aOther.x + y * aOther.y; }
        constexpr T LengthSqr() const { return Dot(*this); }
        T Length() const { return static_cast<T>(std::sqrt(LengthSqr())); }
        // The zero vector stays zero rather than turning into NaNs.
        Vector2 GetNormalized() const
        {
            const T length = Length();
            return length == T{} ? Vector2{} : *this / length;
        }
    };

    template <typename T>
    constexpr Vector2<T> operator*(T aScalar, const Vector2<T>& aVector) { return aVector * aScalar; }

    using Vector2f = Vector2<float>;
}
