#include "overlays/DrawSprite.h"

#include "drawers/SpriteDrawer.h"

void DrawSprite(Vra::SpriteDrawer& aSpriteDrawer, const Vra::SpriteSharedData& aSharedData, const Vra::Sprite2DInstanceData& aSprite)
{
    Vra::SpriteBatchScope batch = aSpriteDrawer.BeginBatch(aSharedData);
    batch.Draw(aSprite);
}
