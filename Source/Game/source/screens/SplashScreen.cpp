#include "screens/SplashScreen.h"

#include "screens/MenuNavigation.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"

void SplashScreen::Init()
{
    myLogos.clear();
    myIsFinished = false;
    myShownLogo = -1;
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine)
    {
        return;
    }
    const Vra::Vector2<std::uint32_t> renderSize = engine->GetRenderSize();
    for (const char* texture : LOGO_TEXTURES)
    {
        Logo logo;
        logo.mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(texture, Vra::TextureSrgbMode::ForceSrgb, false);
        const Vra::Vector2<std::uint32_t> size = logo.mySpriteData.myColorTexture->GetSize();
        logo.mySprite.myPosition = { static_cast<float>(renderSize.x) * 0.5f, static_cast<float>(renderSize.y) * 0.5f };
        logo.mySprite.myPivot = { 0.5f, 0.5f };
        logo.mySprite.mySize = { static_cast<float>(size.x), static_cast<float>(size.y) };
        myLogos.push_back(logo);
    }
    for (Logo& logo : myLogos)
    {
        logo.myTimer = 0.0f;
    }
}

void SplashScreen::Update(Vra::SpriteDrawer* aDrawer, float aDeltaTime, const CommonUtilities::InputHandler& anInput)
{
    myShownLogo = -1;
    if (MenuNavigation::IsBackPressed(anInput))
    {
        myIsFinished = true;
        return;
    }
    for (std::size_t index = 0; index < myLogos.size(); ++index)
    {
        Logo& logo = myLogos[index];
        if (logo.myTimer < myDisplayTime)
        {
            if (aDrawer)
            {
                Vra::SpriteBatchScope batch = aDrawer->BeginBatch(logo.mySpriteData);
                batch.Draw(logo.mySprite);
            }
            logo.myTimer += aDeltaTime;
            myShownLogo = static_cast<int>(index);
            return;
        }
    }
    myIsFinished = true;
}
