#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ContentTool
{
    struct Vec2
    {
        float x = 0.0f;
        float y = 0.0f;
    };

    inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
    inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
    inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
    inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
    inline float Length(Vec2 a) { return std::sqrt(Dot(a, a)); }
    inline Vec2 Rotate(Vec2 a, float anAngle)
    {
        const float c = std::cos(anAngle);
        const float s = std::sin(anAngle);
        return {a.x * c - a.y * s, a.x * s + a.y * c};
    }

    inline float Clamp01(float aValue) { return std::clamp(aValue, 0.0f, 1.0f); }
    inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
    inline float SmoothStep(float anEdge0, float anEdge1, float aValue)
    {
        const float t = Clamp01((aValue - anEdge0) / (anEdge1 - anEdge0));
        return t * t * (3.0f - 2.0f * t);
    }

    // Straight (not premultiplied) colour, channels 0..1 as they are stored (sRGB-encoded).
    struct Colour
    {
        float r = 0.0f;
        float g = 0.0f;
        float b = 0.0f;
        float a = 1.0f;
    };

    inline Colour Mix(const Colour& a, const Colour& b, float t)
    {
        return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
    }
    inline Colour WithAlpha(Colour aColour, float anAlpha)
    {
        aColour.a = anAlpha;
        return aColour;
    }
    inline Colour Scaled(Colour aColour, float aFactor)
    {
        return {aColour.r * aFactor, aColour.g * aFactor, aColour.b * aFactor, aColour.a};
    }
    // Colour from 0xRRGGBB.
    inline Colour Hex(std::uint32_t aRgb, float anAlpha = 1.0f)
    {
        return {((aRgb >> 16) & 0xff) / 255.0f, ((aRgb >> 8) & 0xff) / 255.0f, (aRgb & 0xff) / 255.0f, anAlpha};
    }
}
