#pragma once
#include "Math/Vector3.h"
#include "drawers/SpriteInstanceData.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Vra
{
    class Camera;
}

// Hides screen changes behind one large black sprite: a sweep slides it over the screen and off
// again (level start and end), a fade keeps it centred and changes its alpha (the menus). A fade to
// black runs its callback once the screen is covered. Drawn after everything else each frame.
class Transition
{
public:
    static constexpr const char* COVER_TEXTURE = "sprites/S_VFX_Blackbar.dds";
    // The longest step one update takes, in seconds.
    static constexpr float MAX_STEP = 0.1f;
    static constexpr float FADE_SPEED_FACTOR = 3.5f;
    // A fade runs its progress to this value: the screen stays black for the last part.
    static constexpr float FADE_END = 1.2f;

    // The game's one transition, made on the first call and never destroyed.
    static Transition* GetInstance();

    // Hidden, with no speed until Init. Tests make their own.
    Transition();
    Transition(const Transition&) = delete;
    Transition& operator=(const Transition&) = delete;

    // Sizes the cover at twice the render size, follows resizes and takes the speeds.
    void Init(const float& aSpeed, const float& anAcceleration);

    // The sweep that covers the screen; ignored while it runs.
    void Start();
    // The sweep that reveals the screen; ignored while it runs.
    void End();
    // Ignored, callback and all, while a fade to black runs.
    void FadeToBlack(std::function<void()> aCallback);
    void FadeFromBlack();

    void SetCamera(std::shared_ptr<Vra::Camera> aCamera);
    // For the next Render only: centre the fade on the camera.
    void CenterOnCamera();
    bool IsSweeping() const;

    // Advances the running phases by at most MAX_STEP.
    void Update(const float& aDeltaTime);
    // Draws the cover into the back buffer with the current camera.
    void Render();

    const Vra::Sprite2DInstanceData& GetCoverSprite() const { return myCoverSprite; }
    const Vra::SpriteSharedData& GetCoverSpriteData() const { return myCoverSpriteData; }
    float GetProgress() const { return myProgress; }
    bool IsHidden() const { return myIsHidden; }
    bool IsFading() const { return myIsFadingToBlack || myIsFadingFromBlack; }

private:
    void OnResize(std::uint32_t aWidth, std::uint32_t aHeight);
    void AdvanceSweep(float aDeltaTime);
    bool FadeStep(float aDeltaTime);
    Vra::Vector3f GetCentre() const;

    EventBusCallback<ResizeEvent> myResizeListener;
    std::function<void()> myOnCoveredCallback;
    std::shared_ptr<Vra::Camera> myCamera;
    Vra::Sprite2DInstanceData myCoverSprite;
    Vra::SpriteSharedData myCoverSpriteData;
    float myCoverWidth = 0.0f;
    float myCoverHeight = 0.0f;
    Vra::Vector3f mySweepPosition;
    float mySpeed = 0.0f;
    float myFadeSpeed = 0.0f;
    float myProgress = 0.0f;
    float myAcceleration = 0.0f;
    bool myIsEnding = false;
    bool myIsStarting = false;
    bool myIsFinished = false;
    bool myIsFadingFromBlack = false;
    bool myIsFadingToBlack = false;
    bool myIsHidden = true;
    bool myShouldCenterOnCamera = false;
};
