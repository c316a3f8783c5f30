#pragma once
#include "Math/Vector2.h"
#include "drawers/SpriteInstanceData.h"

#include <memory>

class Player;

namespace Vra
{
    class Camera;
}

// Letterbox bars that slide in above and below the camera while a black-bar event runs, and slow
// the bird to half speed while they are fully in.
class BlackBars
{
public:
    static constexpr const char* TEXTURE = "sprites/S_VFX_Blackbar.dds";
    static constexpr float BAR_WIDTH = 2000.0f;
    static constexpr float BAR_HEIGHT = 200.0f;
    static constexpr float BAR_Z = -900.0f;

    // Only the first call does anything: the bars keep the level camera for the level's life.
    void Init(std::shared_ptr<Vra::Camera> aCamera, Player* aPlayer);
    // Slides the bars in over aTime seconds; a time of 0 or less shows them at once.
    void Show(float aTime);
    // Slides them back out from where they are, and gives the bird its normal speed.
    void Hide();
    void Update(float aDeltaTime);
    void Render() const;

    bool IsShowing() const { return myIsShowing; }
    bool IsHiding() const { return myIsHiding; }
    bool IsInitialised() const { return myIsInitialised; }
    float GetProgress() const { return myProgress; }
    float GetTransitionTime() const { return myTransitionTime; }
    const Vra::Sprite3DInstanceData& GetUpperBar() const { return myUpperBar; }
    const Vra::Sprite3DInstanceData& GetLowerBar() const { return myLowerBar; }

private:
    void PlaceBars();

    std::shared_ptr<Vra::Camera> myCamera;
    Vra::Sprite3DInstanceData myUpperBar;
    Vra::Sprite3DInstanceData myLowerBar;
    Vra::SpriteSharedData mySpriteData;
    Player* myPlayer = nullptr;
    Vra::Vector2f myUpperHiddenOffset;
    Vra::Vector2f myUpperShownOffset;
    Vra::Vector2f myLowerHiddenOffset;
    Vra::Vector2f myLowerShownOffset;
    float myTransitionTime = 0.0f;
    float myProgress = 0.0f;
    float myBarWidth = BAR_WIDTH;
    float myBarHeight = BAR_HEIGHT;
    bool myIsInitialised = false;
    bool myIsHiding = false;
    bool myIsShowing = false;
};
