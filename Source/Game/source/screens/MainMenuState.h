#pragma once
#include "shell/SceneState.h"

#include <memory>

namespace Vra
{
    class Text;
}

// The first screen. For now a title line that ends the game on Escape.
class MainMenuState : public SceneState
{
public:
    explicit MainMenuState(SceneStateStack& aSceneStateStack);
    ~MainMenuState() override;

    bool OnInit() override;
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;

private:
    std::unique_ptr<Vra::Text> myTitle;
};
