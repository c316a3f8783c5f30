#include "AddressSpaceCeiling.h"
#include "EngineTestSupport.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "gpu/DeviceContext.h"
#include "gpu/SwapChain.h"
#include "graphics/WindowHandler.h"
#include "window/MessageQueue.h"
#include "window/WindowCapture.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <new>
#include <string>

// Opens a real window on an X display and checks that it shows the clear colour. Needs a display:
// run under xvfb-run (the "RealWindowUnderXvfb" test does); elsewhere it is skipped.
TEST(RealWindow, ShowsTheClearColour)
{
    const bool required = std::getenv("VRA_REQUIRE_DISPLAY") != nullptr;
    Vra::EngineConfiguration configuration;
    configuration.myWindowSize = {160, 120};
    configuration.myTitle = "Clear colour check";
    Vra::WindowHandler window;
    ASSERT_TRUE(window.Create(configuration, configuration.myInstanceHandle, configuration.myWindowHandle));
    Vra::DX11 device;
    ASSERT_TRUE(device.Init(window));

    // The configured clear colour is sRGB: the window shows it as those bytes.
    const Vra::Color clearColor{0.2f, 0.6f, 0.8f, 1.0f};
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    bool captured = false;
    for (int frame = 0; frame < 10; ++frame)
    {
        Platform::Message message;
        while (Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_REMOVE))
        {
            Platform::DispatchMessage(message);
        }
        device.BeginFrame(clearColor);
        device.EndFrame(false);
        captured = Platform::CaptureWindow(window.GetWindowHandle(), pixels, width, height);
        if (!captured)
        {
            break;
        }
    }
    if (!captured)
    {
        window.Close();
        if (required)
        {
            FAIL() << "no X display to show the window on";
        }
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    ASSERT_EQ(width, 160);
    ASSERT_EQ(height, 120);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{80, 60}, std::pair{159, 119}})
    {
        const std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
        EXPECT_NEAR(pixel[0], 51, 2) << x << ", " << y;
        EXPECT_NEAR(pixel[1], 153, 2) << x << ", " << y;
        EXPECT_NEAR(pixel[2], 204, 2) << x << ", " << y;
    }

    // The buffer's top row is the window's top row: paint the top half red (bytes blue, green,
    // red, alpha) and present.
    Platform::Gpu::Ref<Platform::Gpu::Texture2D> buffer;
    ASSERT_TRUE(SUCCEEDED(Vra::DX11::SwapChain->GetBuffer(0, &buffer)));
    std::vector<std::uint8_t> red(160 * 60 * 4);
    for (std::size_t pixel = 0; pixel < 160 * 60; ++pixel)
    {
        red[pixel * 4 + 2] = 255;
        red[pixel * 4 + 3] = 255;
    }
    Platform::Gpu::Box topHalf;
    topHalf.myRight = 160;
    topHalf.myBottom = 60;
    Vra::DX11::Context->UpdateSubresource(buffer, 0, &topHalf, red.data(), 160 * 4, 0);
    device.EndFrame(false);
    ASSERT_TRUE(Platform::CaptureWindow(window.GetWindowHandle(), pixels, width, height));
    EXPECT_EQ(pixels[(10 * 160 + 80) * 4 + 0], 255) << "top half";
    EXPECT_NEAR(pixels[(110 * 160 + 80) * 4 + 2], 204, 2) << "bottom half keeps the clear colour";
    window.Close();
}

// A capture whose copy of the pixels cannot be allocated gives back the X image it took first.
// On a 16-bit display the X image is half the size of its RGBA copy, so an address-space limit
// can let the one through and refuse the other ("WindowCaptureUnder16BitXvfb" runs it so).
TEST(RealWindowAt16Bits, CaptureThatCannotAllocateLeaksNothing)
{
#ifdef VRA_TEST_UNDER_SANITIZER
    GTEST_SKIP() << "the allocation failure needs an address-space limit, which the sanitizers cannot run under";
#endif
    const bool required = std::getenv("VRA_REQUIRE_DISPLAY") != nullptr;
    Vra::EngineConfiguration configuration;
    configuration.myWindowSize = {1000, 700};
    Vra::WindowHandler window;
    ASSERT_TRUE(window.Create(configuration, configuration.myInstanceHandle, configuration.myWindowHandle));
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    if (!Platform::CaptureWindow(window.GetWindowHandle(), pixels, width, height))
    {
        window.Close();
        if (required)
        {
            FAIL() << "no X display to show the window on";
        }
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    // Blocks this large now always come straight from the system, one mapping each, so a leaked
    // image stays counted. Taking the X image needs the reply and the image, half the copy each.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    const std::uint64_t copyBytes = static_cast<std::uint64_t>(width) * height * 4;
    const std::size_t mappedBefore = mallinfo2().hblkhd;
    bool refused = false;
    {
        const TestSupport::AddressSpaceCeiling ceiling(copyBytes * 5 / 4);
        ASSERT_TRUE(ceiling.IsActive());
        std::vector<std::uint8_t> copy;
        try
        {
            refused = !Platform::CaptureWindow(window.GetWindowHandle(), copy, width, height);
        }
        catch (const std::bad_alloc&)
        {
            refused = true;
        }
    }
    EXPECT_TRUE(refused);
    EXPECT_LT(mallinfo2().hblkhd, mappedBefore + copyBytes / 4) << "the X image of the failed capture is still allocated";
    window.Close();
}

// The whole engine on a real window: start from settings, draw a sprite in a frame, present.
TEST(RealWindow, EngineStartsAndShowsASprite)
{
    const bool required = std::getenv("VRA_REQUIRE_DISPLAY") != nullptr;
    EngineTestSupport::EngineFolder folder;
    Platform::ClearMessageQueue(); // a window closed before this one leaves its quit message
    folder.Load();
    ASSERT_TRUE(Vra::Engine::Start());
    Vra::Engine& engine = *Vra::Engine::GetInstance();
    const Platform::WindowHandle window = *engine.GetConfiguration().myWindowHandle;
    engine.SetClearColor({ 0.2f, 0.6f, 0.8f, 1.0f });

    Vra::Sprite2DInstanceData sprite;
    sprite.myPosition = { 0.0f, 64.0f }; // screen y runs upward; the pivot is the top-left corner
    sprite.myPivot = { 0.0f, 0.0f };
    sprite.mySize = { 128.0f, 64.0f };
    sprite.myColor = { 1.0f, 0.0f, 0.0f, 1.0f };

    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    bool captured = false;
    for (int frame = 0; frame < 10 && !captured; ++frame)
    {
        ASSERT_TRUE(engine.BeginFrame());
        {
            Vra::SpriteSharedData shared;
            Vra::SpriteBatchScope batch = engine.GetGraphicsEngine()->GetSpriteDrawer().BeginBatch(shared);
            batch.Draw(&sprite, 1);
        }
        engine.EndFrame();
        captured = Platform::CaptureWindow(window, pixels, width, height) && frame >= 2;
    }
    if (!captured)
    {
        EngineTestSupport::ResetProcessState();
        if (required)
        {
            FAIL() << "no X display to show the window on";
        }
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    ASSERT_EQ(width, 128);
    ASSERT_EQ(height, 64);
    for (const auto& [x, y] : { std::pair{ 2, 2 }, std::pair{ 64, 32 }, std::pair{ 125, 61 } })
    {
        const std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
        EXPECT_EQ(pixel[0], 255) << x << ", " << y;
        EXPECT_EQ(pixel[1], 0) << x << ", " << y;
        EXPECT_EQ(pixel[2], 0) << x << ", " << y;
    }
    EngineTestSupport::ResetProcessState();
}
