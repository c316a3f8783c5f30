#include "objects/TextureLookup.h"

#include "Engine.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

Vra::TextureResource* LoadSrgbTexture(const char* aPath)
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (engine == nullptr || engine->GetTextureManager() == nullptr)
    {
        return nullptr;
    }
    return engine->GetTextureManager()->GetTexture(aPath, Vra::TextureSrgbMode::ForceSrgb, false);
}

Vra::Vector2<std::uint32_t> GetTextureSize(const Vra::TextureResource* aTexture)
{
    return aTexture != nullptr ? aTexture->GetSize() : Vra::Vector2<std::uint32_t>{};
}

Vra::SpriteDrawer* FindSpriteDrawer()
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (engine == nullptr || engine->GetGraphicsEngine() == nullptr)
    {
        return nullptr;
    }
    return &engine->GetGraphicsEngine()->GetSpriteDrawer();
}
