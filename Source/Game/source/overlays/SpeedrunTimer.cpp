#include "overlays/SpeedrunTimer.h"

#include "overlays/DrawSprite.h"
#include "overlays/ScreenOverlayScope.h"

#include "Engine.h"
#include "graphics/TextureManager.h"

#include <algorithm>
#include <cmath>

SpeedrunTimer* SpeedrunTimer::ourInstance = nullptr;

namespace
{
    constexpr const char* PLACEHOLDER_FONT = "Text/arial.ttf";
    constexpr float DIGIT_SPACING = 4.0f;
    constexpr float LEFT_MARGIN = 0.02f;
    constexpr float ROW_HEIGHT = 0.95f;
    constexpr int COLON_INDEX = 2;
    constexpr int POINT_INDEX = 5;

    const char* SeparatorOrZero(int anIndex)
    {
        return anIndex == COLON_INDEX ? ":" : anIndex == POINT_INDEX ? "." : "0";
    }

    Vra::Vector2<std::uint32_t> WindowSize()
    {
        const Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine ? engine->GetConfiguration().myWindowSize : Vra::Vector2<std::uint32_t>{};
    }
}

SpeedrunTimer::SpeedrunTimer()
    : myDigits(DIGIT_COUNT, Vra::Text(PLACEHOLDER_FONT, 14, 0)),
      myCountdownText(PLACEHOLDER_FONT, 14, 0)
{
    myBarSprite.myPivot = { 0.0f, 0.5f };
}

SpeedrunTimer::~SpeedrunTimer()
{
    if (ourInstance == this)
    {
        ourInstance = nullptr;
    }
}

void SpeedrunTimer::Init()
{
    myIsRunning = false;
    myTime = 0.0f;
    myTextColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    ourInstance = this;

    const Vra::Vector2<std::uint32_t> window = WindowSize();
    const float width = static_cast<float>(window.x);
    const float height = static_cast<float>(window.y);
    const float digitsWidth = LayOutTexts(width, height);

    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        myBarSpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(BAR_TEXTURE, Vra::TextureSrgbMode::ForceSrgb, false);
    }
    const float digitHeight = myDigits[0].GetHeight();
    myBarSprite.myPivot = { 0.0f, 0.5f };
    myBarSprite.myPosition = { 0.0f, height * ROW_HEIGHT + digitHeight * 0.125f };
    myBarSprite.mySize = { width * LEFT_MARGIN + digitsWidth, digitHeight * 0.5f };
    myBarSprite.myColor = { 1.0f, 1.0f, 1.0f, 1.0f };
}

float SpeedrunTimer::LayOutTexts(float aWidth, float aHeight)
{
    float x = 0.0f;
    for (int index = 0; index < DIGIT_COUNT; ++index)
    {
        // Minutes and seconds large, milliseconds small.
        Vra::Text digit(FONT, index <= POINT_INDEX ? 24 : 14, 0);
        digit.SetText(SeparatorOrZero(index));
        digit.SetPosition({ aWidth * LEFT_MARGIN + x, aHeight * ROW_HEIGHT });
        digit.SetColor(myTextColor);
        x += digit.GetWidth() + DIGIT_SPACING;
        myDigits[static_cast<std::size_t>(index)] = digit;
    }
    myCountdownText = Vra::Text(FONT, 96, 0);
    myCountdownText.SetPosition({ aWidth * 0.5f, aHeight * 0.5f });
    myCountdownText.SetColor(myTextColor);
    return x;
}

void SpeedrunTimer::Start(bool aWithCountdown)
{
    if (ourInstance)
    {
        ourInstance->myIsRunning = true;
        ourInstance->myTime = 0.0f;
        ourInstance->myCountdown = aWithCountdown ? COUNTDOWN : 0.0f;
    }
}

void SpeedrunTimer::Stop()
{
    if (ourInstance)
    {
        ourInstance->myIsRunning = false;
    }
}

void SpeedrunTimer::SetPaused(bool anIsPaused)
{
    if (ourInstance)
    {
        ourInstance->myIsPaused = anIsPaused;
    }
}

void SpeedrunTimer::SetDisplayActive(bool anIsActive)
{
    if (ourInstance)
    {
        ourInstance->myIsDisplayActive = anIsActive;
    }
}

bool SpeedrunTimer::IsVisible()
{
    return ourInstance && ourInstance->myIsVisibleOption;
}

void SpeedrunTimer::ToggleVisible()
{
    if (ourInstance)
    {
        ourInstance->myIsVisibleOption = !ourInstance->myIsVisibleOption;
    }
}

void SpeedrunTimer::SetScreenSize(float aWidth, float aHeight)
{
    if (!ourInstance)
    {
        return;
    }
    ourInstance->LayOutTexts(aWidth, aHeight);
    const float digitHeight = ourInstance->myDigits[0].GetHeight();
    ourInstance->myBarSprite.myPosition = { 0.0f, aHeight * ROW_HEIGHT + digitHeight * 0.125f };
}

void SpeedrunTimer::Update()
{
    const Vra::Engine* const engine = Vra::Engine::GetInstance();
    Update(engine ? engine->GetDeltaTime() : 0.0f);
}

void SpeedrunTimer::Update(float aDeltaTime)
{
    if (!myIsRunning || myIsPaused)
    {
        return;
    }
    if (myCountdown > 0.0f)
    {
        // 3, 2, 1, each shrinking from 1.5 towards 1.0 during its second; the time waits.
        myCountdown -= aDeltaTime;
        const float whole = std::trunc(myCountdown);
        myCountdownText.SetText(std::to_string(static_cast<int>(whole) + 1));
        myCountdownText.SetScale((1.0f - (myCountdown - whole)) * 0.5f + 1.0f);
        return;
    }
    myTime = std::clamp(myTime + aDeltaTime, 0.0f, MAX_TIME);
    ShowTime();
}

void SpeedrunTimer::ShowTime()
{
    const int seconds = static_cast<int>(myTime);
    const int minutes = seconds / 60;
    const int secondsOfMinute = seconds % 60;
    const int milliseconds = static_cast<int>(myTime * 1000.0f) % 1000;
    const int values[DIGIT_COUNT] = { minutes / 10, minutes % 10, 0, secondsOfMinute / 10, secondsOfMinute % 10, 0,
                                      milliseconds / 100, (milliseconds / 10) % 10, milliseconds % 10 };
    for (int index = 0; index < DIGIT_COUNT; ++index)
    {
        const bool isSeparator = index == COLON_INDEX || index == POINT_INDEX;
        myDigits[static_cast<std::size_t>(index)].SetText(isSeparator ? SeparatorOrZero(index) : std::to_string(values[index]));
    }
}

std::string SpeedrunTimer::GetDisplayedTime() const
{
    std::string shown;
    for (const Vra::Text& digit : myDigits)
    {
        shown += digit.GetString();
    }
    return shown;
}

void SpeedrunTimer::Render()
{
    if (!myIsRunning || !myIsDisplayActive || !myIsVisibleOption)
    {
        return;
    }
    const ScreenOverlayScope overlay;
    if (!overlay)
    {
        return;
    }
    if (myCountdown > 0.0f)
    {
        myCountdownText.Render();
        return;
    }
    DrawSprite(overlay.GetSpriteDrawer(), myBarSpriteData, myBarSprite);
    for (const Vra::Text& digit : myDigits)
    {
        digit.Render();
    }
}
