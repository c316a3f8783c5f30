#pragma once

namespace Vra::Fbx
{
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
