#include "screens/PauseState.h"

#include "overlays/PromptBox.h"
#include "overlays/SpeedrunTimer.h"

#include "InputHandler.h"

namespace
{
    constexpr int ESCAPE_KEY = 0x1B;
    constexpr std::uint16_t START_BUTTON = 0x0010;
}

PauseState::PauseState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

bool PauseState::OnInit()
{
    myIsOverlay = true;
    return true;
}

bool PauseState::Update(float /*aDeltaTime*/, CommonUtilities::InputHandler& anInput)
{
    if (anInput.IsKeyPressed(ESCAPE_KEY) || anInput.IsButtonPressed(START_BUTTON))
    {
        PromptBox::SetEnabled(true);
        SpeedrunTimer::SetDisplayActive(true);
        SpeedrunTimer::SetPaused(false);
        return false;
    }
    return true;
}

void PauseState::Render()
{
}
