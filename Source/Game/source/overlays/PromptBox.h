#pragma once
#include "Math/Color.h"
#include "drawers/SpriteInstanceData.h"
#include "text/Text.h"

#include <string>

namespace CommonUtilities
{
    class InputHandler;
}

// One line of text in a dark box across the screen: tutorial prompts and short messages. A prompt
// stays for its duration, then fades out. The level code reaches the instance that Init
// registered through the static operations (which do nothing before an Init).
class PromptBox
{
public:
    static constexpr const char* BAR_TEXTURE = "sprites/S_VFX_Blackbar.dds";
    static constexpr const char* CAP_TEXTURE = "sprites/S_UI_DialogueBoxEnd.dds";
    static constexpr const char* FONT = "Text/CinzelDecorative-Bold.ttf";
    static constexpr float FADE_TIME = 0.999f;
    static constexpr float BOX_ALPHA = 0.95f;
    static constexpr float MESSAGE_HEIGHT_FACTOR = 0.3f;
    static constexpr float TUTORIAL_DURATION = 3600.0f;

    // The tutorial prompts by kind.
    enum TutorialKind : int
    {
        Walk = 0,
        Jump = 1,
        Dash = 2,
        Dive = 3,
        WallJump = 4,
        DoubleJump = 5,
        Squawk = 6,
    };

    PromptBox();
    ~PromptBox();
    PromptBox(const PromptBox&) = delete;
    PromptBox& operator=(const PromptBox&) = delete;

    // Takes the input (asked which device is in use), the font and the textures; registers this
    // box as the one the static operations act on.
    void Init(CommonUtilities::InputHandler& anInput);

    // Shows aText for aDuration seconds at aHeightFactor of the window's height.
    void Show(const std::string& aText, float aDuration, float aHeightFactor);

    static void ShowMessage(const std::string& aText, float aDuration);
    // Kinds 0 to 6, with the keyboard's or the gamepad's wording; other kinds do nothing.
    static void ShowTutorialPrompt(int aKind);
    // Fades the prompt out now, or hides it at the next update when aImmediately.
    static void Dismiss(bool aImmediately);
    static void SetEnabled(bool anIsEnabled);
    // Lays the box out again for a new screen size (after a display-mode change).
    static void SetScreenSize(float aWidth, float aHeight);
    static PromptBox* GetInstance() { return ourInstance; }

    // Advances by the engine's step.
    void Update();
    void Update(float aDeltaTime);
    void Render();

    bool IsVisible() const { return myIsVisible; }
    bool IsEnabled() const { return myIsEnabled; }
    const Vra::Text& GetText() const { return myText; }
    const Vra::Sprite2DInstanceData& GetBarSprite() const { return myBarSprite; }
    const Vra::Sprite2DInstanceData& GetLeftCapSprite() const { return myLeftCapSprite; }
    const Vra::Sprite2DInstanceData& GetRightCapSprite() const { return myRightCapSprite; }

private:
    static PromptBox* ourInstance;

    void LayOut(float aTextX, float aTextY);
    void ApplyColors();

    Vra::Text myText;
    float myDuration = 0.0f;
    float myElapsed = 0.0f;
    float myFadeTime = FADE_TIME;
    Vra::Color myTextColor{ 1.0f, 1.0f, 1.0f, 1.0f };
    Vra::Color myBoxColor{ 1.0f, 1.0f, 1.0f, BOX_ALPHA };
    float myBoxAlpha = BOX_ALPHA;
    bool myIsVisible = false;
    bool myIsEnabled = true;
    Vra::Sprite2DInstanceData myBarSprite;
    Vra::SpriteSharedData myBarSpriteData;
    Vra::Sprite2DInstanceData myLeftCapSprite;
    Vra::Sprite2DInstanceData myRightCapSprite;
    Vra::SpriteSharedData myCapSpriteData;
    CommonUtilities::InputHandler* myInput = nullptr;
};
