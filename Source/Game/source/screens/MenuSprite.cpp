#include "screens/MenuSprite.h"

#include "overlays/DrawSprite.h"

#include "Engine.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

MenuSprite::MenuSprite()
{
    mySprite.myPivot = { 0.5f, 0.5f };
    mySprite.mySize = { 1.0f, 1.0f };
}

void MenuSprite::Load(const char* aPath)
{
    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(aPath, Vra::TextureSrgbMode::ForceSrgb, false);
    }
}

Vra::Vector2f MenuSprite::GetTextureSize() const
{
    if (!mySpriteData.myColorTexture)
    {
        return {};
    }
    const Vra::Vector2<std::uint32_t> size = mySpriteData.myColorTexture->GetSize();
    return { static_cast<float>(size.x), static_cast<float>(size.y) };
}

void MenuSprite::Place(const Vra::Vector2f& aPosition, const Vra::Vector2f& aSize)
{
    mySprite.myPosition = aPosition;
    mySprite.mySize = aSize;
}

void MenuSprite::FillHeight(float aWidth, float aHeight)
{
    const Vra::Vector2f texture = GetTextureSize();
    const float scale = texture.y > 0.0f ? aHeight / texture.y : 0.0f;
    Place({ aWidth * 0.5f, aHeight * 0.5f }, texture * scale);
}

void MenuSprite::Draw() const
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    DrawSprite(engine->GetGraphicsEngine()->GetSpriteDrawer(), mySpriteData, mySprite);
}

Vra::Vector2<std::uint32_t> MenuRenderSize()
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    return engine ? engine->GetRenderSize() : Vra::Vector2<std::uint32_t>{};
}
