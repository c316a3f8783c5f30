#pragma once
#include "Math/Vector2.h"
#include "Math/Vector4.h"

#include <vector>

namespace Vra
{
    class TextureResource;
}

// One flip-book effect of the table: a sprite sheet cut into frames.
struct VfxDefinition
{
    Vra::TextureResource* myTexture = nullptr; // owned by the texture manager
    // Left u, top v, right u, bottom v; row by row from the top, each row left to right.
    std::vector<Vra::Vector4<float>> myFrames;
    float myFrameTime = 0.05f; // seconds each frame shows
    Vra::Vector2f myStartSize{ 36.0f, 36.0f };
    Vra::Vector2f myEndSize{ 36.0f, 36.0f };
    Vra::Vector2f myPivot{ 0.5f, 0.5f };
};
