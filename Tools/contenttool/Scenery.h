#pragma once
#include "Image.h"
#include "Noise.h"

#include <cstdint>

namespace ContentTool
{
    // Landscape pieces shared by the menu backgrounds, the parallax layers and the intro frames.

    // A mountain or hill line: the top edge at y = myBase - myAmplitude * noise(x), filled below.
    struct RidgeStyle
    {
        float myBase = 0.0f;       // pixels from the top
        float myAmplitude = 100.0f; // pixels
        float myWavelength = 400.0f; // pixels per noise cell
        int myOctaves = 4;
        float myJaggedness = 0.5f; // 0 rounded hills .. 1 sharp ridges
        std::uint32_t mySeed = 1;
        Colour myTop;    // body colour at the ridge
        Colour myBottom; // body colour at the image's bottom
        Colour mySnow = {0.0f, 0.0f, 0.0f, 0.0f}; // caps on the high ground; alpha 0 for none
        float mySnowDepth = 0.0f; // how far below the peaks' level the caps reach (0..1 of the amplitude)
        Colour myRim = {0.0f, 0.0f, 0.0f, 0.0f};  // light on slopes facing left (the moon's side); alpha 0 for none
        int myPeriod = 0; // when non-zero the line repeats every myPeriod noise cells (wrapping strips)
    };

    float RidgeHeight(const RidgeStyle& aStyle, float aX);
    void PaintRidge(Image& anImage, const RidgeStyle& aStyle);

    // Twinkling points over the band 0..aBottom, brighter near the top.
    void PaintStars(Image& anImage, std::uint32_t aSeed, int aCount, float aBottom, float aBrightness);
    void PaintMoon(Image& anImage, Vec2 aCentre, float aRadius);
    // Curtains of polar light along a wavy line.
    void PaintAurora(Image& anImage, float aBaseY, float aHeight, std::uint32_t aSeed, const Colour& aLow, const Colour& aHigh, float aStrength);
    // Soft clouds: noise above a threshold, over the band aTop..aBottom.
    void PaintClouds(Image& anImage, float aTop, float aBottom, std::uint32_t aSeed, const Colour& aColour, float aCover);

    // A snowy fir with its trunk's foot at aFoot.
    struct PineStyle
    {
        Colour myNeedles;
        Colour myShade;
        Colour mySnow;
        Colour myTrunk;
        int myTiers = 6;
    };
    void PaintPine(Image& anImage, Vec2 aFoot, float aHeight, const PineStyle& aStyle, std::uint32_t aSeed);

    // Darkens towards the corners; aStrength 0..1.
    void PaintVignette(Image& anImage, float aStrength);

    // The night of the menu and the intro: sky with stars, aurora and moon, two mountain ranges,
    // firs in two distances and a field of snow.
    void PaintNightSky(Image& anImage, std::uint32_t aSeed);
    RidgeStyle FarRange(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed);
    RidgeStyle NearRange(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed);
    RidgeStyle SnowField(float aBase, float anAmplitude, float aWavelength, std::uint32_t aSeed);
    extern const PineStyle FAR_FIRS;
    extern const PineStyle NEAR_FIRS;
}
