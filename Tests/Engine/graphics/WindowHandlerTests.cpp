#include "graphics/WindowHandler.h"

#include "window/MessageQueue.h"
#include "window/SystemServices.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Vra;

namespace
{
    class WindowHandlerTest : public ::testing::Test
    {
    protected:
        void SetUp() override { Platform::ClearMessageQueue(); }

        void TearDown() override
        {
            WindowHandler::SetSizeMessageHandler(nullptr);
            if (Platform::IsWindow(myHandler.GetWindowHandle()))
            {
                myHandler.Close();
            }
            Platform::ClearMessageQueue();
        }

        void Create()
        {
            ASSERT_TRUE(myHandler.Create(myConfiguration, myConfiguration.myInstanceHandle, myConfiguration.myWindowHandle));
        }

        Vector2<int> ClientSize() const
        {
            Platform::Rect client;
            Platform::GetClientRect(myHandler.GetWindowHandle(), client);
            return {client.myRight - client.myLeft, client.myBottom - client.myTop};
        }

        std::uint32_t Style() const { return static_cast<std::uint32_t>(Platform::GetWindowLongPtr(myHandler.GetWindowHandle(), Platform::GWL_STYLE)); }

        bool QuitQueued()
        {
            Platform::Message message;
            while (Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_REMOVE))
            {
                if (message.myId == Platform::WM_QUIT)
                {
                    return true;
                }
            }
            return false;
        }

        EngineConfiguration myConfiguration;
        WindowHandler myHandler;
    };
}

TEST_F(WindowHandlerTest, CreatesAVisibleWindowWithTheConfiguredClientSize)
{
    myConfiguration.myWindowSize = {300, 200};
    myConfiguration.myTitle = "Bird";
    Create();
    const Platform::WindowHandle window = myHandler.GetWindowHandle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(myConfiguration.myWindowHandle, &myHandler.GetWindowHandle()) << "the configuration points at the handler's handle";
    EXPECT_NE(myConfiguration.myInstanceHandle, nullptr);
    EXPECT_EQ(ClientSize(), (Vector2<int>{300, 200}));
    EXPECT_EQ(Style(), WindowHandler::WINDOWED_STYLE);
    EXPECT_TRUE(Platform::IsWindowVisible(window));
    EXPECT_FALSE(Platform::IsZoomed(window));
    EXPECT_EQ(Platform::GetWindowText(window), "Bird");
    EXPECT_EQ(Platform::GetWindowLongPtr(window, Platform::GWLP_USERDATA), reinterpret_cast<std::intptr_t>(&myHandler));
}

TEST_F(WindowHandlerTest, StartStylesAndShowStates)
{
    struct Case
    {
        const char* myName;
        bool myFullscreen;
        bool myMaximized;
        bool myBorderless;
        std::uint32_t myStyle;
        bool myZoomed;
    };
    const Case cases[] = {
        {"fullscreen without borderless", true, false, false, WindowHandler::FULLSCREEN_STYLE, true},
        {"maximised alone", false, true, false, WindowHandler::WINDOWED_STYLE, true},
        {"borderless alone", false, false, true, WindowHandler::FULLSCREEN_STYLE, false},
        {"plain", false, false, false, WindowHandler::WINDOWED_STYLE, false},
    };
    for (const Case& testCase : cases)
    {
        EngineConfiguration configuration;
        configuration.myStartInFullscreen = testCase.myFullscreen;
        configuration.myStartMaximized = testCase.myMaximized;
        configuration.myBorderless = testCase.myBorderless;
        WindowHandler handler;
        ASSERT_TRUE(handler.Create(configuration, configuration.myInstanceHandle, configuration.myWindowHandle));
        EXPECT_EQ(static_cast<std::uint32_t>(Platform::GetWindowLongPtr(handler.GetWindowHandle(), Platform::GWL_STYLE)), testCase.myStyle) << testCase.myName;
        EXPECT_EQ(Platform::IsZoomed(handler.GetWindowHandle()), testCase.myZoomed) << testCase.myName;
        handler.Close();
    }
}

TEST_F(WindowHandlerTest, AdoptsAGivenWindow)
{
    Create();
    Platform::WindowHandle existing = myHandler.GetWindowHandle();
    {
        EngineConfiguration configuration;
        configuration.myWindowHandle = &existing;
        WindowHandler adopting;
        ASSERT_TRUE(adopting.Create(configuration, configuration.myInstanceHandle, configuration.myWindowHandle));
        EXPECT_EQ(adopting.GetWindowHandle(), existing);
        EXPECT_EQ(configuration.myWindowHandle, &existing);
        EXPECT_EQ(Platform::GetWindowLongPtr(existing, Platform::GWLP_USERDATA), reinterpret_cast<std::intptr_t>(&adopting));
    }
    // The window outlives the adopting handler, which no longer answers its messages.
    EXPECT_EQ(Platform::GetWindowLongPtr(existing, Platform::GWLP_USERDATA), 0);
    EXPECT_EQ(Platform::SendMessage(existing, Platform::WM_SIZE, 0, 0), 0);
}

TEST_F(WindowHandlerTest, DestroyPostsQuitUnlessTheCallbackTakesIt)
{
    std::vector<std::uint32_t> seen;
    myConfiguration.myMessageCallback = [&](Platform::WindowHandle, std::uint32_t aMessage, Platform::WParam, Platform::LParam) -> Platform::LResult {
        seen.push_back(aMessage);
        return aMessage == Platform::WM_DESTROY ? 1 : 0;
    };
    Create();
    myHandler.Close();
    EXPECT_FALSE(QuitQueued()) << "a callback that answers nonzero skips the engine's handling";
    EXPECT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Platform::WM_DESTROY);

    WindowHandler plain;
    EngineConfiguration configuration;
    ASSERT_TRUE(plain.Create(configuration, configuration.myInstanceHandle, configuration.myWindowHandle));
    plain.Close();
    EXPECT_TRUE(QuitQueued());
}

TEST_F(WindowHandlerTest, SizeMessagesReachTheSizeHandler)
{
    int sizeMessages = 0;
    WindowHandler::SetSizeMessageHandler([&] { ++sizeMessages; });
    Create();
    sizeMessages = 0;
    Platform::SendMessage(myHandler.GetWindowHandle(), Platform::WM_SIZE, Platform::SIZE_RESTORED, Platform::MakeLParam(10, 10));
    EXPECT_EQ(sizeMessages, 1);
}

TEST_F(WindowHandlerTest, FullscreenCoversTheScreenAndWindowedRestoresTheClientSize)
{
    myConfiguration.myWindowSize = {320, 240};
    Create();
    int sizeMessages = 0;
    WindowHandler::SetSizeMessageHandler([&] { ++sizeMessages; });

    myHandler.SetFullscreen(false);
    EXPECT_EQ(sizeMessages, 0) << "an already windowed window is left as it is";

    myHandler.SetFullscreen(true);
    EXPECT_EQ(Style(), WindowHandler::FULLSCREEN_STYLE);
    EXPECT_EQ(ClientSize(), (Vector2<int>{Platform::GetSystemMetrics(Platform::SM_CXSCREEN), Platform::GetSystemMetrics(Platform::SM_CYSCREEN)}));
    EXPECT_GT(sizeMessages, 0);

    myHandler.SetFullscreen(false);
    EXPECT_EQ(Style(), WindowHandler::WINDOWED_STYLE);
    EXPECT_EQ(ClientSize(), (Vector2<int>{320, 240}));
    EXPECT_TRUE(Platform::IsWindowVisible(myHandler.GetWindowHandle()));
}
