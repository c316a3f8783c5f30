#pragma once
#include "drawers/SpriteInstanceData.h"

#include <vector>

namespace CommonUtilities
{
    class InputHandler;
}

namespace Vra
{
    class SpriteDrawer;
}

// Three logos, one after another, each for DISPLAY_TIME seconds, centred on the screen at their
// textures' sizes. Escape or START skips them all. The main menu runs it before its buttons.
class SplashScreen
{
public:
    static constexpr float DISPLAY_TIME = 2.0f;
    static constexpr const char* LOGO_TEXTURES[] = { "sprites/vra-splash-logo.dds", "sprites/S_UI_StudioLogo.dds", "sprites/FMOD.dds" };

    struct Logo
    {
        Vra::Sprite2DInstanceData mySprite;
        Vra::SpriteSharedData mySpriteData;
        // Seconds the logo has been shown.
        float myTimer = 0.0f;
    };

    // The logos for the engine's render size, none shown yet.
    void Init();
    // Draws the current logo with aDrawer (nothing without one) and advances it by aDeltaTime.
    void Update(Vra::SpriteDrawer* aDrawer, float aDeltaTime, const CommonUtilities::InputHandler& anInput);
    bool IsFinished() const { return myIsFinished; }

    const std::vector<Logo>& GetLogos() const { return myLogos; }
    // The logo the last update drew; -1 when it drew none.
    int GetShownLogo() const { return myShownLogo; }

private:
    std::vector<Logo> myLogos;
    float myDisplayTime = DISPLAY_TIME;
    bool myIsFinished = false;
    int myShownLogo = -1;
};
