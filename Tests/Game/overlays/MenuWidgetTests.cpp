#include "overlays/Checkbox.h"
#include "overlays/VolumeSlider.h"

#include "../GameTestSupport.h"

#include "audio/AudioManager.h"

#include "InputHandler.h"
#include "input/Gamepad.h"
#include "window/VirtualKeys.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

namespace
{
    class MenuWidgetTest : public GameTestSupport::GameEngineTest
    {
    protected:
        void SetUp() override
        {
            GameEngineTest::SetUp();
            AddSprite(VolumeSlider::BAR_TEXTURE, GameTestSupport::BLACK, 40, 8);
            AddSprite(VolumeSlider::HANDLE_TEXTURE, GameTestSupport::BLACK, 6, 10);
            AddSprite(Checkbox::UNCHECKED_TEXTURE, GameTestSupport::RED, 8, 6);
            AddSprite(Checkbox::CHECKED_TEXTURE, GameTestSupport::GREEN, 16, 16);
            AudioManager::GetInstance().SetMasterVolume(0.5f);
        }
        void TearDown() override
        {
            Platform::SetGamepadStateSource({});
            AudioManager::GetInstance().SetMasterVolume(1.0f);
            GameEngineTest::TearDown();
        }

        // A frame with the key up, then one in which it goes down: pressed.
        void PressKey(std::uint8_t aKey)
        {
            myInput.HandleMessage(Platform::WM_KEYUP, aKey, 0);
            myInput.Update();
            myInput.HandleMessage(Platform::WM_KEYDOWN, aKey, 0);
            myInput.SetKeyboardMouseActive();
            myInput.Update();
        }
        void HoldPad(std::uint16_t someButtons)
        {
            myPadButtons = someButtons;
            Platform::SetGamepadStateSource([this](std::uint32_t aUser, Platform::GamepadInputState& aState) {
                if (aUser != 0)
                {
                    return false;
                }
                aState.myPacketNumber = ++myPacket;
                aState.myGamepad.myButtons = myPadButtons;
                return true;
            });
            myInput.Update();
        }

        static float Volume() { return AudioManager::GetInstance().GetMasterVolume(); }

        CommonUtilities::InputHandler myInput;
        std::uint16_t myPadButtons = 0;
        std::uint32_t myPacket = 0;
    };

    TEST_F(MenuWidgetTest, SliderTakesItsTexturesSizesAndPlacesTheHandleAtTheVolume)
    {
        VolumeSlider slider;
        slider.Init({ 20.0f, 30.0f });
        EXPECT_EQ(slider.GetSize(), (Vra::Vector2f{ 40.0f, 8.0f }));
        EXPECT_EQ(slider.GetBarSprite().myPivot, (Vra::Vector2f{ 0.0f, 0.5f }));
        EXPECT_EQ(slider.GetHandleSprite().mySize, (Vra::Vector2f{ 6.0f, 10.0f }));
        EXPECT_EQ(slider.GetHandleSprite().myPosition, (Vra::Vector2f{ 40.0f, 30.0f }));
    }

    TEST_F(MenuWidgetTest, EveryKeyPressStepsOnceAndTheVolumeStaysWithinItsRange)
    {
        VolumeSlider slider;
        slider.Init({ 20.0f, 30.0f });
        PressKey(Platform::VK_RIGHT);
        slider.Update(0.01f, myInput);
        EXPECT_FLOAT_EQ(Volume(), 0.6f);
        PressKey(Platform::VK_RIGHT);
        slider.Update(0.01f, myInput);
        EXPECT_FLOAT_EQ(Volume(), 0.7f) << "the keyboard waits for no delay";
        EXPECT_FLOAT_EQ(slider.GetHandleSprite().myPosition.x, 20.0f + 0.7f * 40.0f);
        myInput.Update(); // still down: held, not pressed again
        slider.Update(0.01f, myInput);
        EXPECT_FLOAT_EQ(Volume(), 0.7f);

        for (int press = 0; press < 5; ++press)
        {
            PressKey(Platform::VK_RIGHT);
            slider.Update(0.01f, myInput);
        }
        EXPECT_FLOAT_EQ(Volume(), 1.0f) << "right at full volume keeps it there";
        AudioManager::GetInstance().SetMasterVolume(0.0f);
        PressKey(Platform::VK_LEFT);
        slider.Update(0.01f, myInput);
        EXPECT_FLOAT_EQ(Volume(), 0.0f) << "left at silence keeps it there";
    }

    TEST_F(MenuWidgetTest, HeldPadDirectionStepsAtOnceThenEveryQuarterSecond)
    {
        VolumeSlider slider;
        slider.Init({ 0.0f, 0.0f });
        AudioManager::GetInstance().SetMasterVolume(0.0f);
        HoldPad(Platform::GAMEPAD_DPAD_RIGHT);
        myInput.Update(); // down for two frames: held
        ASSERT_FALSE(myInput.IsKeyboardMouseActive());
        slider.Update(0.01f, myInput);
        EXPECT_NEAR(Volume(), 0.1f, 1e-6f);
        float elapsed = 0.0f;
        while (elapsed < 0.18f)
        {
            myInput.Update();
            slider.Update(0.05f, myInput);
            elapsed += 0.05f;
        }
        EXPECT_NEAR(Volume(), 0.1f, 1e-6f) << "no second step before 0.25 s";
        myInput.Update();
        slider.Update(0.05f, myInput); // 0.25 s since the step
        EXPECT_NEAR(Volume(), 0.2f, 1e-6f);
        for (int frame = 0; frame < 5; ++frame)
        {
            myInput.Update();
            slider.Update(0.05f, myInput);
        }
        EXPECT_NEAR(Volume(), 0.3f, 1e-6f);
    }

    TEST_F(MenuWidgetTest, CheckboxShowsTheCheckedTextureAtHalfTheUncheckedSize)
    {
        Checkbox box;
        box.Init({ 10.0f, 20.0f }, false);
        EXPECT_EQ(box.GetSprite().mySize, (Vra::Vector2f{ 4.0f, 3.0f }));
        EXPECT_EQ(box.GetSprite().myPivot, (Vra::Vector2f{ 0.0f, 0.5f }));
        EXPECT_FALSE(box.IsChecked());
        const Vra::TextureResource* const unchecked = box.GetCurrentSpriteData().myColorTexture;

        box.SetChecked(true);
        EXPECT_NE(box.GetCurrentSpriteData().myColorTexture, unchecked);
        box.Render();
        const Screen screen = ReadScreen();
        EXPECT_EQ(screen.At(11, 20).g, 255);
        EXPECT_EQ(screen.At(11, 20).r, 0);
        EXPECT_EQ(screen.At(16, 20).g, 0) << "half the unchecked width, not the checked texture's own";

        box.SetChecked(false);
        box.Render();
        EXPECT_EQ(ReadScreen().At(11, 20).r, 255);
    }
}
