#pragma once
#include "Math/Color.h"
#include "drawers/SpriteInstanceData.h"
#include "text/Text.h"

#include <string>
#include <vector>

// The run time as MM:SS.mmm in the lower left corner, after an optional countdown of 3, 2, 1 in
// the middle of the screen. The menus and the level reach the instance that Init registered
// through the static operations (which do nothing before an Init).
class SpeedrunTimer
{
public:
    static constexpr const char* BAR_TEXTURE = "sprites/S_VFX_Blackbar.dds";
    static constexpr const char* FONT = "Text/CinzelDecorative-Bold.ttf";
    static constexpr float MAX_TIME = 5999.999f;
    static constexpr float COUNTDOWN = 3.0f;
    static constexpr int DIGIT_COUNT = 9;

    SpeedrunTimer();
    ~SpeedrunTimer();
    SpeedrunTimer(const SpeedrunTimer&) = delete;
    SpeedrunTimer& operator=(const SpeedrunTimer&) = delete;

    // Stops the run, builds the texts and the bar for the window's size and registers this timer.
    void Init();

    // A run from 0, after a 3 s countdown when asked for.
    static void Start(bool aWithCountdown);
    // Freezes and hides the display; the time stays until the next Start.
    static void Stop();
    static void SetPaused(bool anIsPaused);
    // Whether the level allows the display now.
    static void SetDisplayActive(bool anIsActive);
    // The user's speedrun-mode option.
    static bool IsVisible();
    static void ToggleVisible();
    static void SetScreenSize(float aWidth, float aHeight);
    static SpeedrunTimer* GetInstance() { return ourInstance; }

    // Advances by the engine's step.
    void Update();
    void Update(float aDeltaTime);
    void Render();

    float GetTime() const { return myTime; }
    float GetCountdown() const { return myCountdown; }
    bool IsRunning() const { return myIsRunning; }
    // What the nine digit texts show together, e.g. "01:15.250".
    std::string GetDisplayedTime() const;
    const Vra::Text& GetDigit(int anIndex) const { return myDigits[anIndex]; }
    const Vra::Text& GetCountdownText() const { return myCountdownText; }
    const Vra::Sprite2DInstanceData& GetBarSprite() const { return myBarSprite; }

private:
    static SpeedrunTimer* ourInstance;

    // Lays the digits and the countdown out; returns the width they take with their spacing.
    float LayOutTexts(float aWidth, float aHeight);
    void ShowTime();

    std::vector<Vra::Text> myDigits;
    Vra::Text myCountdownText;
    bool myIsVisibleOption = false;
    bool myIsRunning = false;
    bool myIsDisplayActive = false;
    bool myIsPaused = false;
    float myTime = 0.0f;
    float myCountdown = 0.0f;
    Vra::Sprite2DInstanceData myBarSprite;
    Vra::SpriteSharedData myBarSpriteData;
    Vra::Color myTextColor{ 1.0f, 1.0f, 1.0f, 1.0f };
};
