#include "screens/MainMenuState.h"

#include "audio/AudioManager.h"
#include "overlays/ScreenOverlayScope.h"
#include "overlays/SpeedrunTimer.h"
#include "overlays/Transition.h"
#include "screens/CreditsState.h"
#include "screens/LevelSelectState.h"
#include "screens/MenuStyle.h"
#include "screens/MenuText.h"
#include "screens/OptionsState.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "InputHandler.h"

#include <iostream>
#include <utility>

namespace
{
    struct ButtonRow
    {
        const char* myLabel;
        float myHeight;
    };

    constexpr ButtonRow BUTTON_ROWS[MainMenuState::ButtonCount] = {
        { "START", 0.45f }, { "LEVEL SELECT", 0.40f }, { "OPTIONS", 0.35f }, { "CREDITS", 0.30f }, { "EXIT", 0.25f },
    };
}

MainMenuState::MainMenuState(SceneStateStack& aSceneStateStack)
    : MainMenuState(aSceneStateStack, MakeLevelState())
{
}

MainMenuState::MainMenuState(SceneStateStack& aSceneStateStack, LevelMaker aLevelMaker)
    : SceneState(&aSceneStateStack),
      myLevelMaker(std::move(aLevelMaker))
{
}

MainMenuState::~MainMenuState() = default;

bool MainMenuState::OnInit()
{
    myNavigation.Reset();
    myShowLoadingScreen = false;
    const Vra::Vector2<std::uint32_t> renderSize = MenuRenderSize();
    std::cout << "{ X: " << renderSize.x << " Y: " << renderSize.y << " }" << std::endl;
    if (Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        // Black behind the splash logos; opaque, or a window system that composites by alpha
        // would show the desktop through every pixel the menus leave undrawn.
        engine->SetClearColor({ 0.0f, 0.0f, 0.0f, 1.0f });
    }
    AudioManager::GetInstance().Play(MenuStyle::MENU_MUSIC, true, 1.0f);

    myBackground.Load(MenuStyle::BACKGROUND_TEXTURE);
    myLogo.Load(LOGO_TEXTURE);
    myBlackBar.Load(MenuStyle::BLACK_BAR_TEXTURE);
    myFeather.Load(MenuStyle::FEATHER_TEXTURE);
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { BuildLayout(anEvent.myWidth, anEvent.myHeight); });

    mySplashScreen.Init();
    BuildLayout(renderSize.x, renderSize.y);
    mySelectedIndex = 0;
    return true;
}

void MainMenuState::BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight)
{
    const float w = static_cast<float>(aWidth);
    const float h = static_cast<float>(aHeight);
    myBackground.FillHeight(w, h);
    myBlackBar.Place({ w * 0.5f, h * 0.5f }, { w, h });
    myFeather.Place({ 0.85f * w, 0.2f * h }, myFeather.GetTextureSize() * 0.1f);
    myLogo.Place({ w * 0.5f, 0.6f * h }, myLogo.GetTextureSize() * 0.5f);

    myButtons.clear();
    for (const ButtonRow& row : BUTTON_ROWS)
    {
        Vra::Text button = MenuText::Make(row.myLabel, BUTTON_SIZE);
        MenuText::PlaceCentred(button, w * 0.5f, row.myHeight * h);
        myButtons.push_back(std::move(button));
    }
}

bool MainMenuState::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    myNavigation.Update(aDeltaTime);
    if (!mySplashScreen.IsFinished())
    {
        // The splash draws its logo itself; nothing else of the menu shows meanwhile.
        const ScreenOverlayScope scope;
        mySplashScreen.Update(scope ? &scope.GetSpriteDrawer() : nullptr, aDeltaTime, anInput);
        return true;
    }
    MenuText::ColourSelection(myButtons, mySelectedIndex);
    if (myIsLoadingLevel)
    {
        UpdateLoading(aDeltaTime, anInput);
        return true;
    }
    if (myFade.IsPending())
    {
        // The screen it leads to is not there yet: a second choice must not queue another.
        return true;
    }
    if (!MenuNavigation::IsChoosePressed(anInput))
    {
        myNavigation.Move(anInput, mySelectedIndex, static_cast<int>(myButtons.size()));
        return true;
    }
    AudioManager::GetInstance().Play(MenuStyle::BUTTON_SOUND, true, 1.0f);
    std::cout << "Selected: " << myButtons[static_cast<std::size_t>(mySelectedIndex)].GetText() << std::endl;
    return Choose();
}

void MainMenuState::UpdateLoading(float aDeltaTime, const CommonUtilities::InputHandler& anInput)
{
    if (MenuNavigation::IsChoosePressed(anInput))
    {
        myIsIntroPlaying = false;
    }
    if (myIsIntroPlaying)
    {
        myIntroCutscene.Update(myIsIntroPlaying, aDeltaTime);
        return;
    }
    if (myLevelLoading.IsReady())
    {
        myShowLoadingScreen = false;
        std::unique_ptr<SceneState> level = myLevelLoading.TakeLevel();
        myIsLoadingLevel = false;
        if (level)
        {
            mySceneStateStack->PushLayer(std::move(level));
        }
        return;
    }
    if (myShowLoadingScreen)
    {
        // One radian a second.
        myFeather.GetSprite().myRotation -= aDeltaTime;
        return;
    }
    myShowLoadingScreen = true;
    AudioManager::GetInstance().FadeOut(IntroCutscene::SOUND, LOADING_FADE_TIME);
}

bool MainMenuState::Choose()
{
    switch (mySelectedIndex)
    {
    case Start:
        StartFirstLevel();
        break;
    case LevelSelect:
        OpenScreen([levelMaker = myLevelMaker](SceneStateStack& aStack) { return std::make_unique<LevelSelectState>(aStack, levelMaker); });
        break;
    case Options:
        OpenScreen([](SceneStateStack& aStack) { return std::make_unique<OptionsState>(aStack); });
        break;
    case Credits:
        OpenScreen([](SceneStateStack& aStack) { return std::make_unique<CreditsState>(aStack); });
        break;
    case Exit:
        return false;
    default:
        break;
    }
    return true;
}

void MainMenuState::StartFirstLevel()
{
    myLevelLoading.Start(myLevelMaker(*mySceneStateStack), FIRST_LEVEL);
    AudioManager::GetInstance().StopAll();
    myIsLoadingLevel = true;
    myIsIntroPlaying = false;
    if (!SpeedrunTimer::IsVisible())
    {
        // A video that cannot be played is skipped as in speedrun mode.
        myIsIntroPlaying = myIntroCutscene.Play();
    }
}

void MainMenuState::OpenScreen(std::function<std::unique_ptr<SceneState>(SceneStateStack&)> aScreenMaker)
{
    SceneStateStack* const stack = mySceneStateStack;
    myFade.FadeToBlack(*stack, *this, [stack, maker = std::move(aScreenMaker)] {
        stack->PushState(maker(*stack));
        Transition::GetInstance()->FadeFromBlack();
    });
}

void MainMenuState::Render()
{
    if (!mySplashScreen.IsFinished())
    {
        return;
    }
    const ScreenOverlayScope scope;
    if (!scope)
    {
        return;
    }
    myBackground.Draw();
    myLogo.Draw();
    MenuText::RenderAll(myButtons);
    if (myIsLoadingLevel)
    {
        // The last picture stays under the loading screen after the video ends.
        myIntroCutscene.Render();
    }
    if (myShowLoadingScreen)
    {
        myBlackBar.Draw();
        myFeather.Draw();
    }
}
