#include "screens/LevelSelectState.h"

#include "audio/AudioManager.h"
#include "overlays/ScreenOverlayScope.h"
#include "overlays/SpeedrunTimer.h"
#include "overlays/Transition.h"
#include "screens/MenuStyle.h"
#include "screens/MenuText.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "InputHandler.h"

#include <iostream>
#include <utility>

namespace
{
    constexpr const char* TITLE = "LEVEL SELECT";
    constexpr std::uint32_t TITLE_SIZE = 30;
    constexpr std::uint32_t LEVEL_SIZE = 24;
    constexpr std::uint32_t BACK_SIZE = 18;
    constexpr float LEVEL_HEIGHTS[LevelSelectState::LEVEL_COUNT] = { 0.55f, 0.45f, 0.35f };
    constexpr float BACK_HEIGHT = 0.10f;
}

LevelSelectState::LevelSelectState(SceneStateStack& aSceneStateStack)
    : LevelSelectState(aSceneStateStack, MakeLevelState())
{
}

LevelSelectState::LevelSelectState(SceneStateStack& aSceneStateStack, LevelMaker aLevelMaker)
    : SceneState(&aSceneStateStack),
      myLevelMaker(std::move(aLevelMaker))
{
}

LevelSelectState::~LevelSelectState() = default;

bool LevelSelectState::OnInit()
{
    myNavigation.Reset();
    myShowLoadingScreen = false;
    myIsLoadingLevel = false;
    myBackground.Load(MenuStyle::BACKGROUND_TEXTURE);
    myTitleBar.Load(MenuStyle::TITLE_BAR_TEXTURE);
    myBlackBar.Load(MenuStyle::BLACK_BAR_TEXTURE);
    myFeather.Load(MenuStyle::FEATHER_TEXTURE);
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { BuildLayout(anEvent.myWidth, anEvent.myHeight); });
    const Vra::Vector2<std::uint32_t> renderSize = MenuRenderSize();
    BuildLayout(renderSize.x, renderSize.y);
    return true;
}

void LevelSelectState::BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight)
{
    const float w = static_cast<float>(aWidth);
    const float h = static_cast<float>(aHeight);
    myBackground.FillHeight(w, h);
    myBlackBar.Place({ w * 0.5f, h * 0.5f }, { w, h });
    myFeather.Place({ 0.85f * w, 0.2f * h }, myFeather.GetTextureSize() * 0.1f);

    myTitles.clear();
    myButtons.clear();
    Vra::Text title = MenuText::Make(TITLE, TITLE_SIZE);
    MenuText::PlaceCentred(title, w * 0.5f, 0.85f * h);
    myTitleBar.Place({ w * 0.5f, title.GetPosition().y - 25.0f }, { w * 0.5f, myTitleBar.GetTextureSize().y * 0.5f });
    myTitles.push_back(std::move(title));

    for (int index = 0; index < LEVEL_COUNT; ++index)
    {
        Vra::Text button = MenuText::Make(LEVELS[index].myLabel, LEVEL_SIZE);
        MenuText::PlaceCentred(button, w * 0.5f, LEVEL_HEIGHTS[index] * h);
        myButtons.push_back(std::move(button));
    }
    Vra::Text back = MenuText::Make("BACK", BACK_SIZE);
    MenuText::PlaceCentred(back, w * 0.5f, BACK_HEIGHT * h);
    myButtons.push_back(std::move(back));
}

bool LevelSelectState::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    if (!myIsActive)
    {
        return false;
    }
    if (myIsLoadingLevel)
    {
        UpdateLoading(aDeltaTime);
        return myIsActive;
    }
    myNavigation.Update(aDeltaTime);
    MenuText::ColourSelection(myButtons, mySelectedIndex);
    if (myFade.IsPending())
    {
        return myIsActive;
    }
    if (!MenuNavigation::IsChoosePressed(anInput))
    {
        myNavigation.Move(anInput, mySelectedIndex, static_cast<int>(myButtons.size()));
        return myIsActive;
    }
    AudioManager::GetInstance().Play(MenuStyle::BUTTON_SOUND, true, 1.0f);
    std::cout << "Selected: " << myButtons[static_cast<std::size_t>(mySelectedIndex)].GetText() << std::endl;
    Choose();
    return myIsActive;
}

void LevelSelectState::UpdateLoading(float aDeltaTime)
{
    if (!myLevelLoading.IsReady())
    {
        // One radian a second.
        myFeather.GetSprite().myRotation -= aDeltaTime;
        return;
    }
    std::unique_ptr<SceneState> level = myLevelLoading.TakeLevel();
    myIsLoadingLevel = false;
    myShowLoadingScreen = false;
    if (!level)
    {
        // A timer started for the run would go on counting over the menus.
        SpeedrunTimer::Stop();
        return;
    }
    mySceneStateStack->PushLayer(std::move(level));
    AudioManager& audio = AudioManager::GetInstance();
    audio.StopAll();
    audio.Play(LEVELS[myLoadingLevelIndex].myMusic, false, 1.0f);
    audio.Play(LEVELS[myLoadingLevelIndex].myAmbience, false, 1.0f);
}

void LevelSelectState::Choose()
{
    const int chosen = mySelectedIndex;
    myFade.FadeToBlack(*mySceneStateStack, *this, [this, chosen] {
        if (chosen == BACK_INDEX)
        {
            myIsActive = false;
            Transition::GetInstance()->FadeFromBlack();
            return;
        }
        // No fade from black: the loading screen shows until the level's own start takes over.
        StartLevel(chosen);
    });
}

void LevelSelectState::StartLevel(int aLevelIndex)
{
    myLoadingLevelIndex = aLevelIndex;
    myLevelLoading.Start(myLevelMaker(*mySceneStateStack), LEVELS[aLevelIndex].myScenePath);
    myIsLoadingLevel = true;
    myShowLoadingScreen = true;
    if (LEVELS[aLevelIndex].myStartsTimer)
    {
        SpeedrunTimer::Start(false);
    }
}

void LevelSelectState::Render()
{
    const ScreenOverlayScope scope;
    if (!scope)
    {
        return;
    }
    myBackground.Draw();
    myTitleBar.Draw();
    MenuText::RenderAll(myTitles);
    MenuText::RenderAll(myButtons);
    if (myShowLoadingScreen)
    {
        myBlackBar.Draw();
        myFeather.Draw();
    }
}
