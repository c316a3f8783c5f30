#pragma once
#include <functional>
#include <memory>

class SceneState;
class SceneStateStack;

// The fade to black a menu screen starts for one of its buttons. Its action runs once the screen
// is covered, and only while the screen that asked still exists and is the top state of its
// stack: a screen deleted or covered meanwhile is left alone. Until then the fade is pending and
// the screen takes no input, so a second choice cannot queue a second action.
class MenuFade
{
public:
    MenuFade();

    // Transition::FadeToBlack for aScreen on aStack; anAction may remove aScreen from the stack.
    void FadeToBlack(SceneStateStack& aStack, const SceneState& aScreen, std::function<void()> anAction);
    // From FadeToBlack until its action has run, or until the transition stops fading without
    // running it (it was busy with a fade of somebody else's).
    bool IsPending() const;

private:
    struct Request
    {
        bool myIsPending = false;
    };

    // The callbacks hold it weakly: it dies with the screen.
    std::shared_ptr<Request> myRequest;
};
