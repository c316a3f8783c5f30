#include "screens/MenuFade.h"

#include "overlays/Transition.h"
#include "shell/SceneStateStack.h"

MenuFade::MenuFade()
    : myRequest(std::make_shared<Request>())
{
}

void MenuFade::FadeToBlack(SceneStateStack& aStack, const SceneState& aScreen, std::function<void()> anAction)
{
    myRequest->myIsPending = true;
    const std::weak_ptr<Request> request = myRequest;
    SceneStateStack* const stack = &aStack;
    const SceneState* const screen = &aScreen;
    Transition::GetInstance()->FadeToBlack([request, stack, screen, action = std::move(anAction)] {
        // Held for the whole call: the action may delete the screen and with it this fade.
        const std::shared_ptr<Request> alive = request.lock();
        if (!alive)
        {
            return;
        }
        alive->myIsPending = false;
        if (stack->GetTopState() != screen)
        {
            return;
        }
        action();
    });
}

bool MenuFade::IsPending() const
{
    if (myRequest->myIsPending && !Transition::GetInstance()->IsFading())
    {
        myRequest->myIsPending = false;
    }
    return myRequest->myIsPending;
}
