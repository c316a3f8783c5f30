#pragma once

namespace Vra::Fbx
{
    // A texture coordinate as the file stores it (v upwards).
    struct Vector2
    {
        double myData[2] = { 0.0, 0.0 };
        constexpr double& operator[](int anIndex) { return myData[anIndex]; }
        constexpr double operator[](int anIndex) const { return myData[anIndex]; }
        constexpr bool operator==(const Vector2&) const = default;
    };
}
