#pragma once
#include "screens/LevelLoading.h"
#include "screens/MenuFade.h"
#include "screens/MenuNavigation.h"
#include "screens/MenuSprite.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"

#include "text/Text.h"

#include <cstdint>
#include <vector>

// Starts any of the three levels directly. A choice fades to black, then the level loads on a
// task behind a loading screen and goes onto a layer of its own with its music and ambience.
// "BACK" fades to black and ends this screen, uncovering the main menu.
class LevelSelectState : public SceneState
{
public:
    struct LevelEntry
    {
        const char* myLabel;
        const char* myScenePath;
        const char* myMusic;
        const char* myAmbience;
        // Levels after the first start the speedrun timer at once.
        bool myStartsTimer;
    };
    static constexpr LevelEntry LEVELS[] = {
        { "LEVEL 1", "levels/level1.vrs", "Level1", "Forest Ambience", false },
        { "LEVEL 2", "levels/level_2_01.vrs", "Level2", "Cave Ambience", true },
        { "LEVEL 3", "levels/level_3_01.vrs", "Level3", "Forest Ambience", true },
    };
    static constexpr int LEVEL_COUNT = 3;
    static constexpr int BACK_INDEX = LEVEL_COUNT;

    explicit LevelSelectState(SceneStateStack& aSceneStateStack);
    LevelSelectState(SceneStateStack& aSceneStateStack, LevelMaker aLevelMaker);
    ~LevelSelectState() override;

    bool OnInit() override;
    // False once "BACK" has been carried out.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

    void BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight);

    const std::vector<Vra::Text>& GetTitles() const { return myTitles; }
    const std::vector<Vra::Text>& GetButtons() const { return myButtons; }
    int GetSelectedIndex() const { return mySelectedIndex; }
    bool IsLoadingLevel() const { return myIsLoadingLevel; }
    bool IsShowingLoadingScreen() const { return myShowLoadingScreen; }
    const MenuSprite& GetFeather() const { return myFeather; }
    const MenuSprite& GetTitleBar() const { return myTitleBar; }

private:
    void UpdateLoading(float aDeltaTime);
    void Choose();
    void StartLevel(int aLevelIndex);

    std::vector<Vra::Text> myTitles;
    std::vector<Vra::Text> myButtons;
    int mySelectedIndex = 0;
    bool myIsLoadingLevel = false;
    LevelMaker myLevelMaker;
    LevelLoading myLevelLoading;
    int myLoadingLevelIndex = 0;
    MenuSprite myBackground;
    MenuSprite myTitleBar;
    MenuSprite myBlackBar;
    MenuSprite myFeather;
    EventBusCallback<ResizeEvent> myResizeListener;
    MenuNavigation myNavigation;
    MenuFade myFade;
    bool myIsActive = true;
    bool myShowLoadingScreen = false;
};
