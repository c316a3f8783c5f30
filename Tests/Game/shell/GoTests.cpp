#include "shell/Go.h"

#include "effects/VfxManager.h"
#include "shell/EventBusCallback.h"
#include "shell/GameWorld.h"
#include "shell/ResizeEvent.h"
#include "shell/SceneState.h"
#include "shell/SceneStateStack.h"

#include "../GameTestSupport.h"

#include "Engine.h"
#include "InputHandler.h"
#include "window/MessageQueue.h"
#include "window/VirtualKeys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace
{
    namespace fs = std::filesystem;

    // What a scripted screen saw, kept by the test beyond the screen's life.
    struct ScreenLog
    {
        int myUpdates = 0;
        int myRenders = 0;
        bool myIsDestroyed = false;
        bool myWasEngineAliveAtDestruction = false;
        float myTotalTimeAtLastRender = -1.0f;
        float myTotalTimeAtDestruction = -1.0f;
    };

    // A first screen whose update does what the test says: it is told the frame number (from 1)
    // and returns whether the screen goes on.
    class ScriptedScreen : public SceneState
    {
    public:
        ScriptedScreen(SceneStateStack& aStack, ScreenLog& aLog, std::function<bool(int)> anOnUpdate, std::function<void()> anOnInit = {})
            : SceneState(&aStack), myLog(aLog), myOnUpdate(std::move(anOnUpdate)), myOnInit(std::move(anOnInit))
        {
        }
        ~ScriptedScreen() override
        {
            const Vra::Engine* const engine = Vra::Engine::GetInstance();
            myLog.myIsDestroyed = true;
            myLog.myWasEngineAliveAtDestruction = engine != nullptr;
            myLog.myTotalTimeAtDestruction = engine ? engine->GetTotalTime() : -1.0f;
        }

        bool OnInit() override
        {
            if (myOnInit)
            {
                myOnInit();
            }
            return true;
        }
        bool Update(float, CommonUtilities::InputHandler&) override { return myOnUpdate(++myLog.myUpdates); }
        void Render() override
        {
            ++myLog.myRenders;
            myLog.myTotalTimeAtLastRender = Vra::Engine::GetInstance()->GetTotalTime();
        }

    private:
        ScreenLog& myLog;
        std::function<bool(int)> myOnUpdate;
        std::function<void()> myOnInit;
    };

    FirstScreenMaker Scripted(ScreenLog& aLog, std::function<bool(int)> anOnUpdate, std::function<void()> anOnInit = {})
    {
        return [&aLog, anOnUpdate, anOnInit](SceneStateStack& aStack) { return std::make_unique<ScriptedScreen>(aStack, aLog, anOnUpdate, anOnInit); };
    }

    class GoTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::ClearMessageQueue();
            myFolder.Load();
        }
        void TearDown() override { EngineTestSupport::ResetProcessState(); }

        fs::path GameFolder() const { return myFolder.GetRoot() / "game"; }

        EngineTestSupport::EngineFolder myFolder;
    };

    TEST_F(GoTest, EmptyTopLayerEndsTheLoopAfterTheServicesRanWithoutRenderingThatFrame)
    {
        GameTestSupport::WriteSolidDds(GameFolder() / "sprites" / "puff.dds", 4, 4, GameTestSupport::RED);
        const TestSupport::TemporaryFolder tables;
        const fs::path table = tables.Write("vfx.json", R"({ "VFX": [ { "name": "GoLoopPuff", "texture": "sprites/puff.dds", "frameTime": 100 } ] })");

        ScreenLog log;
        const int status = Go("", Scripted(
            log,
            [](int aFrame) {
                if (aFrame < 3)
                {
                    return true;
                }
                VfxManager::GetInstance().Spawn("GoLoopPuff", { 1.0f, 2.0f }, false, false, 0.0f);
                return false;
            },
            [&table] { VfxManager::GetInstance().LoadFromFile(table.string()); }));

        EXPECT_EQ(status, EXIT_SUCCESS);
        EXPECT_EQ(log.myUpdates, 3);
        EXPECT_EQ(log.myRenders, 2) << "the frame whose update emptied the stack is not drawn";
        EXPECT_TRUE(log.myIsDestroyed);
        EXPECT_TRUE(log.myWasEngineAliveAtDestruction) << "the game object goes before the engine";
        EXPECT_EQ(Vra::Engine::GetInstance(), nullptr) << "the engine is shut down after the loop";

        // The effect spawned in that last update was advanced in the same frame.
        const std::vector<VfxInstance>& effects = VfxManager::GetInstance().GetInstances();
        ASSERT_EQ(effects.size(), 1u);
        EXPECT_GT(effects[0].myElapsed, 0.0f);
        VfxManager::GetInstance().Update(1000.0f); // retires it: nothing of this engine stays live
        EXPECT_TRUE(VfxManager::GetInstance().GetInstances().empty());
    }

    TEST_F(GoTest, ClosingTheWindowEndsTheLoopAfterThatFrameIsPresented)
    {
        ScreenLog log;
        const int status = Go("", Scripted(log, [](int aFrame) {
            if (aFrame == 2)
            {
                Platform::PostMessage(*Vra::Engine::GetInstance()->GetConfiguration().myWindowHandle, Platform::WM_CLOSE, 0, 0);
            }
            return true;
        }));

        EXPECT_EQ(status, EXIT_SUCCESS);
        EXPECT_EQ(log.myUpdates, 2) << "no frame runs after the quit message";
        EXPECT_EQ(log.myRenders, 2) << "the frame in which the window was closed is still drawn";
        EXPECT_TRUE(log.myWasEngineAliveAtDestruction);
        EXPECT_GT(log.myTotalTimeAtDestruction, log.myTotalTimeAtLastRender) << "that frame was presented";
    }

    TEST_F(GoTest, FailedEngineStartExitsNonZeroWithoutRunningAFrame)
    {
        // No cooked shaders: the graphics engine cannot start.
        EngineTestSupport::EngineFolder brokenFolder(myFolder.GetRoot() / "no-shaders");
        brokenFolder.Load();
        // The failed start waits for a key on a terminal; here it must not.
        ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
        ScreenLog log;
        const int status = Go("", Scripted(log, [](int) { return false; }));

        EXPECT_NE(status, EXIT_SUCCESS);
        EXPECT_EQ(log.myUpdates, 0);
        EXPECT_FALSE(log.myIsDestroyed) << "no game object was built";
        ASSERT_NE(Vra::Engine::GetInstance(), nullptr) << "nothing is shut down after a failed start";
        const Platform::WindowHandle* window = Vra::Engine::GetInstance()->GetConfiguration().myWindowHandle;
        EXPECT_TRUE(window == nullptr || !Platform::IsWindow(*window)) << "no window stays open";
    }

    TEST_F(GoTest, GoInstallsTheMessageHandlerAndOnlyTheFileWatcherFeature)
    {
        ScreenLog log;
        bool handlerInstalled = false;
        std::uint32_t mask = 0;
        Go("", Scripted(log, [&](int) {
            const Vra::EngineConfiguration& configuration = Vra::Engine::GetInstance()->GetConfiguration();
            handlerInstalled = static_cast<bool>(configuration.myMessageCallback);
            mask = configuration.myDebugFeatures;
            return false;
        }));
        EXPECT_TRUE(handlerInstalled);
        EXPECT_EQ(mask, Vra::ToMask(Vra::DebugFeature::Filewatcher));
    }

    class WindowMessageTest : public testing::Test
    {
    protected:
        void SetUp() override { Platform::ClearMessageQueue(); }
        void TearDown() override { Platform::ClearMessageQueue(); }
    };

    TEST_F(WindowMessageTest, SizeMessageBroadcastsTheClientSizeFromLParam)
    {
        std::vector<ResizeEvent> heard;
        EventBusCallback<ResizeEvent> listener;
        listener.SetCallback([&](const ResizeEvent& anEvent) { heard.push_back(anEvent); });

        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_SIZE, Platform::SIZE_RESTORED, Platform::MakeLParam(1280, 720)), 0);

        ASSERT_EQ(heard.size(), 1u);
        EXPECT_EQ(heard[0].myWidth, 1280u);
        EXPECT_EQ(heard[0].myHeight, 720u);
    }

    TEST_F(WindowMessageTest, DestroyPostsQuit)
    {
        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_DESTROY, 0, 0), 0);
        Platform::Message message;
        ASSERT_TRUE(Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_REMOVE));
        EXPECT_EQ(message.myId, Platform::WM_QUIT);
    }

    TEST_F(WindowMessageTest, KeysReachTheGlobalInputAndMarkTheKeyboardInUse)
    {
        CommonUtilities::InputHandler& input = GetInputHandler();
        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_KEYDOWN, 'Z', 0), 0);
        input.Update();
        EXPECT_TRUE(input.IsKeyPressed('Z'));
        EXPECT_TRUE(input.IsKeyboardMouseActive());
        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_KEYUP, 'Z', 0), 0);
        input.Update();
        EXPECT_FALSE(input.IsKeyHeld('Z'));
    }

    TEST_F(WindowMessageTest, OtherMessagesChangeNothingAndAnswerZero)
    {
        std::vector<ResizeEvent> heard;
        EventBusCallback<ResizeEvent> listener;
        listener.SetCallback([&](const ResizeEvent& anEvent) { heard.push_back(anEvent); });
        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_MOVE, 0, Platform::MakeLParam(5, 6)), 0);
        EXPECT_EQ(HandleWindowMessage(nullptr, Platform::WM_PAINT, 0, 0), 0);
        EXPECT_TRUE(heard.empty());
        Platform::Message message;
        EXPECT_FALSE(Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_REMOVE));
    }
}
