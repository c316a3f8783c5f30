#pragma once
#include "Math/Vector2.h"

#include <cstdint>

namespace Vra
{
    class SpriteDrawer;
    class TextureResource;
}

// The engine's services as the level's objects use them; without a started engine (tests, tools)
// there is no texture and nothing to draw with, and the objects go on without.
Vra::TextureResource* LoadSrgbTexture(const char* aPath);
// Zero without a texture.
Vra::Vector2<std::uint32_t> GetTextureSize(const Vra::TextureResource* aTexture);
Vra::SpriteDrawer* FindSpriteDrawer();
