#pragma once

namespace Vra::Fbx
{
    // Four doubles; points and directions read from a file carry 1 in the fourth component.
    class Vector4
    {
    public:
        constexpr Vector4() = default;
        constexpr Vector4(double aX, double aY, double aZ, double aW = 1.0) : myData{ aX, aY, aZ, aW } {}

        constexpr double& operator[](int anIndex) { return myData[anIndex]; }
        constexpr double operator[](int anIndex) const { return myData[anIndex]; }
        constexpr bool operator==(const Vector4&) const = default;

        double myData[4] = { 0.0, 0.0, 0.0, 0.0 };
    };
}
