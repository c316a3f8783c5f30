#pragma once
#include "drawers/SpriteInstanceData.h"

namespace Vra
{
    class SpriteDrawer;
}

// One sprite record with one sprite data, in a batch of its own.
void DrawSprite(Vra::SpriteDrawer& aSpriteDrawer, const Vra::SpriteSharedData& aSharedData, const Vra::Sprite2DInstanceData& aSprite);
