#include "shell/SceneStateStack.h"

#include "AssertionCatcher.h"
#include "InputHandler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{
    // A screen that writes what happens to it into a shared log and does what the test tells it.
    class RecordingState : public SceneState
    {
    public:
        RecordingState(SceneStateStack* aStack, std::vector<std::string>& aLog, std::string aName, bool anIsOverlay = false)
            : SceneState(aStack), myLog(aLog), myName(std::move(aName))
        {
            myIsOverlay = anIsOverlay;
        }
        ~RecordingState() override { myLog.push_back(myName + ":delete"); }

        bool OnInit() override
        {
            myLog.push_back(myName + ":init");
            return true;
        }
        void OnExit() override { myLog.push_back(myName + ":exit"); }
        bool Update(float, CommonUtilities::InputHandler&) override
        {
            myLog.push_back(myName + ":update");
            if (myOnUpdate)
            {
                myOnUpdate();
            }
            return myKeepRunning;
        }
        void Render() override { myLog.push_back(myName + ":render"); }

        bool myKeepRunning = true;
        std::function<void()> myOnUpdate;

    private:
        std::vector<std::string>& myLog;
        std::string myName;
    };

    class SceneStateStackTest : public testing::Test
    {
    protected:
        RecordingState* Make(const std::string& aName, bool anIsOverlay, std::unique_ptr<SceneState>& anOwner)
        {
            auto state = std::make_unique<RecordingState>(&myStack, myLog, aName, anIsOverlay);
            RecordingState* raw = state.get();
            anOwner = std::move(state);
            return raw;
        }
        RecordingState* Push(const std::string& aName, bool anIsOverlay = false)
        {
            std::unique_ptr<SceneState> owner;
            RecordingState* raw = Make(aName, anIsOverlay, owner);
            myStack.PushState(std::move(owner));
            return raw;
        }
        RecordingState* PushLayer(const std::string& aName)
        {
            std::unique_ptr<SceneState> owner;
            RecordingState* raw = Make(aName, false, owner);
            myStack.PushLayer(std::move(owner));
            return raw;
        }
        RecordingState* SetPending(const std::string& aName)
        {
            std::unique_ptr<SceneState> owner;
            RecordingState* raw = Make(aName, false, owner);
            myStack.SetPendingState(std::move(owner));
            return raw;
        }
        bool Update()
        {
            myLog.clear();
            return myStack.Update(0.016f, myInput);
        }
        std::vector<std::string> Render()
        {
            myLog.clear();
            myStack.Render();
            return myLog;
        }

        std::vector<std::string> myLog;
        CommonUtilities::InputHandler myInput;
        SceneStateStack myStack;
    };

    using Log = std::vector<std::string>;

    TEST_F(SceneStateStackTest, PushInitialisesAndOnlyTheTopStateUpdates)
    {
        EXPECT_EQ(myStack.GetTopState(), nullptr);
        RecordingState* menu = Push("menu");
        RecordingState* options = Push("options");
        EXPECT_EQ(myLog, (Log{ "menu:init", "options:init" }));
        EXPECT_EQ(myStack.GetTopState(), options);
        EXPECT_EQ(myStack.GetLayerCount(), 1u);
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "options:update" }));
        (void)menu;
    }

    TEST_F(SceneStateStackTest, StateEndingEmptiesLayerAndEndsTheGameDespiteLowerLayers)
    {
        Push("menu");
        RecordingState* level = PushLayer("level");
        EXPECT_EQ(myStack.GetLayerCount(), 2u);
        level->myKeepRunning = false;
        EXPECT_FALSE(Update());
        EXPECT_EQ(myLog, (Log{ "level:update", "level:exit", "level:delete" }));
        EXPECT_EQ(myStack.GetTopState(), nullptr);
        EXPECT_EQ(myStack.GetLayerCount(), 2u);
    }

    TEST_F(SceneStateStackTest, PendingStateReplacesTheTopAfterAStateThatEnded)
    {
        Push("menu");
        RecordingState* options = Push("options");
        options->myKeepRunning = false;
        SetPending("next");
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "options:update", "options:exit", "options:delete", "menu:exit", "menu:delete", "next:init" }));
    }

    TEST_F(SceneStateStackTest, SecondPendingStateDropsTheFirstUnseen)
    {
        Push("level");
        SetPending("first");
        myLog.clear();
        SetPending("second");
        EXPECT_EQ(myLog, (Log{ "first:delete" }));
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "level:update", "level:exit", "level:delete", "second:init" }));
    }

    TEST_F(SceneStateStackTest, PopLayerFromUpdateHonoursResultAndPendingFirst)
    {
        Push("menu");
        PushLayer("level");
        RecordingState* pause = Push("pause", true);
        pause->myOnUpdate = [this] {
            myStack.RequestPopLayer();
            SetPending("next");
        };
        pause->myKeepRunning = false;
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "pause:update", "pause:exit", "pause:delete", "level:exit", "level:delete", "next:init",
                               "next:delete" }));
        EXPECT_EQ(myStack.GetLayerCount(), 1u);
        EXPECT_EQ(Render(), (Log{ "menu:render" }));
    }

    TEST_F(SceneStateStackTest, PoppedLayerDeletesBottomFirstWithoutExit)
    {
        Push("menu");
        PushLayer("level");
        Push("pause", true);
        myStack.RequestPopLayer();
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "pause:update", "level:delete", "pause:delete" }));
    }

    TEST_F(SceneStateStackTest, OverlaysRenderOverTheStateBeneathWithinTheTopLayer)
    {
        Push("menu");
        PushLayer("level");
        Push("pause", true);
        EXPECT_EQ(Render(), (Log{ "level:render", "pause:render" }));
        Push("options");
        EXPECT_EQ(Render(), (Log{ "options:render" }));
        Push("popup", true);
        EXPECT_EQ(Render(), (Log{ "options:render", "popup:render" }));
    }

    TEST_F(SceneStateStackTest, OverlayAtTheBottomOfALayerDrawsOnlyItself)
    {
        Push("menu");
        std::unique_ptr<SceneState> owner;
        Make("hud", true, owner);
        myStack.PushLayer(std::move(owner));
        EXPECT_EQ(Render(), (Log{ "hud:render" }));
    }

    TEST_F(SceneStateStackTest, EmptyStackRendersNothingAndFailsItsChecks)
    {
        const std::string expected = "!mySceneStates.back().empty() && !mySceneStates.empty()";
        EXPECT_TRUE(Render().empty());
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.Update(0.0f, myInput); }), expected);
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.PopState(); }), expected);
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.RequestPopLayer(); }), "!mySceneStates.empty()");

        // An emptied layer stays, and is still empty to the checks.
        Push("only");
        myStack.PopState();
        EXPECT_EQ(myStack.GetLayerCount(), 1u);
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.PopState(); }), expected);
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.RequestPopLayer(); }), "");
    }

    TEST_F(SceneStateStackTest, PendingStateOnAnEmptiedLayerFailsThePop)
    {
        RecordingState* only = Push("only");
        only->myKeepRunning = false;
        SetPending("next");
        EXPECT_EQ(TestSupport::FailedAssertion([this] { myStack.Update(0.0f, myInput); }),
                  "!mySceneStates.back().empty() && !mySceneStates.empty()");
    }

    TEST_F(SceneStateStackTest, StateThatPushesAndEndsIsTheOneThatGoes)
    {
        RecordingState* menu = Push("menu");
        menu->myOnUpdate = [this] { Push("options"); };
        menu->myKeepRunning = false;
        EXPECT_TRUE(Update());
        EXPECT_EQ(myLog, (Log{ "menu:update", "options:init", "menu:exit", "menu:delete" }));
        ASSERT_NE(myStack.GetTopState(), nullptr);
        EXPECT_EQ(Render(), (Log{ "options:render" }));
    }

    TEST(SceneStateStackLifetime, DestructionDeletesPendingThenLayersBottomUpWithoutExit)
    {
        std::vector<std::string> log;
        {
            SceneStateStack stack;
            stack.PushState(std::make_unique<RecordingState>(&stack, log, "menu"));
            stack.PushState(std::make_unique<RecordingState>(&stack, log, "options"));
            stack.PushLayer(std::make_unique<RecordingState>(&stack, log, "level"));
            stack.SetPendingState(std::make_unique<RecordingState>(&stack, log, "next"));
            log.clear();
        }
        EXPECT_EQ(log, (Log{ "next:delete", "menu:delete", "options:delete", "level:delete" }));
    }

    TEST(SceneStateDefaults, BaseOperations)
    {
        std::vector<std::string> log;
        RecordingState state(nullptr, log, "plain");
        EXPECT_TRUE(state.LoadScene("levels/level1.vrs"));
        EXPECT_FALSE(state.IsOverlay());
        EXPECT_EQ(state.GetCameraController(), nullptr);
    }
}
