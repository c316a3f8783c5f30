#include "screens/CreditsState.h"

#include "ScreenTestSupport.h"

#include "screens/MenuStyle.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
    using namespace ScreenTestSupport;

    class CreditsTest : public ScreenTest
    {
    protected:
        CreditsState& Open()
        {
            Start<IdleScreen>();
            auto screen = std::make_unique<CreditsState>(Stack());
            CreditsState& opened = *screen;
            Stack().PushState(std::move(screen));
            return opened;
        }

        // The heading and the lines that follow it, up to the next size-24 text.
        static std::vector<const Vra::Text*> Group(const CreditsState& aScreen, const std::string& aHeading)
        {
            const std::vector<Vra::Text>& texts = aScreen.GetTexts();
            const auto heading = std::find_if(texts.begin(), texts.end(), [&](const Vra::Text& aText) { return aText.GetText() == aHeading; });
            EXPECT_NE(heading, texts.end()) << aHeading;
            std::vector<const Vra::Text*> group;
            for (auto text = heading; text != texts.end(); ++text)
            {
                if (text != heading && text->GetFont() == heading->GetFont())
                {
                    break;
                }
                group.push_back(&*text);
            }
            return group;
        }
    };

    TEST_F(CreditsTest, HeadingsAndLinesLieWhereTheLayoutPutsThemAndFollowAResize)
    {
        const CreditsState& screen = Open();
        struct Case
        {
            const char* myHeading;
            std::size_t myLines;
            float mySpacing;
            float myColumn;
            float myHeight;
            float myDrop;
        };
        const std::vector<Case> cases{
            { "PROGRAMMING", 6, 40.0f, 0.25f, 0.75f, 0.0f }, { "GRAPHICS", 3, 40.0f, 0.5f, 0.75f, 0.0f },
            { "LEVEL DESIGN", 2, 40.0f, 0.5f, 0.7f, 350.0f }, { "ANIMATION", 2, 40.0f, 0.25f, 0.7f, 350.0f },
            { "ACKNOWLEDGEMENTS", 3, 50.0f, 0.75f, 0.75f, 0.0f },
        };
        for (const auto& [width, height] : { std::pair{ 1280u, 720u }, std::pair{ 1920u, 1080u } })
        {
            if (width != 1280u)
            {
                Resize(width, height);
            }
            const float w = static_cast<float>(width);
            const float h = static_cast<float>(height);
            ASSERT_FALSE(screen.GetTexts().empty());
            EXPECT_EQ(screen.GetTexts()[0].GetText(), "CREDITS");
            EXPECT_FLOAT_EQ(screen.GetTexts()[0].GetPosition().y, 0.85f * h);
            EXPECT_EQ(screen.GetTitleBar().GetSprite().myPosition, (Vra::Vector2f{ w * 0.5f, 0.85f * h - 25.0f }));
            EXPECT_FLOAT_EQ(screen.GetTitleBar().GetSprite().mySize.x, w * 0.5f);
            std::size_t count = 1;
            for (const Case& test : cases)
            {
                const std::vector<const Vra::Text*> group = Group(screen, test.myHeading);
                ASSERT_EQ(group.size(), test.myLines + 1) << test.myHeading;
                const float y = test.myHeight * h - test.myDrop;
                EXPECT_NEAR(CentreX(*group[0]), test.myColumn * w, 0.01f) << test.myHeading;
                EXPECT_FLOAT_EQ(group[0]->GetPosition().y, y) << test.myHeading;
                for (std::size_t line = 1; line < group.size(); ++line)
                {
                    EXPECT_NEAR(CentreX(*group[line]), test.myColumn * w, 0.01f) << test.myHeading << " line " << line;
                    EXPECT_FLOAT_EQ(group[line]->GetPosition().y, y - 50.0f - static_cast<float>(line - 1) * test.mySpacing);
                    EXPECT_FALSE(group[line]->GetText().empty());
                }
                count += group.size();
            }
            EXPECT_EQ(screen.GetTexts().size(), count) << "nothing is left over from the layout before";
            ASSERT_EQ(screen.GetButtons().size(), 1u);
            EXPECT_FLOAT_EQ(screen.GetButtons()[0].GetPosition().y, 0.1f * h);
            EXPECT_NEAR(CentreX(screen.GetButtons()[0]), w * 0.5f, 0.01f);
        }

        // The figures for a 1280 x 720 screen.
        Resize(1280, 720);
        const std::vector<const Vra::Text*> programming = Group(screen, "PROGRAMMING");
        EXPECT_NEAR(CentreX(*programming[0]), 320.0f, 0.01f);
        EXPECT_FLOAT_EQ(programming[0]->GetPosition().y, 540.0f);
        EXPECT_FLOAT_EQ(programming[1]->GetPosition().y, 490.0f);
        EXPECT_FLOAT_EQ(programming[2]->GetPosition().y, 450.0f);
        const std::vector<const Vra::Text*> levelDesign = Group(screen, "LEVEL DESIGN");
        EXPECT_FLOAT_EQ(levelDesign[0]->GetPosition().y, 154.0f);
        EXPECT_FLOAT_EQ(levelDesign[1]->GetPosition().y, 104.0f);
        EXPECT_FLOAT_EQ(levelDesign[2]->GetPosition().y, 64.0f);
        EXPECT_EQ(Group(screen, "ACKNOWLEDGEMENTS")[1]->GetText(), "Made using SDL2, OpenGL, FFmpeg and FreeType");
    }

    TEST_F(CreditsTest, BackIsAlwaysSelected)
    {
        const CreditsState& screen = Open();
        Press(Platform::VK_DOWN);
        EXPECT_EQ(screen.GetButtons()[0].GetColor(), MenuStyle::SELECTED_COLOR);
    }

    TEST_F(CreditsTest, EnterOrEscapeFadesBackOnceHoweverOftenPressed)
    {
        for (const std::uint8_t key : { Platform::VK_RETURN, Platform::VK_ESCAPE })
        {
            const GameTestSupport::AudioProbe audio({ "UI_Button" });
            const CreditsState& screen = Open();
            Press(key);
            ASSERT_TRUE(Transition::GetInstance()->IsFading());
            Press(key);
            EXPECT_EQ(Stack().GetTopState(), &screen) << "the fade runs first";
            EXPECT_EQ(audio.Plays("UI_Button"), 1u) << "the second press is not taken";
            FinishTransition();
            EXPECT_NE(dynamic_cast<IdleScreen*>(Stack().GetTopState()), nullptr);
            myWorld = std::make_unique<GameWorld>();
        }
    }
}
