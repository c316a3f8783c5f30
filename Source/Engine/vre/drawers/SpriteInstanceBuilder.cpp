#include "drawers/SpriteInstanceBuilder.h"

#include <cmath>

namespace Vra::impl
{
    namespace
    {
        // aRow (four floats) = aFirst * rowA + aSecond * rowB of aTransform, rows from 0.
        inline void CombineRows(float* aRow, float aFirst, int aRowA, float aSecond, int aRowB, const float* aTransform)
        {
            const float* rowA = aTransform + aRowA * 4;
            const float* rowB = aTransform + aRowB * 4;
            for (int column = 0; column < 4; ++column)
            {
                aRow[column] = aFirst * rowA[column] + aSecond * rowB[column];
            }
        }
    }

    void SpriteInstanceBuilder::Build(const Sprite2DInstanceData& aSprite, const Matrix4x4& aTransform, SpriteInstance& anInstance)
    {
        const float width = aSprite.mySize.x * aSprite.myScale.x;
        const float height = aSprite.mySize.y * aSprite.myScale.y;
        const float cosine = std::cos(aSprite.myRotation);
        const float sine = std::sin(aSprite.myRotation);
        const float pivotX = aSprite.myPivot.x;
        const float pivotY = aSprite.myPivot.y;
        const float translationX = aSprite.myPosition.x - pivotX * cosine * width - pivotY * sine * height;
        const float translationY = aSprite.myPosition.y - pivotX * sine * width + pivotY * cosine * height;

        // The local matrix has rows (c w, s w, 0, 0), (-s h, c h, 0, 0), (0, 0, 1, 0), (tx, ty, 0, 1);
        // its product with the transform is written row by row without forming it.
        const float* transform = aTransform.GetData();
        float* world = anInstance.myWorld;
        CombineRows(world, cosine * width, 0, sine * width, 1, transform);
        CombineRows(world + 4, -sine * height, 0, cosine * height, 1, transform);
        for (int column = 0; column < 4; ++column)
        {
            world[8 + column] = transform[8 + column];
            world[12 + column] = translationX * transform[column] + translationY * transform[4 + column] + transform[12 + column];
        }

        WriteAppearance(aSprite.myColor, aSprite.myClipRectangle, aSprite.myTextureRectangle, anInstance);
    }

    void SpriteInstanceBuilder::Build(const Sprite3DInstanceData& aSprite, const Matrix4x4& aTransform, SpriteInstance& anInstance)
    {
        const Matrix4x4 world = aSprite.myTransform * aTransform;
        const float* elements = world.GetData();
        for (int index = 0; index < 16; ++index)
        {
            anInstance.myWorld[index] = elements[index];
        }
        WriteAppearance(aSprite.myColor, aSprite.myClipRectangle, aSprite.myTextureRectangle, anInstance);
    }

    void SpriteInstanceBuilder::WriteAppearance(const Color& aColor, const Vector4<float>& aClipRectangle,
                                                const Vector4<float>& aTextureRectangle, SpriteInstance& anInstance)
    {
        if (!(aColor.r == myLastColor.r && aColor.g == myLastColor.g && aColor.b == myLastColor.b))
        {
            myLastColor = aColor;
            myLastLinear[0] = Vra::SrgbToLinear(aColor.r);
            myLastLinear[1] = Vra::SrgbToLinear(aColor.g);
            myLastLinear[2] = Vra::SrgbToLinear(aColor.b);
        }
        anInstance.myColor[0] = myLastLinear[0];
        anInstance.myColor[1] = myLastLinear[1];
        anInstance.myColor[2] = myLastLinear[2];
        anInstance.myColor[3] = aColor.a;

        anInstance.myClipRectangle[0] = aClipRectangle.x;
        anInstance.myClipRectangle[1] = aClipRectangle.y;
        anInstance.myClipRectangle[2] = aClipRectangle.z;
        anInstance.myClipRectangle[3] = aClipRectangle.w;

        anInstance.myTextureRectangle[0] = aTextureRectangle.x;
        anInstance.myTextureRectangle[1] = aTextureRectangle.w;
        anInstance.myTextureRectangle[2] = aTextureRectangle.z;
        anInstance.myTextureRectangle[3] = aTextureRectangle.y;
    }
}
