#include "screens/PauseState.h"

#include "audio/AudioManager.h"
#include "level/LevelState.h"
#include "overlays/PromptBox.h"
#include "overlays/ScreenOverlayScope.h"
#include "overlays/SpeedrunTimer.h"
#include "overlays/Transition.h"
#include "screens/MenuStyle.h"
#include "screens/MenuText.h"
#include "screens/OptionsState.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "InputHandler.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace
{
    struct ButtonRow
    {
        const char* myLabel;
        float myHeight;
    };

    constexpr ButtonRow BUTTON_ROWS[PauseState::ButtonCount] = {
        { "CONTINUE", 0.70f }, { "RESET", 0.55f }, { "OPTIONS", 0.40f }, { "QUIT TO MENU", 0.25f },
    };
}

PauseState::PauseState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

PauseState::~PauseState() = default;

bool PauseState::OnInit()
{
    myNavigation.Reset();
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { BuildLayout(anEvent.myWidth, anEvent.myHeight); });
    myBackground.Load(BACKGROUND_TEXTURE);
    myBackground.GetSprite().myColor = { 1.0f, 1.0f, 1.0f, 1.0f };
    myIsOverlay = true;
    myTopBar.Load(MenuStyle::TITLE_BAR_TEXTURE);
    myBottomBar.Load(MenuStyle::TITLE_BAR_TEXTURE);
    const Vra::Vector2<std::uint32_t> renderSize = MenuRenderSize();
    BuildLayout(renderSize.x, renderSize.y);
    mySelectedIndex = 0;
    return true;
}

void PauseState::BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight)
{
    const float w = static_cast<float>(aWidth);
    const float h = static_cast<float>(aHeight);
    myBackground.Place({ w * 0.5f, h * 0.5f }, { w, h });
    const float panelWidth = std::min(PANEL_WIDTH, w);
    const float panelHeight = std::min(PANEL_HEIGHT, h);
    const float bottom = h * 0.5f - panelHeight * 0.5f;

    myButtons.clear();
    for (const ButtonRow& row : BUTTON_ROWS)
    {
        Vra::Text button = MenuText::Make(row.myLabel, BUTTON_SIZE);
        MenuText::PlaceCentred(button, w * 0.5f, panelHeight * row.myHeight + bottom);
        myButtons.push_back(std::move(button));
    }
    const Vra::Vector2f barSize{ 0.8f * panelWidth, myTopBar.GetTextureSize().y * 0.5f };
    myTopBar.Place({ w * 0.5f, bottom + panelHeight }, barSize);
    myBottomBar.Place({ w * 0.5f, bottom }, barSize);
}

bool PauseState::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    // So that a fade started here is centred on the level camera.
    Transition::GetInstance()->CenterOnCamera();
    myNavigation.Update(aDeltaTime);
    MenuText::ColourSelection(myButtons, mySelectedIndex);
    if (myIsQuitting || myFade.IsPending())
    {
        // A choice is under way: its callback may pop this screen, so no second one may queue.
        return true;
    }
    if (MenuNavigation::IsBackPressed(anInput))
    {
        Resume();
        return false;
    }
    if (!MenuNavigation::IsChoosePressed(anInput))
    {
        myNavigation.Move(anInput, mySelectedIndex, static_cast<int>(myButtons.size()));
        return true;
    }
    std::cout << "Selected: " << myButtons[static_cast<std::size_t>(mySelectedIndex)].GetText() << std::endl;
    return Choose();
}

void PauseState::Resume()
{
    PromptBox::SetEnabled(true);
    SpeedrunTimer::SetDisplayActive(true);
    SpeedrunTimer::SetPaused(false);
}

bool PauseState::Choose()
{
    SceneStateStack* const stack = mySceneStateStack;
    switch (mySelectedIndex)
    {
    case Continue:
        Resume();
        return false;
    case Reset:
        myFade.FadeToBlack(*stack, *this, [stack] {
            // This screen is gone after the pop: only the stack is used from here on.
            stack->PopState();
            if (LevelState* const level = dynamic_cast<LevelState*>(stack->GetTopState()))
            {
                level->Restart();
            }
            Resume();
        });
        break;
    case Options:
        myFade.FadeToBlack(*stack, *this, [stack] { stack->PushState(std::make_unique<OptionsState>(*stack)); });
        break;
    case QuitToMenu:
        SpeedrunTimer::Stop();
        myFade.FadeToBlack(*stack, *this, [this, stack] {
            myIsQuitting = true;
            stack->RequestPopLayer();
            AudioManager& audio = AudioManager::GetInstance();
            audio.StopAll();
            audio.Play(MenuStyle::MENU_MUSIC, true, 1.0f);
            Transition::GetInstance()->FadeFromBlack();
        });
        break;
    default:
        break;
    }
    return true;
}

void PauseState::Render()
{
    const ScreenOverlayScope scope;
    if (!scope)
    {
        return;
    }
    Vra::Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack().SetBlendState(Vra::BlendState::AlphaBlend);
    myBackground.Draw();
    myTopBar.Draw();
    myBottomBar.Draw();
    MenuText::RenderAll(myButtons);
}
