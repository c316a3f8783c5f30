#pragma once
#include "screens/IntroCutscene.h"
#include "screens/LevelLoading.h"
#include "screens/MenuFade.h"
#include "screens/MenuNavigation.h"
#include "screens/MenuSprite.h"
#include "screens/SplashScreen.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"

#include "text/Text.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The first screen: the splash logos, then the title, the game logo and five buttons. "START"
// loads the first level on a task while the intro video plays (not in speedrun mode), shows a
// loading screen with a turning feather if the load takes longer, and puts the level on a layer
// of its own over the menu. The other buttons open their screens under a fade, or end the game.
class MainMenuState : public SceneState
{
public:
    static constexpr const char* FIRST_LEVEL = "levels/level1.vrs";
    static constexpr const char* LOGO_TEXTURE = "Sprites/S_UI_QuillmereLogo.dds";
    static constexpr std::uint32_t BUTTON_SIZE = 18;
    static constexpr float LOADING_FADE_TIME = 1.0f;

    enum Button : int
    {
        Start = 0,
        LevelSelect = 1,
        Options = 2,
        Credits = 3,
        Exit = 4,
        ButtonCount = 5,
    };

    explicit MainMenuState(SceneStateStack& aSceneStateStack);
    // Levels ("START" and the level select's) are made by aLevelMaker.
    MainMenuState(SceneStateStack& aSceneStateStack, LevelMaker aLevelMaker);
    ~MainMenuState() override;

    bool OnInit() override;
    // False once "EXIT" was chosen.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

    // Everything in screen pixels for a w x h screen, y upwards.
    void BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight);

    const std::vector<Vra::Text>& GetButtons() const { return myButtons; }
    int GetSelectedIndex() const { return mySelectedIndex; }
    const SplashScreen& GetSplashScreen() const { return mySplashScreen; }
    const IntroCutscene& GetIntroCutscene() const { return myIntroCutscene; }
    bool IsIntroPlaying() const { return myIsIntroPlaying; }
    bool IsLoadingLevel() const { return myIsLoadingLevel; }
    bool IsShowingLoadingScreen() const { return myShowLoadingScreen; }
    const MenuSprite& GetBackground() const { return myBackground; }
    const MenuSprite& GetLogo() const { return myLogo; }
    const MenuSprite& GetBlackBar() const { return myBlackBar; }
    const MenuSprite& GetFeather() const { return myFeather; }

private:
    void UpdateLoading(float aDeltaTime, const CommonUtilities::InputHandler& anInput);
    // False for "EXIT".
    bool Choose();
    void StartFirstLevel();
    // Under a fade to black: the screen goes onto this layer, then the fade from black.
    void OpenScreen(std::function<std::unique_ptr<SceneState>(SceneStateStack&)> aScreenMaker);

    SplashScreen mySplashScreen;
    IntroCutscene myIntroCutscene;
    std::vector<Vra::Text> myButtons;
    int mySelectedIndex = 0;
    bool myIsIntroPlaying = false;
    bool myIsLoadingLevel = false;
    LevelMaker myLevelMaker;
    LevelLoading myLevelLoading;
    MenuSprite myBackground;
    MenuSprite myLogo;
    MenuSprite myBlackBar;
    MenuSprite myFeather;
    EventBusCallback<ResizeEvent> myResizeListener;
    MenuNavigation myNavigation;
    MenuFade myFade;
    bool myShowLoadingScreen = false;
};
