#pragma once
#include "drawers/SpriteInstanceData.h"

namespace Vra::impl
{
    // Turns the records callers fill into the instances the sprite shaders read. Keeps the last
    // colour it converted, since the sprites of a batch (a text's glyphs, a particle burst) mostly
    // share one.
    class SpriteInstanceBuilder
    {
    public:
        // Local quad placement times aTransform.
        void Build(const Sprite2DInstanceData& aSprite, const Matrix4x4& aTransform, SpriteInstance& anInstance);
        // aSprite's own transform times aTransform.
        void Build(const Sprite3DInstanceData& aSprite, const Matrix4x4& aTransform, SpriteInstance& anInstance);

    private:
        void WriteAppearance(const Color& aColor, const Vector4<float>& aClipRectangle,
                             const Vector4<float>& aTextureRectangle, SpriteInstance& anInstance);

        Color myLastColor{ 1.0f, 1.0f, 1.0f, 1.0f };
        float myLastLinear[3] = { 1.0f, 1.0f, 1.0f };
    };
}
