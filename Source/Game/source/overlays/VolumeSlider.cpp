#include "overlays/VolumeSlider.h"

#include "audio/AudioManager.h"
#include "overlays/DrawSprite.h"

#include "Engine.h"
#include "InputHandler.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "graphics/TextureResource.h"
#include "input/Gamepad.h"
#include "window/VirtualKeys.h"

namespace
{
    Vra::Sprite2DInstanceData MakeSliderSprite()
    {
        Vra::Sprite2DInstanceData sprite;
        sprite.myPosition = { 0.0f, 0.0f };
        sprite.myPivot = { 0.5f, 0.5f };
        sprite.mySize = { 1.0f, 1.0f };
        return sprite;
    }

    // The sprite takes the texture's size in pixels.
    void TakeTexture(const char* aPath, Vra::SpriteSharedData& aSharedData, Vra::Sprite2DInstanceData& aSprite)
    {
        Vra::Engine* const engine = Vra::Engine::GetInstance();
        if (!engine)
        {
            return;
        }
        aSharedData.myColorTexture = engine->GetTextureManager()->GetTexture(aPath, Vra::TextureSrgbMode::ForceSrgb, false);
        const Vra::Vector2<std::uint32_t> size = aSharedData.myColorTexture->GetSize();
        aSprite.mySize = { static_cast<float>(size.x), static_cast<float>(size.y) };
    }
}

VolumeSlider::VolumeSlider()
    : myBarSprite(MakeSliderSprite()),
      myHandleSprite(MakeSliderSprite())
{
}

void VolumeSlider::Init(const Vra::Vector2f& aPosition)
{
    TakeTexture(BAR_TEXTURE, myBarSpriteData, myBarSprite);
    myBarSprite.myPivot = { 0.0f, 0.5f };
    myBarSprite.myPosition = aPosition;
    TakeTexture(HANDLE_TEXTURE, myHandleSpriteData, myHandleSprite);
    myHandleSprite.myPivot = { 0.5f, 0.5f };
    PlaceHandle();
}

void VolumeSlider::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    if (!myCanStep)
    {
        myRepeatTimer += aDeltaTime;
        if (myRepeatTimer >= myRepeatDelay)
        {
            myRepeatTimer = 0.0f;
            myCanStep = true;
        }
    }

    AudioManager& audio = AudioManager::GetInstance();
    const bool isLeft = anInput.IsKeyPressed(Platform::VK_LEFT) || anInput.GetLeftStickDirection().myLeft || anInput.IsButtonHeld(Platform::GAMEPAD_DPAD_LEFT);
    const bool isRight = !isLeft && (anInput.IsKeyPressed(Platform::VK_RIGHT) || anInput.GetLeftStickDirection().myRight || anInput.IsButtonHeld(Platform::GAMEPAD_DPAD_RIGHT));
    if ((isLeft || isRight) && myCanStep)
    {
        audio.SetMasterVolume(audio.GetMasterVolume() + (isLeft ? -STEP : STEP));
        // A held stick or button steps again after the delay; every key press steps once.
        if (!anInput.IsKeyboardMouseActive())
        {
            myRepeatTimer = 0.0f;
            myCanStep = false;
        }
    }
    PlaceHandle();
}

void VolumeSlider::PlaceHandle()
{
    myHandleSprite.myPosition = { myBarSprite.myPosition.x + AudioManager::GetInstance().GetMasterVolume() * myBarSprite.mySize.x, myBarSprite.myPosition.y };
}

void VolumeSlider::Render() const
{
    Vra::Engine* const engine = Vra::Engine::GetInstance();
    if (!engine || !engine->GetGraphicsEngine())
    {
        return;
    }
    Vra::SpriteDrawer& drawer = engine->GetGraphicsEngine()->GetSpriteDrawer();
    DrawSprite(drawer, myBarSpriteData, myBarSprite);
    DrawSprite(drawer, myHandleSpriteData, myHandleSprite);
}
