#pragma once
#include <cmath>

namespace Vra
{
    // Rotation quaternion, stored scalar part first.
    struct Quaternion
    {
        float w = 1.0f;
        float x = 0.0f;
        float y = 0.0f;
        float z = 0.0f;

        constexpr Quaternion() = default;
        constexpr Quaternion(float aW, float aX, float aY, float aZ) : w(aW), x(aX), y(aY), z(aZ) {}

        constexpr bool operator==(const Quaternion&) const = default;

        constexpr float Dot(const Quaternion& aOther) const { return w * aOther.w + x * aOther.x + y * aOther.y + z * aOther.z; }
        float Length() const { return std::sqrt(Dot(*this)); }
    };
}
