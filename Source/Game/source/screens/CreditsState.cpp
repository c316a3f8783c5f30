#include "screens/CreditsState.h"

#include "audio/AudioManager.h"
#include "overlays/ScreenOverlayScope.h"
#include "overlays/Transition.h"
#include "screens/MenuNavigation.h"
#include "screens/MenuStyle.h"
#include "screens/MenuText.h"

#include "Engine.h"
#include "InputHandler.h"
#include "window/VirtualKeys.h"

#include <utility>

namespace
{
    constexpr std::uint32_t TITLE_SIZE = 30;
    constexpr std::uint32_t HEADING_SIZE = 24;
    constexpr std::uint32_t BACK_SIZE = 18;

    struct CreditsGroup
    {
        const char* myHeading;
        // Column centre and height, in fractions of the screen; the height less a fixed drop.
        float myColumn;
        float myHeight;
        float myDrop;
        std::vector<std::string> myLines;
        std::uint32_t myLineSize;
        float mySpacing;
    };

    const std::vector<CreditsGroup>& CreditsGroups()
    {
        static const std::vector<CreditsGroup> groups = {
            { "PROGRAMMING", 0.25f, 0.75f, 0.0f,
              { "Engine and tools", "Rendering and video", "Gameplay", "Player movement", "Menus and interface", "Sound" }, 18, 40.0f },
            { "GRAPHICS", 0.5f, 0.75f, 0.0f, { "Sprites and effects", "Backgrounds and parallax", "Interface art" }, 18, 40.0f },
            { "LEVEL DESIGN", 0.5f, 0.7f, 350.0f, { "Level layout", "Scripted events" }, 18, 40.0f },
            { "ANIMATION", 0.25f, 0.7f, 350.0f, { "Character models", "Character animation" }, 18, 40.0f },
            { "ACKNOWLEDGEMENTS", 0.75f, 0.75f, 0.0f,
              { "Made using SDL2, OpenGL, FFmpeg and FreeType", "Cinzel fonts: SIL Open Font License", "Sound decoding by libsndfile" }, 10, 50.0f },
        };
        return groups;
    }
}

CreditsState::CreditsState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

CreditsState::~CreditsState() = default;

bool CreditsState::OnInit()
{
    myResizeListener.SetCallback([this](const ResizeEvent& anEvent) { BuildLayout(anEvent.myWidth, anEvent.myHeight); });
    myBackground.Load(MenuStyle::BACKGROUND_TEXTURE);
    const Vra::Vector2<std::uint32_t> renderSize = MenuRenderSize();
    BuildLayout(renderSize.x, renderSize.y);
    mySelectedIndex = 0;
    return true;
}

void CreditsState::BuildLayout(std::uint32_t aWidth, std::uint32_t aHeight)
{
    const float w = static_cast<float>(aWidth);
    const float h = static_cast<float>(aHeight);
    myBackground.FillHeight(w, h);

    myTexts.clear();
    myButtons.clear();
    Vra::Text title = MenuText::Make("CREDITS", TITLE_SIZE);
    MenuText::PlaceCentred(title, w * 0.5f, 0.85f * h);
    myTitleBar.Load(MenuStyle::TITLE_BAR_TEXTURE);
    myTitleBar.Place({ w * 0.5f, title.GetPosition().y - 25.0f }, { w * 0.5f, myTitleBar.GetTextureSize().y * 0.5f });
    myTexts.push_back(std::move(title));

    for (const CreditsGroup& group : CreditsGroups())
    {
        Vra::Text heading = MenuText::Make(group.myHeading, HEADING_SIZE);
        MenuText::PlaceCentred(heading, group.myColumn * w, group.myHeight * h - group.myDrop);
        myTexts.push_back(heading);
        AddTextLines(group.myLines, heading, group.mySpacing, group.myLineSize);
    }

    Vra::Text back = MenuText::Make("BACK", BACK_SIZE);
    MenuText::PlaceCentred(back, w * 0.5f, 0.1f * h);
    myButtons.push_back(std::move(back));
}

void CreditsState::AddTextLines(const std::vector<std::string>& someLines, const Vra::Text& aHeading, float aSpacing, std::uint32_t aSize)
{
    const float centre = aHeading.GetPosition().x + aHeading.GetWidth() * 0.5f;
    for (std::size_t index = 0; index < someLines.size(); ++index)
    {
        Vra::Text line = MenuText::Make(someLines[index], aSize);
        MenuText::PlaceCentred(line, centre, aHeading.GetPosition().y - (50.0f + static_cast<float>(index) * aSpacing));
        myTexts.push_back(std::move(line));
    }
}

bool CreditsState::Update(float /*aDeltaTime*/, CommonUtilities::InputHandler& anInput)
{
    if (!myIsActive)
    {
        return false;
    }
    MenuText::ColourSelection(myButtons, mySelectedIndex);
    if (myFade.IsPending())
    {
        return myIsActive;
    }
    if (MenuNavigation::IsChoosePressed(anInput) || anInput.IsKeyPressed(Platform::VK_ESCAPE))
    {
        AudioManager::GetInstance().Play(MenuStyle::BUTTON_SOUND, true, 1.0f);
        myFade.FadeToBlack(*mySceneStateStack, *this, [this] {
            myIsActive = false;
            Transition::GetInstance()->FadeFromBlack();
        });
    }
    return myIsActive;
}

void CreditsState::Render()
{
    const ScreenOverlayScope scope;
    if (!scope)
    {
        return;
    }
    myBackground.Draw();
    myTitleBar.Draw();
    MenuText::RenderAll(myTexts);
    MenuText::RenderAll(myButtons);
}
