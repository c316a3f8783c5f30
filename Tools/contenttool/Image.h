#pragma once
#include "PaintTypes.h"

#include <vector>

namespace ContentTool
{
    // A picture being painted: premultiplied RGBA floats, row 0 at the top, pixel centres at +0.5.
    class Image
    {
    public:
        Image(int aWidth, int aHeight);

        int Width() const { return myWidth; }
        int Height() const { return myHeight; }

        // Premultiplied texel: r, g, b, a.
        float* At(int aX, int aY) { return &myTexels[(static_cast<std::size_t>(aY) * myWidth + aX) * 4]; }
        const float* At(int aX, int aY) const { return &myTexels[(static_cast<std::size_t>(aY) * myWidth + aX) * 4]; }
        Colour StraightAt(int aX, int aY) const;

        // Source-over of a straight colour whose alpha is further scaled by aCoverage.
        void Over(int aX, int aY, const Colour& aColour, float aCoverage)
        {
            const float alpha = aColour.a * aCoverage;
            if (alpha <= 0.0f)
            {
                return;
            }
            float* texel = At(aX, aY);
            const float keep = 1.0f - alpha;
            texel[0] = aColour.r * alpha + texel[0] * keep;
            texel[1] = aColour.g * alpha + texel[1] * keep;
            texel[2] = aColour.b * alpha + texel[2] * keep;
            texel[3] = alpha + texel[3] * keep;
        }

        void Clear(const Colour& aColour);
        // Places anOther over this picture with its top-left corner at (aX, aY), scaled by anOpacity.
        void Composite(const Image& anOther, int aX, int aY, float anOpacity = 1.0f);
        // Multiplies every texel's coverage by aMask(x, y) (pixel centre coordinates).
        template <class Mask>
        void MultiplyAlpha(Mask&& aMask)
        {
            for (int y = 0; y < myHeight; ++y)
            {
                for (int x = 0; x < myWidth; ++x)
                {
                    const float factor = Clamp01(aMask(x + 0.5f, y + 0.5f));
                    float* texel = At(x, y);
                    for (int c = 0; c < 4; ++c)
                    {
                        texel[c] *= factor;
                    }
                }
            }
        }
        // Bilinear premultiplied sample at pixel coordinates; outside the picture is transparent.
        void Sample(float aX, float aY, float* someOut) const;

    private:
        int myWidth;
        int myHeight;
        std::vector<float> myTexels;
    };

    struct Box
    {
        int myLeft = 0;
        int myTop = 0;
        int myRight = 0;  // exclusive
        int myBottom = 0; // exclusive
    };

    // The pixels whose centres may lie within aMargin of the rectangle (aMin, aMax), clipped to the image.
    Box BoundsOf(const Image& anImage, Vec2 aMin, Vec2 aMax, float aMargin = 2.0f);

    // Paints, over every pixel of aBox, aPaint(p) with the coverage of the shape whose signed
    // distance in pixels is aDistance(p) (negative inside): an anti-aliased edge one pixel wide.
    template <class Distance, class Paint>
    void FillShape(Image& anImage, const Box& aBox, Distance&& aDistance, Paint&& aPaint)
    {
        for (int y = aBox.myTop; y < aBox.myBottom; ++y)
        {
            for (int x = aBox.myLeft; x < aBox.myRight; ++x)
            {
                const Vec2 p{x + 0.5f, y + 0.5f};
                const float coverage = Clamp01(0.5f - aDistance(p));
                if (coverage > 0.0f)
                {
                    anImage.Over(x, y, aPaint(p), coverage);
                }
            }
        }
    }

    // Paints aPaint(p) with its own alpha over every pixel of aBox (glows, gradients).
    template <class Paint>
    void FillBox(Image& anImage, const Box& aBox, Paint&& aPaint)
    {
        for (int y = aBox.myTop; y < aBox.myBottom; ++y)
        {
            for (int x = aBox.myLeft; x < aBox.myRight; ++x)
            {
                anImage.Over(x, y, aPaint(Vec2{x + 0.5f, y + 0.5f}), 1.0f);
            }
        }
    }

    inline Box Whole(const Image& anImage) { return {0, 0, anImage.Width(), anImage.Height()}; }
}
