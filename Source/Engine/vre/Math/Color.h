#pragma once
#include <cmath>

namespace Vra
{
    // Colours are given in sRGB; the renderer linearises where it needs to.
    struct Color
    {
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 0.0f;

        constexpr Color() = default;
        constexpr Color(float aRed, float aGreen, float aBlue, float aAlpha = 1.0f)
            : r(aRed), g(aGreen), b(aBlue), a(aAlpha) {}

        constexpr bool operator==(const Color&) const = default;
    };

    // One sRGB-encoded channel in linear light (the standard piecewise curve).
    inline float SrgbToLinear(float aValue)
    {
        return aValue < 0.04045f ? aValue / 12.92f : std::pow((aValue + 0.055f) / 1.055f, 2.4f);
    }
}
