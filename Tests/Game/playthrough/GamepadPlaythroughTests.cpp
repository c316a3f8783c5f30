// The menus and a level played on gamepads that SDL reports (its virtual joystick driver): the
// game finds them, reads them through the gamepad layer and the input handler as it does real
// ones, and follows pads that come and go.
#include "ContentGame.h"
#include "VirtualPad.h"

#include "player/states/DashState.h"
#include "screens/PauseState.h"

#include <functional>

namespace
{
    using namespace ContentGame;
    using TestSupport::VirtualPad;

    constexpr std::int16_t STICK_FULL = 32767;

    class PadPlaythrough : public ContentGameTest
    {
    protected:
        // Holds the pad's state for aFrames frames; false when the screens ended on the way.
        bool Hold(VirtualPad& aPad, std::uint16_t someButtons, std::int16_t aStickX, std::int16_t aStickY, int aFrames)
        {
            aPad.SetButtons(someButtons, aStickX, aStickY);
            for (int frame = 0; frame < aFrames; ++frame)
            {
                if (!Frame())
                {
                    return false;
                }
            }
            return true;
        }

        // A press as a thumb makes one (a tenth of a second), then the pad at rest for aRestFrames.
        bool Press(VirtualPad& aPad, std::uint16_t someButtons, std::int16_t aStickX = 0, std::int16_t aStickY = 0, int aRestFrames = 30)
        {
            return Hold(aPad, someButtons, aStickX, aStickY, 6) && Hold(aPad, 0, 0, 0, aRestFrames);
        }

        // Frames with the pad at rest until aCondition holds; false when it never does.
        bool RestUntil(VirtualPad& aPad, const std::function<bool()>& aCondition, int aMostFrames)
        {
            aPad.SetButtons(0);
            for (int frame = 0; frame < aMostFrames && !aCondition(); ++frame)
            {
                if (!Frame())
                {
                    return false;
                }
            }
            return aCondition();
        }

        MainMenuState* Menu() const { return dynamic_cast<MainMenuState*>(TopScreen()); }
    };

    TEST_F(PadPlaythrough, TheMenusAndThePauseMenuFollowTheStickTheDpadAAndStart)
    {
        CapturedOutput output;
        VirtualPad pad;
        myWorld->InitMainMenu(myInput);
        ASSERT_NE(Menu(), nullptr);

        ASSERT_TRUE(Hold(pad, 0, 0, 0, 30));
        ASSERT_FALSE(Menu()->GetSplashScreen().IsFinished());
        ASSERT_TRUE(Press(pad, Platform::GAMEPAD_START));
        ASSERT_TRUE(Menu()->GetSplashScreen().IsFinished()) << "START skips the logos";

        struct Move
        {
            const char* myWhat;
            std::uint16_t myButtons;
            std::int16_t myStickY;
            int mySelected;
        };
        const Move moves[] = {
            { "D-pad down", Platform::GAMEPAD_DPAD_DOWN, 0, MainMenuState::LevelSelect },
            { "stick down", 0, -STICK_FULL, MainMenuState::Options },
            { "stick up", 0, STICK_FULL, MainMenuState::LevelSelect },
            { "D-pad up", Platform::GAMEPAD_DPAD_UP, 0, MainMenuState::Start },
            { "D-pad up past the top", Platform::GAMEPAD_DPAD_UP, 0, MainMenuState::Exit },
            { "stick down past the bottom", 0, -STICK_FULL, MainMenuState::Start },
        };
        for (const Move& move : moves)
        {
            ASSERT_TRUE(Press(pad, move.myButtons, 0, move.myStickY));
            ASSERT_NE(Menu(), nullptr) << move.myWhat;
            EXPECT_EQ(Menu()->GetSelectedIndex(), move.mySelected) << move.myWhat;
        }
        EXPECT_FALSE(myInput.IsKeyboardMouseActive());

        MainMenuState& menu = *Menu();
        ASSERT_TRUE(Press(pad, Platform::GAMEPAD_A, 0, 0, 10));
        ASSERT_EQ(Menu(), &menu);
        ASSERT_TRUE(menu.IsLoadingLevel()) << "A on \"START\" loads the first level";
        ASSERT_TRUE(menu.IsIntroPlaying());
        // The level may be ready before the intro ends: the menu then puts it on top at once.
        ASSERT_TRUE(Hold(pad, Platform::GAMEPAD_A, 0, 0, 1));
        EXPECT_FALSE(menu.IsIntroPlaying()) << "A skips the intro";
        ASSERT_TRUE(RestUntil(pad, [this] { return TopLevel() != nullptr; }, 900)) << myRunner.Where();
        ASSERT_TRUE(RestUntil(pad, [this] { return !TopLevel()->GetPlayer()->IsInCutscene() && !Transition::GetInstance()->IsSweeping(); }, 900));

        ASSERT_TRUE(Press(pad, Platform::GAMEPAD_START, 0, 0, 10));
        const auto* pause = dynamic_cast<PauseState*>(TopScreen());
        ASSERT_NE(pause, nullptr) << "START pauses the level";
        ASSERT_TRUE(Press(pad, Platform::GAMEPAD_DPAD_DOWN, 0, 0, 20));
        ASSERT_EQ(TopScreen(), pause);
        EXPECT_EQ(pause->GetSelectedIndex(), PauseState::Reset);
        ASSERT_TRUE(Press(pad, Platform::GAMEPAD_START, 0, 0, 10));
        EXPECT_NE(TopLevel(), nullptr) << "START resumes it";
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }

    TEST_F(PadPlaythrough, TheCaveIsPlayedOnOnePadAndFinishedOnASecondPluggedInOnTheWay)
    {
        CapturedOutput output;
        std::string error;
        const std::vector<TrackStep> steps = ReadTrack(TrackFolder() / "level_2_01.track", error);
        ASSERT_EQ(error, "");
        // The hand-over comes once the first pad has jumped and dashed over the wide thorn pit.
        const auto handOver = std::find_if(steps.begin(), steps.end(), [](const TrackStep& aStep) {
            return (aStep.myPadButtons & Platform::GAMEPAD_RIGHT_SHOULDER) != 0;
        });
        ASSERT_NE(handOver, steps.end());

        auto first = std::make_unique<VirtualPad>();
        myRunner.SetPadOutput([&first](const Platform::GamepadState& aState) { first->Set(aState); });
        myWorld->InitWithScene("levels/level_2_01.vrs", myInput);
        ASSERT_NE(TopLevel(), nullptr) << output.Text();
        ASSERT_EQ(myRunner.Play({ steps.begin(), handOver }), "");
        first->SetButtons(handOver->myPadButtons, handOver->myStickX);
        bool hasDashed = false;
        for (int frame = 0; frame < handOver->myFrames; ++frame)
        {
            ASSERT_TRUE(Frame());
            hasDashed = hasDashed || dynamic_cast<DashState*>(TopLevel()->GetPlayer()->GetCurrentState()) != nullptr;
        }
        EXPECT_TRUE(hasDashed) << "the right shoulder dashes";

        VirtualPad second;
        ASSERT_TRUE(Frame());
        first.reset();
        myRunner.SetPadOutput([&second](const Platform::GamepadState& aState) { second.Set(aState); });
        EXPECT_EQ(myRunner.Play({ handOver + 1, steps.end() }), "");
        EXPECT_NE(TopLevel(), nullptr);
        EXPECT_EQ(LinesWith(output.Text(), ContentErrorMarks()), "");
    }
}
