#include "screens/OptionsState.h"

#include "audio/AudioManager.h"
#include "overlays/PromptBox.h"
#include "overlays/ScreenOverlayScope.h"
#include "overlays/SpeedrunTimer.h"
#include "overlays/Transition.h"
#include "screens/MenuStyle.h"
#include "screens/MenuText.h"

#include "Engine.h"
#include "InputHandler.h"

#include <algorithm>
#include <utility>

namespace
{
    constexpr const char* TITLE = "OPTIONS";
    constexpr std::uint32_t TITLE_SIZE = 30;
    constexpr std::uint32_t ROW_SIZE = 24;
    constexpr std::uint32_t BACK_SIZE = 18;
    // Labels end this far left of the screen's centre; the boxes start as far right of the labels.
    constexpr float LABEL_GAP = 40.0f;

    bool IsEngineFullscreen()
    {
        const Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine && engine->IsFullscreen();
    }

    // A row label ending LABEL_GAP left of the centre.
    Vra::Text MakeRowLabel(const char* aLabel, float aWidth, float aY)
    {
        Vra::Text label = MenuText::Make(aLabel, ROW_SIZE);
        label.SetPosition({ aWidth * 0.5f - label.GetWidth() - LABEL_GAP, aY });
        return label;
    }
}

OptionsState::OptionsState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

OptionsState::~OptionsState() = default;

bool OptionsState::OnInit()
{
    myNavigation.Reset();
    const Vra::Vector2<std::uint32_t> renderSize = MenuRenderSize();
    myBackground.Load(MenuStyle::BACKGROUND_TEXTURE);
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { BuildLayout(anEvent.myWidth, anEvent.myHeight); });
    myTitleBar.Load(MenuStyle::TITLE_BAR_TEXTURE);
    myVolumeSlider = std::make_unique<VolumeSlider>();
    BuildLayout(renderSize.x, renderSize.y);
    mySelectedIndex = 0;
    return true;
}

void OptionsState::BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight)
{
    const float w = static_cast<float>(aWidth);
    const float h = static_cast<float>(aHeight);
    myBackground.FillHeight(w, h);
    const float panelHeight = std::min(PANEL_SIZE, h);
    const float bottom = h * 0.5f - panelHeight * 0.5f;

    myTitles.clear();
    myButtons.clear();
    Vra::Text title = MenuText::Make(TITLE, TITLE_SIZE);
    MenuText::PlaceCentred(title, w * 0.5f, 0.85f * panelHeight + bottom);
    myTitleBar.Place({ w * 0.5f, title.GetPosition().y - 25.0f }, { std::min(PANEL_SIZE, w), myTitleBar.GetTextureSize().y * 0.5f });
    myTitles.push_back(std::move(title));

    Vra::Text volume = MakeRowLabel("VOLUME", w, 0.65f * panelHeight + bottom);
    if (myVolumeSlider)
    {
        // Initialised once to learn the bar's width, then for good beside the label.
        myVolumeSlider->Init({ 0.0f, 0.0f });
        const float barWidth = myVolumeSlider->GetSize().x;
        myVolumeSlider->Init({ w * 0.5f - volume.GetWidth() + barWidth - 80.0f, volume.GetPosition().y + volume.GetHeight() / 3.5f });
    }

    Vra::Text fullscreen = MakeRowLabel("FULLSCREEN MODE", w, 0.5f * panelHeight + bottom);
    const float boxX = fullscreen.GetPosition().x + fullscreen.GetWidth() + 10.0f + LABEL_GAP;
    myFullscreenCheckbox.Init({ boxX, fullscreen.GetPosition().y + fullscreen.GetHeight() * 0.25f }, IsEngineFullscreen());

    Vra::Text speedrun = MakeRowLabel("SPEEDRUN MODE", w, 0.35f * panelHeight + bottom);
    mySpeedrunCheckbox.Init({ boxX, speedrun.GetPosition().y + speedrun.GetHeight() * 0.25f }, SpeedrunTimer::IsVisible());

    Vra::Text back = MenuText::Make("BACK", BACK_SIZE);
    MenuText::PlaceCentred(back, w * 0.5f, 0.1f * panelHeight + bottom);

    myButtons.push_back(std::move(volume));
    myButtons.push_back(std::move(fullscreen));
    myButtons.push_back(std::move(speedrun));
    myButtons.push_back(std::move(back));

    // The overlays follow a fullscreen switch too.
    SpeedrunTimer::SetScreenSize(w, h);
    PromptBox::SetScreenSize(w, h);
}

bool OptionsState::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    if (!myIsActive)
    {
        return false;
    }
    myNavigation.Update(aDeltaTime);
    MenuText::ColourSelection(myButtons, mySelectedIndex);
    if (myFade.IsPending())
    {
        return myIsActive;
    }
    if (mySelectedIndex == Volume && myVolumeSlider)
    {
        myVolumeSlider->Update(aDeltaTime, anInput);
    }
    if (!MenuNavigation::IsChoosePressed(anInput))
    {
        myNavigation.Move(anInput, mySelectedIndex, static_cast<int>(myButtons.size()));
        return myIsActive;
    }
    AudioManager::GetInstance().Play(MenuStyle::BUTTON_SOUND, true, 1.0f);
    Choose();
    return myIsActive;
}

void OptionsState::Choose()
{
    switch (mySelectedIndex)
    {
    case Fullscreen:
        if (Vra::Engine* const engine = Vra::Engine::GetInstance())
        {
            engine->ToggleFullscreen();
        }
        myFullscreenCheckbox.SetChecked(IsEngineFullscreen());
        break;
    case Speedrun:
        SpeedrunTimer::ToggleVisible();
        mySpeedrunCheckbox.SetChecked(SpeedrunTimer::IsVisible());
        break;
    case Back:
        myFade.FadeToBlack(*mySceneStateStack, *this, [this] {
            myIsActive = false;
            Transition::GetInstance()->FadeFromBlack();
        });
        break;
    default:
        // The slider takes its input while its row is selected.
        break;
    }
}

void OptionsState::Render()
{
    const ScreenOverlayScope scope;
    if (!scope)
    {
        return;
    }
    myBackground.Draw();
    myTitleBar.Draw();
    MenuText::RenderAll(myTitles);
    MenuText::RenderAll(myButtons);
    if (myVolumeSlider)
    {
        myVolumeSlider->Render();
    }
    mySpeedrunCheckbox.Render();
    myFullscreenCheckbox.Render();
}
