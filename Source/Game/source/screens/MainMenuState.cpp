#include "screens/MainMenuState.h"

#include "Engine.h"
#include "InputHandler.h"
#include "text/Text.h"
#include "window/VirtualKeys.h"

MainMenuState::MainMenuState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

MainMenuState::~MainMenuState() = default;

bool MainMenuState::OnInit()
{
    myTitle = std::make_unique<Vra::Text>("Text/Cinzel-Bold.ttf", 18, 0);
    myTitle->SetText("Press Escape to quit");
    if (const Vra::Engine* const engine = Vra::Engine::GetInstance())
    {
        const Vra::Vector2<std::uint32_t> size = engine->GetRenderSize();
        myTitle->SetPosition({ static_cast<float>(size.x) * 0.5f - myTitle->GetWidth() * 0.5f, static_cast<float>(size.y) * 0.5f });
    }
    return true;
}

bool MainMenuState::Update(float /*aDeltaTime*/, CommonUtilities::InputHandler& anInput)
{
    return !anInput.IsKeyPressed(Platform::VK_ESCAPE);
}

void MainMenuState::Render()
{
    if (myTitle)
    {
        myTitle->Render();
    }
}
