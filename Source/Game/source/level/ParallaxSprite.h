#pragma once
#include "drawers/SpriteInstanceData.h"

#include <cstdint>

// One flat piece of scenery in a parallax layer.
struct ParallaxSprite
{
    Vra::Sprite3DInstanceData mySprite;
    float myBaseX = 0.0f;
    float myBaseY = 0.0f;
    // The authored z plus a small random offset that breaks ties between sprites at equal z.
    float myDepth = 0.0f;
    float myUnused[2] = {};
    float myAuthoredZ = 0.0f;
    std::int32_t myTextureIndex = 0;
    // The bounds' centre and half size, for culling against the view.
    float myCenterX = 0.0f;
    float myCenterY = 0.0f;
    float myHalfWidth = 0.0f;
    float myHalfHeight = 0.0f;
};
