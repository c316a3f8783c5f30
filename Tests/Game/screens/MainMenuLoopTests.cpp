#include "screens/MainMenuState.h"

#include "EngineTestSupport.h"

#include "shell/Go.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "window/MessageQueue.h"
#include "window/VirtualKeys.h"
#include "window/WindowMessages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace
{
    struct KeyMessage
    {
        std::uint32_t myMessage;
        std::uint8_t myKey;
    };

    // The main menu with keys posted to the game's window as a player would type them: the
    // messages listed for a frame are posted during its update and reach the menu the next frame.
    class TypedMainMenu : public MainMenuState
    {
    public:
        TypedMainMenu(SceneStateStack& aStack, std::map<int, std::vector<KeyMessage>> someKeys, int& anUpdates)
            : MainMenuState(aStack), myKeys(std::move(someKeys)), myUpdates(anUpdates)
        {
        }

        bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override
        {
            const Platform::WindowHandle window = *Vra::Engine::GetInstance()->GetConfiguration().myWindowHandle;
            for (const KeyMessage& key : myKeys[++myUpdates])
            {
                Platform::PostMessage(window, key.myMessage, key.myKey, 0);
            }
            return MainMenuState::Update(aDeltaTime, anInput);
        }

    private:
        std::map<int, std::vector<KeyMessage>> myKeys;
        int& myUpdates;
    };

    class MainMenuLoopTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::ClearMessageQueue();
            myFolder.Load();
        }
        void TearDown() override { EngineTestSupport::ResetProcessState(); }

        EngineTestSupport::EngineFolder myFolder;
    };

    TEST_F(MainMenuLoopTest, ExitEndsTheGamesLoop)
    {
        // Escape skips the splash, Up wraps from "START" to "EXIT", Enter chooses it.
        std::map<int, std::vector<KeyMessage>> keys{
            { 1, { { Platform::WM_KEYDOWN, Platform::VK_ESCAPE } } },
            { 2, { { Platform::WM_KEYUP, Platform::VK_ESCAPE }, { Platform::WM_KEYDOWN, Platform::VK_UP } } },
            { 3, { { Platform::WM_KEYUP, Platform::VK_UP }, { Platform::WM_KEYDOWN, Platform::VK_RETURN } } },
        };
        int updates = 0;
        const int status = Go("", [&](SceneStateStack& aStack) { return std::make_unique<TypedMainMenu>(aStack, keys, updates); });
        EXPECT_EQ(status, EXIT_SUCCESS);
        EXPECT_EQ(updates, 4) << "the loop ended with the update that chose EXIT";
        EXPECT_EQ(Vra::Engine::GetInstance(), nullptr);
    }
}
