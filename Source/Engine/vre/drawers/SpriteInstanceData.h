#pragma once
#include "Math/Color.h"
#include "Math/Matrix4x4.h"
#include "Math/Vector2.h"
#include "Math/Vector4.h"

namespace Vra
{
    class TextureResource;
    class SpriteShader;

    // What a whole batch shares. Missing textures are replaced by the defaults, a missing shader by
    // the drawer's own.
    struct SpriteSharedData
    {
        TextureResource* myColorTexture = nullptr;
        TextureResource* myNormalTexture = nullptr;
        TextureResource* myMaterialTexture = nullptr;
        TextureResource* myEffectsTexture = nullptr;
        SpriteShader* myCustomShader = nullptr;
    };

    // A sprite placed in the drawing space by position, pivot, size and rotation.
    struct Sprite2DInstanceData
    {
        Vector2<float> myPosition;
        // The point of the sprite, in fractions of its drawn size measured rightward and downward
        // from its top-left corner, that lands on the position.
        Vector2<float> myPivot;
        Vector2<float> mySize;
        // A negative x mirrors the sprite about its pivot.
        Vector2<float> myScale{ 1.0f, 1.0f };
        // Handed to the shader as is; (0, 0, 1, 1) shows the whole quad.
        Vector4<float> myClipRectangle{ 0.0f, 0.0f, 1.0f, 1.0f };
        // sRGB red, green and blue.
        Color myColor{ 1.0f, 1.0f, 1.0f, 1.0f };
        // Left u, top v, right u, bottom v.
        Vector4<float> myTextureRectangle{ 0.0f, 0.0f, 1.0f, 1.0f };
        // Radians, counter-clockwise about the pivot.
        float myRotation = 0.0f;
        bool myIsHidden = false;
    };

    // A sprite whose transform alone places, sizes and turns the unit quad.
    struct Sprite3DInstanceData
    {
        Matrix4x4 myTransform;
        Vector4<float> myClipRectangle{ 0.0f, 0.0f, 1.0f, 1.0f };
        Color myColor{ 1.0f, 1.0f, 1.0f, 1.0f };
        Vector4<float> myTextureRectangle{ 0.0f, 0.0f, 1.0f, 1.0f };
        bool myIsHidden = false;
    };

    // One instance as the sprite shaders read it: seven four-float columns.
    struct SpriteInstance
    {
        float myWorld[16];
        // Linear red, green, blue; alpha.
        float myColor[4];
        float myClipRectangle[4];
        // Left u, bottom v, right u, top v.
        float myTextureRectangle[4];
    };

    static_assert(sizeof(SpriteInstance) == 112, "the sprite input layout reads 112-byte instances");
}
