#pragma once
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

#include <cstdint>

// One sprite of a menu screen with the data it draws with; centred on its position by default.
class MenuSprite
{
public:
    MenuSprite();

    // The colour texture, sRGB forced; the sprite keeps its size.
    void Load(const char* aPath);
    // Width and height of the loaded texture in pixels; 0, 0 before a load.
    Vra::Vector2f GetTextureSize() const;

    void Place(const Vra::Vector2f& aPosition, const Vra::Vector2f& aSize);
    // Centred on a w x h screen, the texture scaled to the screen's height (keeping its aspect).
    void FillHeight(float aWidth, float aHeight);
    // In a sprite batch of its own, with the engine's sprite drawer.
    void Draw() const;

    Vra::Sprite2DInstanceData& GetSprite() { return mySprite; }
    const Vra::Sprite2DInstanceData& GetSprite() const { return mySprite; }
    const Vra::SpriteSharedData& GetSpriteData() const { return mySpriteData; }

private:
    Vra::Sprite2DInstanceData mySprite;
    Vra::SpriteSharedData mySpriteData;
};

// The render size the menu screens lay themselves out for; 0 x 0 while no engine runs.
Vra::Vector2<std::uint32_t> MenuRenderSize();
