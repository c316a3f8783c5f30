#pragma once
#include "overlays/Checkbox.h"
#include "overlays/VolumeSlider.h"
#include "screens/MenuFade.h"
#include "screens/MenuNavigation.h"
#include "screens/MenuSprite.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"

#include "text/Text.h"

#include <cstdint>
#include <memory>
#include <vector>

// The game's three settings: the master volume (a slider), borderless fullscreen and speedrun
// mode (two check boxes), and "BACK". The settings live in the audio manager, the engine and the
// speedrun timer; this screen reads and flips them, nothing is saved.
class OptionsState : public SceneState
{
public:
    enum Row : int
    {
        Volume = 0,
        Fullscreen = 1,
        Speedrun = 2,
        Back = 3,
        RowCount = 4,
    };
    static constexpr float PANEL_SIZE = 600.0f;

    explicit OptionsState(SceneStateStack& aSceneStateStack);
    ~OptionsState() override;

    bool OnInit() override;
    // False once "BACK" has been carried out.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

    void BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight);

    const std::vector<Vra::Text>& GetTitles() const { return myTitles; }
    const std::vector<Vra::Text>& GetButtons() const { return myButtons; }
    int GetSelectedIndex() const { return mySelectedIndex; }
    const VolumeSlider* GetVolumeSlider() const { return myVolumeSlider.get(); }
    const Checkbox& GetFullscreenCheckbox() const { return myFullscreenCheckbox; }
    const Checkbox& GetSpeedrunCheckbox() const { return mySpeedrunCheckbox; }
    const MenuSprite& GetTitleBar() const { return myTitleBar; }

private:
    void Choose();

    std::unique_ptr<VolumeSlider> myVolumeSlider;
    std::vector<Vra::Text> myTitles;
    std::vector<Vra::Text> myButtons;
    int mySelectedIndex = 0;
    Checkbox myFullscreenCheckbox;
    Checkbox mySpeedrunCheckbox;
    MenuSprite myBackground;
    MenuSprite myTitleBar;
    EventBusCallback<ResizeEvent> myResizeListener;
    MenuNavigation myNavigation;
    MenuFade myFade;
    bool myIsActive = true;
};
