#pragma once
#include "drawers/SpriteInstanceData.h"

#include <cstdint>

struct VfxDefinition;

// One live effect. Its definition stays in the manager's table for the program's life.
struct VfxInstance
{
    const VfxDefinition* myDefinition = nullptr;
    Vra::Sprite2DInstanceData mySprite;
    Vra::SpriteSharedData mySharedData;
    float myFrameTimer = 0.0f; // seconds since the current frame began
    float myElapsed = 0.0f;    // seconds since the spawn
    float myLifetime = 0.0f;   // frame count times frame time, fixed at the spawn
    std::int32_t myFrame = 0;
    bool myIsActive = true;
    bool myIsLooping = false;
};
