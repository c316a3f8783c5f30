#include "overlays/PromptBox.h"

#include "../GameTestSupport.h"

#include "InputHandler.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
    constexpr std::uint32_t WIDTH = 640;
    constexpr std::uint32_t HEIGHT = 360;

    class PromptBoxTest : public GameTestSupport::GameEngineTest
    {
    protected:
        PromptBoxTest() : GameEngineTest(WIDTH, HEIGHT) {}

        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddFont("CinzelDecorative-Bold.ttf");
            AddSprite(PromptBox::BAR_TEXTURE, GameTestSupport::BLACK);
            AddSprite(PromptBox::CAP_TEXTURE, GameTestSupport::BLACK);
            myBox.Init(myInput);
        }

        float Alpha() const { return myBox.GetText().GetColor().a; }

        CommonUtilities::InputHandler myInput;
        PromptBox myBox;
    };

    struct TutorialCase
    {
        int myKind;
        const char* myKeyboard;
        const char* myGamepad;
    };

    TEST_F(PromptBoxTest, TutorialPromptsUseTheWordingOfTheDeviceInUse)
    {
        const TutorialCase cases[] = {
            { 0, "Press Left & Right to Move", "Use Left Stick to Move" },
            { 1, "Press Z to Jump", "Press A to Jump" },
            { 2, "Press C to Dash", "Use RB to Dash" },
            { 3, "Press X to Dive", "Press X to Dive" },
            { 4, "Press Z to Wall Jump", "Press A to Wall Jump" },
            { 5, "Press Z to Double Jump", "Press A to Double Jump" },
            { 6, "Press SPACE to Squawk", "Press Y to Squawk" },
        };
        for (const TutorialCase& tutorial : cases)
        {
            PromptBox::ShowTutorialPrompt(tutorial.myKind); // nothing pressed yet: the gamepad's words
            EXPECT_EQ(myBox.GetText().GetText(), tutorial.myGamepad) << tutorial.myKind;
            EXPECT_TRUE(myBox.IsVisible());
        }
        myInput.SetKeyboardMouseActive();
        for (const TutorialCase& tutorial : cases)
        {
            PromptBox::ShowTutorialPrompt(tutorial.myKind);
            EXPECT_EQ(myBox.GetText().GetText(), tutorial.myKeyboard) << tutorial.myKind;
        }
    }

    TEST_F(PromptBoxTest, UnknownKindLeavesTheCurrentPromptAlone)
    {
        PromptBox::ShowTutorialPrompt(PromptBox::Jump);
        myBox.Update(10.0f);
        PromptBox::ShowTutorialPrompt(7);
        PromptBox::ShowTutorialPrompt(-1);
        EXPECT_EQ(myBox.GetText().GetText(), "Press A to Jump");
        myBox.Update(PromptBox::TUTORIAL_DURATION - 10.5f);
        EXPECT_FLOAT_EQ(Alpha(), 1.0f) << "its timer was not restarted";
        myBox.Update(1.0f);
        EXPECT_LT(Alpha(), 1.0f);
    }

    TEST_F(PromptBoxTest, TutorialPromptStaysUntilDismissedThenFadesOverJustUnderASecond)
    {
        PromptBox::ShowTutorialPrompt(PromptBox::Dash);
        myBox.Update(600.0f);
        EXPECT_TRUE(myBox.IsVisible());
        EXPECT_FLOAT_EQ(Alpha(), 1.0f);

        PromptBox::Dismiss(false);
        myBox.Update(0.5f);
        EXPECT_TRUE(myBox.IsVisible());
        EXPECT_NEAR(Alpha(), 1.0f - 0.5f / 0.999f, 1e-5f);
        EXPECT_NEAR(myBox.GetBarSprite().myColor.a, (1.0f - 0.5f / 0.999f) * PromptBox::BOX_ALPHA, 1e-5f);
        EXPECT_FLOAT_EQ(myBox.GetLeftCapSprite().myColor.a, myBox.GetBarSprite().myColor.a);
        EXPECT_FLOAT_EQ(myBox.GetRightCapSprite().myColor.a, myBox.GetBarSprite().myColor.a);
        myBox.Update(0.49f);
        EXPECT_TRUE(myBox.IsVisible());
        myBox.Update(0.01f);
        EXPECT_FALSE(myBox.IsVisible());
    }

    TEST_F(PromptBoxTest, DismissImmediatelyHidesAtTheNextUpdate)
    {
        PromptBox::ShowTutorialPrompt(PromptBox::Squawk);
        PromptBox::Dismiss(true);
        myBox.Update(0.001f);
        EXPECT_FALSE(myBox.IsVisible());
    }

    TEST_F(PromptBoxTest, DismissWithoutAPromptChangesNothing)
    {
        PromptBox::Dismiss(true);
        PromptBox::Dismiss(false);
        myBox.Update(0.1f);
        EXPECT_FALSE(myBox.IsVisible());
        PromptBox::ShowMessage("Checkpoint Reached", 2.0f);
        myBox.Update(1.0f);
        EXPECT_FLOAT_EQ(Alpha(), 1.0f) << "an earlier dismiss does not reach a later prompt";
    }

    TEST_F(PromptBoxTest, MessageLaysTheBoxOutAroundTheText)
    {
        PromptBox::ShowMessage("Checkpoint Reached", 2.0f);
        const Vra::Text& text = myBox.GetText();
        const float width = text.GetWidth();
        const float height = text.GetHeight();
        ASSERT_GT(width, 0.0f);
        EXPECT_FLOAT_EQ(text.GetPosition().x, 320.0f - width * 0.5f);
        EXPECT_FLOAT_EQ(text.GetPosition().y, 360.0f * 0.3f);

        const Vra::Sprite2DInstanceData& bar = myBox.GetBarSprite();
        EXPECT_EQ(bar.mySize, (Vra::Vector2f{ width, height * 0.75f }));
        EXPECT_FLOAT_EQ(bar.myPosition.x, text.GetPosition().x + width * 0.5f);
        EXPECT_FLOAT_EQ(bar.myPosition.y, text.GetPosition().y + height / 6.0f);
        const float cap = bar.mySize.y;
        EXPECT_EQ(myBox.GetLeftCapSprite().mySize, (Vra::Vector2f{ cap, cap }));
        EXPECT_EQ(myBox.GetRightCapSprite().mySize, (Vra::Vector2f{ -cap, cap })) << "mirrored";
        EXPECT_FLOAT_EQ(myBox.GetLeftCapSprite().myPosition.x, bar.myPosition.x - (width + cap) * 0.5f);
        EXPECT_FLOAT_EQ(myBox.GetRightCapSprite().myPosition.x, bar.myPosition.x + (width + cap) * 0.5f);
        EXPECT_FLOAT_EQ(myBox.GetRightCapSprite().myPosition.y, bar.myPosition.y);
        EXPECT_FLOAT_EQ(bar.myColor.a, PromptBox::BOX_ALPHA);

        PromptBox::SetScreenSize(1280.0f, 720.0f);
        EXPECT_FLOAT_EQ(text.GetPosition().x, 640.0f - width * 0.5f);
        EXPECT_FLOAT_EQ(text.GetPosition().y, 216.0f);
        EXPECT_FLOAT_EQ(myBox.GetBarSprite().myPosition.x, 640.0f);
        EXPECT_EQ(myBox.GetBarSprite().mySize, (Vra::Vector2f{ width, height * 0.75f })) << "sizes stay";
    }

    TEST_F(PromptBoxTest, ADisabledBoxKeepsItsTimerButDrawsNothing)
    {
        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        PromptBox::ShowMessage("Checkpoint Reached", 1.0f);
        const Vra::Vector2f leftCap = myBox.GetLeftCapSprite().myPosition;

        PromptBox::SetEnabled(false);
        myBox.Update(1.5f);
        myBox.Render();
        EXPECT_EQ(ReadScreen().At(static_cast<int>(leftCap.x), static_cast<int>(leftCap.y)).r, 255);

        PromptBox::SetEnabled(true);
        myBox.Render();
        const int faded = ReadScreen().At(static_cast<int>(leftCap.x), static_cast<int>(leftCap.y)).r;
        EXPECT_LT(faded, 255) << "drawn again where its fade has got to";
        EXPECT_GT(faded, 40);
    }

    TEST_F(PromptBoxTest, AShownPromptDrawsItsDarkBoxWhereTheLayoutSays)
    {
        NextFrame({ 1.0f, 1.0f, 1.0f, 1.0f });
        PromptBox::ShowMessage("Checkpoint Reached", 1.0f);
        myBox.Render();
        const Screen screen = ReadScreen();
        const Vra::Vector2f leftCap = myBox.GetLeftCapSprite().myPosition;
        const Vra::Vector2f rightCap = myBox.GetRightCapSprite().myPosition;
        EXPECT_LT(screen.At(static_cast<int>(leftCap.x), static_cast<int>(leftCap.y)).r, 80); // black at 0.95 over white
        EXPECT_LT(screen.At(static_cast<int>(rightCap.x), static_cast<int>(rightCap.y)).r, 80);
        EXPECT_EQ(screen.At(static_cast<int>(leftCap.x), 340).r, 255) << "nothing above the box";
        EXPECT_EQ(screen.At(5, static_cast<int>(leftCap.y)).r, 255) << "nothing left of it";
    }
}
