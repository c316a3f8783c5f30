#pragma once
#include "../AudioProbe.h"
#include "../GameTestSupport.h"

#include "overlays/Transition.h"
#include "screens/LevelLoading.h"
#include "shell/EventBus.h"
#include "shell/GameWorld.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"
#include "shell/SceneStateStack.h"

#include "InputHandler.h"
#include "input/Gamepad.h"
#include "text/Text.h"
#include "window/VirtualKeys.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace ScreenTestSupport
{
    // A frame time that binary floats add up exactly.
    constexpr float DT = 1.0f / 64.0f;

    // Where a text is centred horizontally.
    inline float CentreX(const Vra::Text& aText)
    {
        return aText.GetPosition().x + aText.GetWidth() * 0.5f;
    }

    enum class LoadOutcome
    {
        Loads,
        Fails,
        Throws,
    };

    // What the stand-in levels of one test saw, written from the loading task and the main thread.
    struct LevelLog
    {
        std::atomic<int> myMade = 0;
        std::atomic<int> myDestroyed = 0;
        std::atomic<int> myInits = 0;
        std::mutex myMutex;
        std::vector<std::string> myLoadedPaths;
        std::vector<std::thread::id> myLoadThreads;
        // Loads wait for this while it is set, so that a test sees the menu while a level loads.
        std::shared_future<void> myGate;
        LoadOutcome myOutcome = LoadOutcome::Loads;
    };

    // A level as the menus see one: it loads a scene (as the test tells it to), starts and runs.
    class StandInLevel : public SceneState
    {
    public:
        StandInLevel(SceneStateStack& aStack, LevelLog& aLog) : SceneState(&aStack), myLog(aLog) { ++myLog.myMade; }
        ~StandInLevel() override { ++myLog.myDestroyed; }

        bool LoadScene(const std::string& aScenePath) override
        {
            {
                const std::lock_guard<std::mutex> lock(myLog.myMutex);
                myLog.myLoadedPaths.push_back(aScenePath);
                myLog.myLoadThreads.push_back(std::this_thread::get_id());
            }
            if (myLog.myGate.valid())
            {
                myLog.myGate.wait();
            }
            switch (myLog.myOutcome)
            {
            case LoadOutcome::Fails:
                return false;
            case LoadOutcome::Throws:
                throw std::runtime_error("unexpected end of the object file");
            default:
                return true;
            }
        }
        bool OnInit() override
        {
            ++myLog.myInits;
            return true;
        }
        bool Update(float, CommonUtilities::InputHandler&) override { return true; }
        void Render() override {}

    private:
        LevelLog& myLog;
    };

    inline LevelMaker StandInLevels(LevelLog& aLog)
    {
        return [&aLog](SceneStateStack& aStack) -> std::unique_ptr<SceneState> { return std::make_unique<StandInLevel>(aStack, aLog); };
    }

    // A screen that stays until its layer goes (the level beneath a pause menu, for one).
    class IdleScreen : public SceneState
    {
    public:
        explicit IdleScreen(SceneStateStack& aStack) : SceneState(&aStack) {}
        bool OnInit() override { return true; }
        bool Update(float, CommonUtilities::InputHandler&) override { return true; }
        void Render() override {}
    };

    // The game object and the transition on the headless engine, run frame by frame as the main
    // loop runs them, with keys and a gamepad of the test's.
    class ScreenTest : public GameTestSupport::GameEngineTest
    {
    protected:
        explicit ScreenTest(std::uint32_t aWidth = 1280, std::uint32_t aHeight = 720) : GameEngineTest(aWidth, aHeight) {}

        void SetUp() override
        {
            GameEngineTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            Transition& transition = *Transition::GetInstance();
            // A fade left by an earlier test of the process ends here; its screens are gone.
            while (transition.IsFading() || transition.IsSweeping())
            {
                transition.Update(Transition::MAX_STEP);
            }
            transition.Init(0.7f, 1.5f);
            myWorld = std::make_unique<GameWorld>();
        }

        void TearDown() override
        {
            myWorld.reset();
            Platform::SetGamepadStateSource({});
            GameEngineTest::TearDown();
        }

        SceneStateStack& Stack() { return myWorld->GetSceneStateStack(); }

        // The first screen, as the game object starts one.
        template <typename Screen, typename... Arguments>
        Screen& Start(Arguments&&... someArguments)
        {
            auto screen = std::make_unique<Screen>(Stack(), std::forward<Arguments>(someArguments)...);
            Screen& started = *screen;
            myWorld->InitWithState(std::move(screen), myInput);
            return started;
        }

        // One frame of the main loop but its present: input, update, render, transition. False
        // when the screens ended.
        bool Step(float aDeltaTime = DT)
        {
            myInput.Update();
            if (!myWorld->Update(aDeltaTime, myInput))
            {
                return false;
            }
            myWorld->Render();
            Transition& transition = *Transition::GetInstance();
            transition.Update(aDeltaTime);
            transition.Render();
            return true;
        }

        // The whole frame, presented. False when the screens ended.
        bool Frame(float aDeltaTime = DT)
        {
            const bool isRunning = Step(aDeltaTime);
            NextFrame();
            return isRunning;
        }

        // What the next frame draws.
        Screen StepAndRead()
        {
            EXPECT_TRUE(Step());
            Screen screen = ReadScreen();
            NextFrame();
            return screen;
        }

        bool Frames(int aCount, float aDeltaTime = DT)
        {
            for (int frame = 0; frame < aCount; ++frame)
            {
                if (!Frame(aDeltaTime))
                {
                    return false;
                }
            }
            return true;
        }

        // Frames until the transition is idle (at most 5 s of them).
        void FinishTransition()
        {
            const Transition& transition = *Transition::GetInstance();
            for (int frame = 0; frame < 320 && (transition.IsFading() || !transition.IsHidden()); ++frame)
            {
                Frame();
            }
            ASSERT_FALSE(transition.IsFading());
        }

        // A frame in which the key goes down; it is up again for the next frame.
        bool Press(std::uint8_t aKey)
        {
            myInput.HandleMessage(Platform::WM_KEYDOWN, aKey, 0);
            myInput.SetKeyboardMouseActive();
            const bool isRunning = Frame();
            myInput.HandleMessage(Platform::WM_KEYUP, aKey, 0);
            // The release reaches the input at once, so that the next press of the same key is a press.
            myInput.Update();
            return isRunning;
        }

        // The gamepad in use from the next frame, with these buttons and left stick held.
        void HoldPad(std::uint16_t someButtons, std::int16_t aStickY = 0)
        {
            myPadButtons = someButtons;
            myPadStickY = aStickY;
            Platform::SetGamepadStateSource([this](std::uint32_t aUser, Platform::GamepadInputState& aState) {
                if (aUser != 0)
                {
                    return false;
                }
                aState.myPacketNumber = ++myPadPacket;
                aState.myGamepad.myButtons = myPadButtons;
                aState.myGamepad.myThumbLeftY = myPadStickY;
                return true;
            });
        }

        static void Resize(std::uint32_t aWidth, std::uint32_t aHeight) { EventBus<ResizeEvent>::Broadcast({ aWidth, aHeight }); }

        CommonUtilities::InputHandler myInput;
        std::unique_ptr<GameWorld> myWorld;
        std::uint16_t myPadButtons = 0;
        std::int16_t myPadStickY = 0;
        std::uint32_t myPadPacket = 0;
    };
}
