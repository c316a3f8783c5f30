#include "overlays/Checkbox.h"

#include "overlays/DrawSprite.h"

#include "Engine.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

void Checkbox::Init(const Vra::Vector2f& aPosition, bool anIsChecked)
{
    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        Vra::TextureManager& textures = *engine->GetTextureManager();
        myUncheckedSpriteData.myColorTexture = textures.GetTexture(UNCHECKED_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
        myCheckedSpriteData.myColorTexture = textures.GetTexture(CHECKED_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
        const Vra::Vector2<std::uint32_t> textureSize = myUncheckedSpriteData.myColorTexture->GetSize();
        mySprite.mySize = { static_cast<float>(textureSize.x / 2), static_cast<float>(textureSize.y / 2) };
    }
    mySprite.myPivot = { 0.0f, 0.5f };
    mySprite.myPosition = aPosition;
    myIsChecked = anIsChecked;
}

void Checkbox::Render() const
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    DrawSprite(engine->GetGraphicsEngine()->GetSpriteDrawer(), GetCurrentSpriteData(), mySprite);
}
