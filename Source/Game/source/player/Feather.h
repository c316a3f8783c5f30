#pragma once
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

// One feather of a burst: flies up and out, falls, turns, grows, reddens and fades.
struct Feather
{
    Vra::Sprite2DInstanceData mySprite;
    Vra::Vector2<float> myVelocity;
    // Radians per second.
    float myAngularSpeed = 0.0f;
    float myAge = 0.0f;
    float myLifetime = 0.0f;
    float myStartScale = 0.0f;
    float myEndScale = 0.0f;
    bool myIsAlive = false;
};
