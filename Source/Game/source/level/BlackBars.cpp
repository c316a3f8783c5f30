#include "level/BlackBars.h"

#include "player/Player.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/Camera.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"

namespace
{
    float Lerp(float aFrom, float aTo, float aFraction)
    {
        return aFrom + (aTo - aFrom) * aFraction;
    }
}

void BlackBars::Init(std::shared_ptr<Vra::Camera> aCamera, Player* aPlayer)
{
    if (myIsInitialised)
    {
        return;
    }
    myIsInitialised = true;
    const Vra::Matrix4x4 scale = Vra::Matrix4x4::CreateScale({ myBarWidth, myBarHeight, 1.0f });
    myUpperBar.myTransform = scale * myUpperBar.myTransform;
    myLowerBar.myTransform = scale * myLowerBar.myTransform;
    myUpperHiddenOffset = { -1000.0f, 700.0f };
    myUpperShownOffset = { -1000.0f, 500.0f };
    myLowerHiddenOffset = { -1000.0f, -500.0f };
    myLowerShownOffset = { -1000.0f, -300.0f };
    myCamera = std::move(aCamera);
    if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
    {
        mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(TEXTURE, Vra::TextureSrgbMode::ForceSrgb);
    }
    myProgress = 0.0f;
    myIsHiding = false;
    myIsShowing = false;
    myPlayer = aPlayer;
}

void BlackBars::Show(float aTime)
{
    myTransitionTime = aTime;
    myIsShowing = true;
    myIsHiding = false;
}

void BlackBars::Hide()
{
    myIsHiding = true;
    myIsShowing = false;
    if (myPlayer)
    {
        myPlayer->SetSpeedFactor(false);
    }
}

void BlackBars::Update(float aDeltaTime)
{
    if (myIsShowing)
    {
        if (myProgress >= myTransitionTime)
        {
            myProgress = myTransitionTime;
            if (myPlayer)
            {
                myPlayer->SetSpeedFactor(true);
            }
        }
        else
        {
            myProgress += aDeltaTime;
        }
        PlaceBars();
    }
    else if (myIsHiding)
    {
        if (myProgress <= 0.0f)
        {
            myProgress = 0.0f;
            myIsHiding = false;
            return;
        }
        myProgress -= aDeltaTime;
        PlaceBars();
    }
}

void BlackBars::PlaceBars()
{
    // A slide time of 0 or less has no in-between: the bars stand fully in.
    float fraction = myTransitionTime > 0.0f ? myProgress / myTransitionTime : 1.0f;
    fraction = fraction < 0.0f ? 0.0f : (fraction > 1.0f ? 1.0f : fraction);
    Vra::Vector2f camera;
    if (myCamera)
    {
        const Vra::Vector3f translation = myCamera->myTransform.GetTranslation();
        camera = { translation.x, translation.y };
    }
    const Vra::Vector2f upperHidden = camera + myUpperHiddenOffset;
    const Vra::Vector2f upperShown = camera + myUpperShownOffset;
    const Vra::Vector2f lowerHidden = camera + myLowerHiddenOffset;
    const Vra::Vector2f lowerShown = camera + myLowerShownOffset;
    myUpperBar.myTransform.SetTranslation({ Lerp(upperHidden.x, upperShown.x, fraction), Lerp(upperHidden.y, upperShown.y, fraction), BAR_Z });
    myLowerBar.myTransform.SetTranslation({ Lerp(lowerHidden.x, lowerShown.x, fraction), Lerp(lowerHidden.y, lowerShown.y, fraction), BAR_Z });
}

void BlackBars::Render() const
{
    if (!myIsShowing && !myIsHiding)
    {
        return;
    }
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    Vra::SpriteDrawer& drawer = engine->GetGraphicsEngine()->GetSpriteDrawer();
    {
        Vra::SpriteBatchScope batch = drawer.BeginBatch(mySpriteData);
        batch.Draw(myUpperBar);
    }
    Vra::SpriteBatchScope batch = drawer.BeginBatch(mySpriteData);
    batch.Draw(myLowerBar);
}
