#pragma once
#include "Math/Vector2.h"
#include "stringRegistry/StringId.h"

namespace Vra
{
    // The value of a "Sprite" property: texture paths, drawn size and pivot.
    struct SceneSprite
    {
        // Slots in order: colour, normal, material, effects.
        static constexpr int TEXTURE_SLOT_COUNT = 4;

        StringId myTextures[TEXTURE_SLOT_COUNT];
        Vector2<float> mySize{100.0f, 100.0f};
        // In fractions of the drawn size from the top-left corner; (0.5, 0.5) centres the sprite.
        Vector2<float> myPivot{0.5f, 0.5f};
    };
}
