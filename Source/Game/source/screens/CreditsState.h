#pragma once
#include "screens/MenuFade.h"
#include "screens/MenuSprite.h"
#include "shell/EventBusCallback.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"

#include "text/Text.h"

#include <cstdint>
#include <string>
#include <vector>

// A still page of credits: a title, five headings with their lines, and "BACK" (Enter, Escape or
// gamepad A), laid out for the render size and again on every resize.
class CreditsState : public SceneState
{
public:
    explicit CreditsState(SceneStateStack& aSceneStateStack);
    ~CreditsState() override;

    bool OnInit() override;
    // False once "BACK" has been carried out.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

    void BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight);
    // One text per line, centred under aHeading; the first lies 50 pixels below it, each next
    // one aSpacing further down.
    void AddTextLines(const std::vector<std::string>& someLines, const Vra::Text& aHeading, float aSpacing, std::uint32_t aSize);

    // The title, then each heading followed by its lines.
    const std::vector<Vra::Text>& GetTexts() const { return myTexts; }
    const std::vector<Vra::Text>& GetButtons() const { return myButtons; }
    const MenuSprite& GetTitleBar() const { return myTitleBar; }

private:
    std::vector<Vra::Text> myButtons;
    // Always "BACK", the only button.
    int mySelectedIndex = 0;
    std::vector<Vra::Text> myTexts;
    MenuSprite myBackground;
    MenuSprite myTitleBar;
    EventBusCallback<ResizeEvent> myResizeListener;
    MenuFade myFade;
    bool myIsActive = true;
};
