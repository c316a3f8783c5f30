#include "overlays/Transition.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/Camera.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureManager.h"

#include <algorithm>
#include <iostream>

Transition* Transition::GetInstance()
{
    // Never destroyed: screens may still reach it while the program ends.
    static Transition* const ourInstance = new Transition();
    return ourInstance;
}

Transition::Transition()
{
    myCoverSprite.myPosition = { 0.0f, 0.0f };
    myCoverSprite.myPivot = { 0.5f, 0.5f };
    myCoverSprite.mySize = { 1.0f, 1.0f };
}

void Transition::Init(const float& aSpeed, const float& anAcceleration)
{
    std::cout << "In Transition Init Start" << std::endl;
    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        const Vra::Vector2<std::uint32_t> renderSize = engine->GetRenderSize();
        OnResize(renderSize.x, renderSize.y);
        myCoverSpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(COVER_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
    }
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { OnResize(anEvent.myWidth, anEvent.myHeight); });
    mySpeed = aSpeed;
    myAcceleration = anAcceleration;
    myFadeSpeed = aSpeed * FADE_SPEED_FACTOR;
}

void Transition::OnResize(std::uint32_t aWidth, std::uint32_t aHeight)
{
    // Doubled as integers, as the cover has always been sized.
    myCoverWidth = static_cast<float>(aWidth * 2);
    myCoverHeight = static_cast<float>(aHeight * 2);
    myCoverSprite.mySize = { myCoverWidth, myCoverHeight };
}

void Transition::Start()
{
    if (myIsStarting)
    {
        return;
    }
    std::cout << "START TRANSITION" << std::endl;
    myIsStarting = true;
    myIsEnding = false;
    myProgress = 0.0f;
}

void Transition::End()
{
    if (myIsEnding)
    {
        return;
    }
    std::cout << "END TRANSITION" << std::endl;
    myIsEnding = true;
    myIsStarting = false;
    myProgress = 0.0f;
}

void Transition::FadeToBlack(std::function<void()> aCallback)
{
    if (myIsFadingToBlack)
    {
        return;
    }
    myIsFadingToBlack = true;
    myIsFadingFromBlack = false;
    myProgress = 0.0f;
    myOnCoveredCallback = std::move(aCallback);
}

void Transition::FadeFromBlack()
{
    if (myIsFadingFromBlack)
    {
        return;
    }
    myIsFadingFromBlack = true;
    myIsFadingToBlack = false;
    myProgress = 0.0f;
}

void Transition::SetCamera(std::shared_ptr<Vra::Camera> aCamera)
{
    myCamera = std::move(aCamera);
}

void Transition::CenterOnCamera()
{
    myShouldCenterOnCamera = true;
}

bool Transition::IsSweeping() const
{
    return myIsStarting || myIsEnding;
}

Vra::Vector3f Transition::GetCentre() const
{
    if (myCamera)
    {
        return myCamera->myTransform.GetTranslation();
    }
    return { myCoverWidth * 0.5f, myCoverHeight * 0.5f, 0.0f };
}

void Transition::Update(const float& aDeltaTime)
{
    const float step = std::min(aDeltaTime, MAX_STEP);
    if (!myIsStarting && !myIsEnding && !myIsFadingToBlack && !myIsFadingFromBlack)
    {
        return;
    }
    myIsHidden = false;
    myIsFinished = false;

    AdvanceSweep(step);

    if (myIsFadingToBlack)
    {
        if (FadeStep(step))
        {
            myIsFadingToBlack = false;
        }
    }
    else if (myIsFadingFromBlack)
    {
        if (FadeStep(step))
        {
            myIsFadingFromBlack = false;
        }
    }
}

void Transition::AdvanceSweep(float aDeltaTime)
{
    if (!myIsStarting && !myIsEnding)
    {
        return;
    }
    const Vra::Vector3f centre = GetCentre();
    myProgress += aDeltaTime * mySpeed;
    myProgress += myProgress * myAcceleration * aDeltaTime;
    if (myIsStarting)
    {
        if (myProgress >= 1.0f)
        {
            // The sprite stays where it was last placed, covering the screen.
            myProgress = 0.0f;
            myIsStarting = false;
            return;
        }
        mySweepPosition = { centre.x - myCoverWidth + myCoverWidth * myProgress, centre.y, centre.z };
        return;
    }
    if (myProgress >= 1.0f)
    {
        myProgress = 0.0f;
        myIsFinished = true;
        myIsEnding = false;
        return;
    }
    mySweepPosition = { centre.x + myCoverWidth * myProgress, centre.y, centre.z };
}

bool Transition::FadeStep(float aDeltaTime)
{
    myProgress += myFadeSpeed * aDeltaTime;
    if (myProgress >= FADE_END)
    {
        myProgress = 0.0f;
        myIsFinished = true;
        if (myIsFadingToBlack && myOnCoveredCallback)
        {
            // Runs once. The fade to black still counts as running during the call, so a
            // FadeToBlack from inside the callback is ignored like any other second request.
            const std::function<void()> callback = std::move(myOnCoveredCallback);
            myOnCoveredCallback = nullptr;
            callback();
        }
        return true;
    }
    float alpha = std::min(myProgress, 1.0f);
    if (myIsFadingFromBlack)
    {
        alpha = 1.0f - alpha;
    }
    myCoverSprite.myColor.a = alpha;
    return false;
}

void Transition::Render()
{
    if (myIsHidden)
    {
        myShouldCenterOnCamera = false;
        return;
    }
    if (myIsFinished)
    {
        // This is the last frame drawn; the sprite stays where it is.
        myIsHidden = true;
    }
    else if (myIsStarting || myIsEnding)
    {
        myCoverSprite.myPosition = { mySweepPosition.x, mySweepPosition.y };
        myCoverSprite.myColor.a = 1.0f;
    }
    else if (myIsFadingToBlack || myIsFadingFromBlack)
    {
        if (myShouldCenterOnCamera && myCamera)
        {
            const Vra::Vector3f cameraPosition = myCamera->myTransform.GetTranslation();
            myCoverSprite.myPosition = { cameraPosition.x, cameraPosition.y };
        }
        else
        {
            myCoverSprite.myPosition = { myCoverWidth * 0.5f, myCoverHeight * 0.5f };
        }
    }

    if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetGraphicsEngine() && Vra::DX11::BackBuffer)
    {
        Vra::GraphicsStateStack& stateStack = engine->GetGraphicsEngine()->GetGraphicsStateStack();
        stateStack.Push();
        Vra::DX11::BackBuffer->SetAsActiveTarget(nullptr);
        {
            Vra::SpriteBatchScope batch = engine->GetGraphicsEngine()->GetSpriteDrawer().BeginBatch(myCoverSpriteData);
            batch.Draw(myCoverSprite);
        }
        Vra::DX11::BackBuffer->SetAsActiveTarget(Vra::DX11::Depth);
        stateStack.Pop();
    }
    myShouldCenterOnCamera = false;
}
