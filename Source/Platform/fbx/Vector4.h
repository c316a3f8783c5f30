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

    // A texture coordinate as the file stores it (v upwards).
    struct Vector2
    {
        double myData[2] = { 0.0, 0.0 };
        constexpr double& operator[](int anIndex) { return myData[anIndex]; }
        constexpr double operator[](int anIndex) const { return myData[anIndex]; }
        constexpr bool operator==(const Vector2&) const = default;
    };

    // Red, green, blue, alpha; the default is opaque white.
    struct Color
    {
        double myRed = 1.0;
        double myGreen = 1.0;
        double myBlue = 1.0;
        double myAlpha = 1.0;
        constexpr double operator[](int anIndex) const
        {
            return anIndex == 0 ? myRed : anIndex == 1 ? myGreen : anIndex == 2 ? myBlue : myAlpha;
        }
        constexpr bool operator==(const Color&) const = default;
    };
}
