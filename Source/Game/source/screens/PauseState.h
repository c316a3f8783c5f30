#pragma once
#include "screens/MenuFade.h"
#include "screens/MenuNavigation.h"
#include "screens/MenuSprite.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"

#include "text/Text.h"

#include <cstdint>
#include <vector>

// The menu over a paused level, which shows through beneath it: continue, restart the level,
// the options screen, or back to the main menu. Escape or START resumes at once.
class PauseState : public SceneState
{
public:
    enum Button : int
    {
        Continue = 0,
        Reset = 1,
        Options = 2,
        QuitToMenu = 3,
        ButtonCount = 4,
    };
    static constexpr const char* BACKGROUND_TEXTURE = "Sprites/S_UI_MenuBG_Pause.dds";
    static constexpr float PANEL_WIDTH = 600.0f;
    static constexpr float PANEL_HEIGHT = 300.0f;
    static constexpr std::uint32_t BUTTON_SIZE = 18;

    explicit PauseState(SceneStateStack& aSceneStateStack);
    ~PauseState() override;

    bool OnInit() override;
    // False when the level resumes ("CONTINUE", Escape or START).
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

    void BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight);

    const std::vector<Vra::Text>& GetButtons() const { return myButtons; }
    int GetSelectedIndex() const { return mySelectedIndex; }
    const MenuSprite& GetBackground() const { return myBackground; }
    const MenuSprite& GetTopBar() const { return myTopBar; }
    const MenuSprite& GetBottomBar() const { return myBottomBar; }

private:
    // The prompt box and the speedrun timer come back as the level runs again.
    static void Resume();
    // False for "CONTINUE".
    bool Choose();

    std::vector<Vra::Text> myButtons;
    int mySelectedIndex = 0;
    MenuSprite myBackground;
    MenuSprite myTopBar;
    MenuSprite myBottomBar;
    EventBusCallback<ResizeEvent> myResizeListener;
    MenuNavigation myNavigation;
    MenuFade myFade;
    // The whole layer goes at the stack's next update: nothing more is done here.
    bool myIsQuitting = false;
};
