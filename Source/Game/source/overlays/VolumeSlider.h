#pragma once
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

namespace CommonUtilities
{
    class InputHandler;
}

// The options screen's master-volume slider: a bar and a handle placed at the audio manager's
// master volume. Left and right step it by 0.1; a held gamepad direction steps every 0.25 s.
class VolumeSlider
{
public:
    static constexpr const char* BAR_TEXTURE = "sprites/S_UI_Volumelider_Bar.dds";
    static constexpr const char* HANDLE_TEXTURE = "sprites/S_UI_Volumelider_Controller.dds";
    static constexpr float STEP = 0.1f;
    static constexpr float REPEAT_DELAY = 0.25f;

    VolumeSlider();

    // The bar's left end at aPosition, both sprites at their textures' sizes.
    void Init(const Vra::Vector2f& aPosition);
    Vra::Vector2f GetSize() const { return myBarSprite.mySize; }
    void Update(float aDeltaTime, CommonUtilities::InputHandler& anInput);
    void Render() const;

    const Vra::Sprite2DInstanceData& GetBarSprite() const { return myBarSprite; }
    const Vra::Sprite2DInstanceData& GetHandleSprite() const { return myHandleSprite; }

private:
    void PlaceHandle();

    Vra::Sprite2DInstanceData myBarSprite;
    Vra::SpriteSharedData myBarSpriteData;
    Vra::Sprite2DInstanceData myHandleSprite;
    Vra::SpriteSharedData myHandleSpriteData;
    float myRepeatTimer = 0.0f;
    float myRepeatDelay = REPEAT_DELAY;
    bool myCanStep = true;
};
