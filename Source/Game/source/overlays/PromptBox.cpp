#include "overlays/PromptBox.h"

#include "overlays/DrawSprite.h"
#include "overlays/ScreenOverlayScope.h"

#include "Engine.h"
#include "InputHandler.h"
#include "graphics/TextureManager.h"

#include <array>

PromptBox* PromptBox::ourInstance = nullptr;

namespace
{
    struct TutorialTexts
    {
        const char* myKeyboard;
        const char* myGamepad;
    };

    constexpr std::array<TutorialTexts, 7> TUTORIAL_TEXTS{ {
        { "Press Left & Right to Move", "Use Left Stick to Move" },
        { "Press Z to Jump", "Press A to Jump" },
        { "Press C to Dash", "Use RB to Dash" },
        { "Press X to Dive", "Press X to Dive" },
        { "Press Z to Wall Jump", "Press A to Wall Jump" },
        { "Press Z to Double Jump", "Press A to Double Jump" },
        { "Press SPACE to Squawk", "Press Y to Squawk" },
    } };

    Vra::Sprite2DInstanceData MakeBoxSprite()
    {
        Vra::Sprite2DInstanceData sprite;
        sprite.myPivot = { 0.5f, 0.5f };
        return sprite;
    }

    Vra::Vector2<std::uint32_t> WindowSize()
    {
        const Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine ? engine->GetConfiguration().myWindowSize : Vra::Vector2<std::uint32_t>{};
    }
}

PromptBox::PromptBox()
    : myText("Text/arial.ttf", 14, 0),
      myBarSprite(MakeBoxSprite()),
      myLeftCapSprite(MakeBoxSprite()),
      myRightCapSprite(MakeBoxSprite())
{
}

PromptBox::~PromptBox()
{
    if (ourInstance == this)
    {
        ourInstance = nullptr;
    }
}

void PromptBox::Init(CommonUtilities::InputHandler& anInput)
{
    myInput = &anInput;
    myDuration = 0.0f;
    myElapsed = 0.0f;
    myFadeTime = FADE_TIME;
    myIsVisible = false;
    myTextColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    myText = Vra::Text(FONT, 18, 0);
    ourInstance = this;
    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        Vra::TextureManager& textures = *engine->GetTextureManager();
        myBarSpriteData.myColorTexture = textures.GetTexture(BAR_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
        myCapSpriteData.myColorTexture = textures.GetTexture(CAP_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
    }
}

void PromptBox::Show(const std::string& aText, float aDuration, float aHeightFactor)
{
    myText.SetText(aText);
    myDuration = aDuration;
    myElapsed = 0.0f;
    myTextColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    myBoxColor = { 1.0f, 1.0f, 1.0f, myBoxAlpha };

    const Vra::Vector2<std::uint32_t> window = WindowSize();
    const float width = myText.GetWidth();
    const float height = myText.GetHeight();
    const float textX = static_cast<float>(window.x / 2) - width * 0.5f;
    const float textY = static_cast<float>(window.y) * aHeightFactor;

    myBarSprite.mySize = { width, height * 0.75f };
    const float capSize = myBarSprite.mySize.y;
    myLeftCapSprite.mySize = { capSize, capSize };
    myRightCapSprite.mySize = { -capSize, capSize }; // mirrored
    LayOut(textX, textY);
    ApplyColors();
    myIsVisible = true;
}

void PromptBox::LayOut(float aTextX, float aTextY)
{
    myText.SetPosition({ aTextX, aTextY });
    const float width = myText.GetWidth();
    const float height = myText.GetHeight();
    myBarSprite.myPosition = { aTextX + width * 0.5f, aTextY + height / 6.0f };
    const float capOffset = (myBarSprite.mySize.x + myBarSprite.mySize.y) * 0.5f;
    myLeftCapSprite.myPosition = { myBarSprite.myPosition.x - capOffset, myBarSprite.myPosition.y };
    myRightCapSprite.myPosition = { myBarSprite.myPosition.x + capOffset, myBarSprite.myPosition.y };
}

void PromptBox::ApplyColors()
{
    myText.SetColor(myTextColor);
    myBarSprite.myColor = myBoxColor;
    myLeftCapSprite.myColor = myBoxColor;
    myRightCapSprite.myColor = myBoxColor;
}

void PromptBox::ShowMessage(const std::string& aText, float aDuration)
{
    if (ourInstance)
    {
        ourInstance->Show(aText, aDuration, MESSAGE_HEIGHT_FACTOR);
    }
}

void PromptBox::ShowTutorialPrompt(int aKind)
{
    if (!ourInstance || aKind < 0 || aKind >= static_cast<int>(TUTORIAL_TEXTS.size()))
    {
        return;
    }
    const bool isKeyboard = !ourInstance->myInput || ourInstance->myInput->IsKeyboardMouseActive();
    const TutorialTexts& texts = TUTORIAL_TEXTS[static_cast<std::size_t>(aKind)];
    ourInstance->Show(isKeyboard ? texts.myKeyboard : texts.myGamepad, TUTORIAL_DURATION, MESSAGE_HEIGHT_FACTOR);
}

void PromptBox::Dismiss(bool aImmediately)
{
    if (!ourInstance || !ourInstance->myIsVisible)
    {
        return;
    }
    ourInstance->myElapsed = ourInstance->myDuration + (aImmediately ? ourInstance->myFadeTime : 0.0f);
}

void PromptBox::SetEnabled(bool anIsEnabled)
{
    if (ourInstance)
    {
        ourInstance->myIsEnabled = anIsEnabled;
    }
}

void PromptBox::SetScreenSize(float aWidth, float aHeight)
{
    if (!ourInstance)
    {
        return;
    }
    const float width = ourInstance->myText.GetWidth();
    ourInstance->LayOut(aWidth * 0.5f - width * 0.5f, aHeight * MESSAGE_HEIGHT_FACTOR);
}

void PromptBox::Update()
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    Update(engine ? engine->GetDeltaTime() : 0.0f);
}

void PromptBox::Update(float aDeltaTime)
{
    if (!myIsVisible)
    {
        return;
    }
    myElapsed += aDeltaTime;
    if (myElapsed <= myDuration)
    {
        return;
    }
    const float alpha = 1.0f - (myElapsed - myDuration) / myFadeTime;
    myTextColor.a = alpha;
    myBoxColor.a = alpha * myBoxAlpha;
    ApplyColors();
    if (myElapsed > myDuration + myFadeTime)
    {
        myIsVisible = false;
    }
}

void PromptBox::Render()
{
    if (!myIsVisible || !myIsEnabled)
    {
        return;
    }
    const ScreenOverlayScope overlay;
    if (!overlay)
    {
        return;
    }
    DrawSprite(overlay.GetSpriteDrawer(), myBarSpriteData, myBarSprite);
    DrawSprite(overlay.GetSpriteDrawer(), myCapSpriteData, myLeftCapSprite);
    DrawSprite(overlay.GetSpriteDrawer(), myCapSpriteData, myRightCapSprite);
    myText.Render();
}
