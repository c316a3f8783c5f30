#include "Image.h"

namespace ContentTool
{
    Image::Image(int aWidth, int aHeight)
        : myWidth(aWidth)
        , myHeight(aHeight)
        , myTexels(static_cast<std::size_t>(aWidth) * aHeight * 4, 0.0f)
    {
    }

    Colour Image::StraightAt(int aX, int aY) const
    {
        const float* texel = At(aX, aY);
        if (texel[3] <= 0.0f)
        {
            return {0.0f, 0.0f, 0.0f, 0.0f};
        }
        return {texel[0] / texel[3], texel[1] / texel[3], texel[2] / texel[3], texel[3]};
    }

    void Image::Clear(const Colour& aColour)
    {
        for (std::size_t i = 0; i < myTexels.size(); i += 4)
        {
            myTexels[i] = aColour.r * aColour.a;
            myTexels[i + 1] = aColour.g * aColour.a;
            myTexels[i + 2] = aColour.b * aColour.a;
            myTexels[i + 3] = aColour.a;
        }
    }

    void Image::Composite(const Image& anOther, int aX, int aY, float anOpacity)
    {
        for (int y = std::max(0, aY); y < std::min(myHeight, aY + anOther.Height()); ++y)
        {
            for (int x = std::max(0, aX); x < std::min(myWidth, aX + anOther.Width()); ++x)
            {
                const float* source = anOther.At(x - aX, y - aY);
                float* texel = At(x, y);
                const float keep = 1.0f - source[3] * anOpacity;
                for (int c = 0; c < 4; ++c)
                {
                    texel[c] = source[c] * anOpacity + texel[c] * keep;
                }
            }
        }
    }

    void Image::Sample(float aX, float aY, float* someOut) const
    {
        const float fx = aX - 0.5f;
        const float fy = aY - 0.5f;
        const int x0 = static_cast<int>(std::floor(fx));
        const int y0 = static_cast<int>(std::floor(fy));
        const float tx = fx - x0;
        const float ty = fy - y0;
        for (int c = 0; c < 4; ++c)
        {
            someOut[c] = 0.0f;
        }
        for (int j = 0; j < 2; ++j)
        {
            for (int i = 0; i < 2; ++i)
            {
                const int x = x0 + i;
                const int y = y0 + j;
                if (x < 0 || y < 0 || x >= myWidth || y >= myHeight)
                {
                    continue;
                }
                const float weight = (i ? tx : 1.0f - tx) * (j ? ty : 1.0f - ty);
                const float* texel = At(x, y);
                for (int c = 0; c < 4; ++c)
                {
                    someOut[c] += texel[c] * weight;
                }
            }
        }
    }

    Box BoundsOf(const Image& anImage, Vec2 aMin, Vec2 aMax, float aMargin)
    {
        Box box;
        box.myLeft = std::max(0, static_cast<int>(std::floor(aMin.x - aMargin)));
        box.myTop = std::max(0, static_cast<int>(std::floor(aMin.y - aMargin)));
        box.myRight = std::min(anImage.Width(), static_cast<int>(std::ceil(aMax.x + aMargin)));
        box.myBottom = std::min(anImage.Height(), static_cast<int>(std::ceil(aMax.y + aMargin)));
        return box;
    }
}
