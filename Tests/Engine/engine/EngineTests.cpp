#include "EngineTestSupport.h"

#include "drawers/SpriteDrawer.h"
#include "filewatcher/FileWatcher.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureManager.h"
#include "postprocess/FullscreenPixelateEffect.h"
#include "text/TextService.h"

#include "window/MessageQueue.h"
#include "window/SystemServices.h"
#include "window/Window.h"

#include <chrono>
#include <thread>

namespace
{
    using namespace EngineTestSupport;
    using Vra::DebugFeature;
    using Vra::Engine;

    class EngineLifecycle : public ::testing::Test
    {
    protected:
        void TearDown() override { ResetProcessState(); }
    };

    TEST_F(EngineLifecycle, StartsOnceAndShutsDownToNoEngine)
    {
        EngineFolder folder;
        folder.Load();
        ASSERT_TRUE(Engine::Start());
        Engine* engine = Engine::GetInstance();
        ASSERT_NE(engine, nullptr);
        EXPECT_NE(engine->GetWindowHandler(), nullptr);
        EXPECT_NE(engine->GetTextureManager(), nullptr);
        EXPECT_NE(engine->GetTextService(), nullptr);
        EXPECT_NE(engine->GetFileWatcher(), nullptr);
        ASSERT_NE(engine->GetGraphicsEngine(), nullptr);
        EXPECT_TRUE(engine->GetGraphicsEngine()->IsInitialized());
        EXPECT_FLOAT_EQ(engine->GetGraphicsEngine()->GetPixelateEffect()->GetPixelSize(), 16.0f);

        EXPECT_FALSE(Engine::Start());
        EXPECT_EQ(Engine::GetInstance(), engine);

        const Platform::WindowHandle window = *engine->GetConfiguration().myWindowHandle;
        Engine::Shutdown();
        EXPECT_EQ(Engine::GetInstance(), nullptr);
        EXPECT_TRUE(Platform::IsWindow(window)) << "the window outlives the engine, as at the program's end";
        Platform::DestroyWindow(window);
        Engine::Shutdown();
        EXPECT_EQ(Engine::GetInstance(), nullptr);
    }

    struct MissingShaderCase
    {
        const char* myShader;
        bool myStartSucceeds;
        bool myHasPixelatePass;
        bool myIsNamed;
    };

    class EngineWithMissingShader : public EngineLifecycle, public ::testing::WithParamInterface<MissingShaderCase> {};

    // A missing post pass fails the start after the texture manager and before the text service;
    // a drawer's missing shader leaves that drawer unloaded and the start goes on.
    TEST_P(EngineWithMissingShader, FailsTheStartOnlyForPostPasses)
    {
        const MissingShaderCase& missing = GetParam();
        EngineFolder probe;
        const fs::path cooked = CopyCookedFolderWithout(probe.GetRoot() / "cooked", { missing.myShader });
        EngineFolder folder(cooked);
        folder.Load();

        testing::internal::CaptureStdout();
        EXPECT_EQ(Engine::Start(), missing.myStartSucceeds) << missing.myShader;
        const std::string output = testing::internal::GetCapturedStdout();
        // What is missing is named, where the engine needs it to draw at all.
        EXPECT_EQ(output.find("Failed to load shader: " + std::string(missing.myShader) + " (no file ") != std::string::npos, missing.myIsNamed) << output;
        EXPECT_EQ(output.find("Failed to start the engine") != std::string::npos, !missing.myStartSucceeds) << output;
        Engine* engine = Engine::GetInstance();
        ASSERT_NE(engine, nullptr) << "the engine stays registered";
        EXPECT_NE(engine->GetTextureManager(), nullptr);
        EXPECT_EQ(engine->GetTextService() != nullptr, missing.myStartSucceeds);
        EXPECT_EQ(engine->GetGraphicsEngine()->GetPixelateEffect() != nullptr, missing.myHasPixelatePass);
        EXPECT_EQ(engine->GetGraphicsEngine()->HasGraphicsStateStack(), missing.myStartSucceeds);

        ASSERT_NE(engine->GetConfiguration().myWindowHandle, nullptr);
        EXPECT_EQ(Platform::IsWindow(*engine->GetConfiguration().myWindowHandle), missing.myStartSucceeds) << "a failed set-up closes the window";

        EXPECT_FALSE(Engine::Start()) << "a second start is refused";
        EXPECT_EQ(Engine::GetInstance(), engine);
        EXPECT_EQ(engine->BeginFrame(), missing.myStartSucceeds) << "a failed engine runs no frame";
        engine->EndFrame();
    }

    INSTANTIATE_TEST_SUITE_P(Table, EngineWithMissingShader, ::testing::Values(
        MissingShaderCase{ "Shaders/PostprocessGaussianH_PS", false, false, true },
        MissingShaderCase{ "Shaders/PostprocessCopyPS", false, false, true },
        MissingShaderCase{ "Shaders/PostprocessVS", false, false, true },
        MissingShaderCase{ "Shaders/PostprocessPixelate_PS", false, true, true },
        MissingShaderCase{ "shaders/instanced_sprite_shader_VS", true, true, true },
        MissingShaderCase{ "Shaders/LambertModelShaderPS", true, true, false }),
        [](const auto& anInfo) { return std::to_string(anInfo.index); });

    TEST_F(EngineLifecycle, ADrawerWithoutItsShadersStaysUnloaded)
    {
        EngineFolder probe;
        const fs::path cooked = CopyCookedFolderWithout(probe.GetRoot() / "cooked", { "shaders/model_shader_vertex_color_textured_PS" });
        EngineFolder folder(cooked);
        folder.Load();
        ASSERT_TRUE(Engine::Start());
        EXPECT_FALSE(Engine::GetInstance()->GetGraphicsEngine()->GetSpriteDrawer().IsLoaded());
    }

    class EngineFrame : public EngineTest {};

    TEST_F(EngineFrame, AStallAdvancesTheClockByATenthOfASecondOnly)
    {
        Engine& engine = *Engine::GetInstance();
        ASSERT_TRUE(engine.BeginFrame());
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        engine.EndFrame();
        EXPECT_FLOAT_EQ(engine.GetDeltaTime(), 0.1f);
        EXPECT_FLOAT_EQ(engine.GetTotalTime(), 0.1f);

        ASSERT_TRUE(engine.BeginFrame());
        engine.EndFrame();
        EXPECT_LE(engine.GetDeltaTime(), 0.1f); // a loaded machine may stall this frame too
        EXPECT_FLOAT_EQ(engine.GetTotalTime(), 0.1f + engine.GetDeltaTime());
    }

    TEST_F(EngineFrame, AQuitMessageEndsThePumpAtOnceAndForGood)
    {
        Engine& engine = *Engine::GetInstance();
        Platform::ClearMessageQueue();
        constexpr std::uint32_t LATER_MESSAGE = 0x0400 + 7;
        Platform::PostQuitMessage(0);
        ASSERT_TRUE(Platform::PostMessage(nullptr, LATER_MESSAGE, 1, 2));

        EXPECT_FALSE(engine.BeginFrame());
        Platform::Message message;
        ASSERT_TRUE(Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_NOREMOVE));
        EXPECT_EQ(message.myId, LATER_MESSAGE);
        EXPECT_FALSE(engine.BeginFrame());
        Platform::ClearMessageQueue();
        EXPECT_FALSE(engine.BeginFrame());
    }

    TEST_F(EngineFrame, BeginFrameRollsTheDrawCallCountIntoTheLastFrames)
    {
        Engine& engine = *Engine::GetInstance();
        ASSERT_TRUE(engine.BeginFrame());
        Engine::CountDrawCall();
        Engine::CountDrawCall();
        engine.EndFrame();
        ASSERT_TRUE(engine.BeginFrame());
        EXPECT_EQ(Engine::GetLastFrameDrawCallCount(), 2u);
        EXPECT_EQ(Engine::GetDrawCallCount(), 0u);
        engine.EndFrame();
    }

    TEST_F(EngineFrame, ClearsToTheLinearisedClearColour)
    {
        Engine& engine = *Engine::GetInstance();
        engine.SetClearColor({ 0.5f, 0.25f, 1.0f, 1.0f });
        ASSERT_TRUE(engine.BeginFrame());
        // The sRGB back buffer stores the encoding of the linear value: the sRGB colour again.
        const Pixel pixel = Image(BackBufferTexture()).At(3, 3);
        EXPECT_NEAR(pixel.r, 128, 1);
        EXPECT_NEAR(pixel.g, 64, 1);
        EXPECT_EQ(pixel.b, 255);
        engine.EndFrame();
    }

    TEST_F(EngineLifecycle, ASizeMessageDuringTheStartIsFollowedAtTheFirstEndFrame)
    {
        EngineFolder folder;
        folder.Load();
        ASSERT_TRUE(Engine::Start());
        Engine& engine = *Engine::GetInstance();
        const Platform::WindowHandle window = *engine.GetConfiguration().myWindowHandle;
        Platform::SendMessage(window, Platform::WM_SIZE, Platform::SIZE_RESTORED, Platform::MakeLParam(128, 64));
        EXPECT_TRUE(engine.IsResizePending());
        ASSERT_TRUE(engine.BeginFrame());
        engine.EndFrame();
        EXPECT_FALSE(engine.IsResizePending());
        EXPECT_EQ(engine.GetRenderSize(), Vra::DX11::GetBackBufferSize());
    }

    TEST_F(EngineFrame, ASizeMessageIsFollowedAtTheNextEndFrame)
    {
        Engine& engine = *Engine::GetInstance();
        const Platform::WindowHandle window = *engine.GetConfiguration().myWindowHandle;
        const auto style = static_cast<std::uint32_t>(Platform::GetWindowLongPtr(window, Platform::GWL_STYLE));
        Platform::Rect outer{ 0, 0, 96, 40 };
        ASSERT_TRUE(Platform::AdjustWindowRect(outer, style, false));
        const int outerWidth = outer.myRight - outer.myLeft;
        const int outerHeight = outer.myBottom - outer.myTop;
        ASSERT_TRUE(Platform::SetWindowPos(window, nullptr, 0, 0, outerWidth, outerHeight, Platform::SWP_NOMOVE | Platform::SWP_NOZORDER));
        EXPECT_TRUE(engine.IsResizePending());
        EXPECT_EQ(engine.GetRenderSize(), (Vra::Vector2<std::uint32_t>{ 128, 64 })) << "nothing changes before the frame ends";

        ASSERT_TRUE(engine.BeginFrame());
        engine.EndFrame();
        EXPECT_FALSE(engine.IsResizePending());
        EXPECT_EQ(engine.GetRenderSize(), (Vra::Vector2<std::uint32_t>{ 96, 40 }));
        EXPECT_EQ(Vra::DX11::GetBackBufferSize(), (Vra::Vector2<std::uint32_t>{ 96, 40 }));
        EXPECT_EQ(engine.GetConfiguration().myWindowSize, (Vra::Vector2<std::uint32_t>{ static_cast<std::uint32_t>(outerWidth), static_cast<std::uint32_t>(outerHeight) }));

        // The next frame clears and draws at the new size.
        ASSERT_TRUE(engine.BeginFrame());
        EXPECT_EQ(Image(BackBufferTexture()).GetWidth(), 96u);
        engine.EndFrame();
    }

    TEST_F(EngineFrame, ToggleFullscreenFlipsTheFlagAndMarksAResize)
    {
        Engine& engine = *Engine::GetInstance();
        EXPECT_FALSE(engine.IsFullscreen());
        engine.ToggleFullscreen();
        EXPECT_TRUE(engine.IsFullscreen());
        EXPECT_TRUE(engine.IsResizePending());
        ASSERT_TRUE(engine.BeginFrame());
        engine.EndFrame();
        EXPECT_FALSE(engine.IsResizePending());
        engine.ToggleFullscreen();
        EXPECT_FALSE(engine.IsFullscreen());
    }

    struct FeatureCase
    {
        std::uint32_t myMask;
        DebugFeature myFeature;
        bool myIsOn;
    };

    class DebugFeatures : public EngineLifecycle, public ::testing::WithParamInterface<FeatureCase> {};

    TEST_P(DebugFeatures, AnswersByTheMaskWithAllNineBitsMeaningEverything)
    {
        EngineFolder folder;
        folder.Load();
        Vra::GetEngineConfiguration().myDebugFeatures = GetParam().myMask;
        ASSERT_TRUE(Engine::Start());
        EXPECT_EQ(Engine::GetInstance()->IsDebugFeatureOn(GetParam().myFeature), GetParam().myIsOn);
    }

    INSTANTIATE_TEST_SUITE_P(Table, DebugFeatures, ::testing::Values(
        FeatureCase{ 511, DebugFeature::Fps, true },
        FeatureCase{ 511, static_cast<DebugFeature>(1024), true },   // outside the list, still on
        FeatureCase{ 511 | 4096, DebugFeature::Filewatcher, true },
        FeatureCase{ 510, DebugFeature::Fps, false },
        FeatureCase{ 510, DebugFeature::Mem, true },
        FeatureCase{ 32, DebugFeature::Filewatcher, true },
        FeatureCase{ 32, DebugFeature::Drawcalls, false },
        FeatureCase{ 0, DebugFeature::Filewatcher, false },
        FeatureCase{ 0, static_cast<DebugFeature>(1024), false }),
        [](const auto& anInfo) { return std::to_string(anInfo.index); });

    TEST_F(EngineLifecycle, TheFileWatcherFollowsTheEnginesFeatureMask)
    {
        EngineFolder folder;
        folder.Load();
        Vra::GetEngineConfiguration().myDebugFeatures = ToMask(DebugFeature::Filewatcher);
        ASSERT_TRUE(Engine::Start());
        const fs::path file = folder.GetRoot() / "watched.txt";
        std::ofstream(file) << "x";
        EXPECT_TRUE(Engine::GetInstance()->GetFileWatcher()->WatchFileChange(file.string(), [] {}));
    }

    TEST_F(EngineLifecycle, StartMaximisedTakesTheScreenSize)
    {
        EngineFolder folder;
        folder.Load();
        Vra::GetEngineConfiguration().myStartMaximized = true;
        ASSERT_TRUE(Engine::Start());
        const Vra::Vector2<std::uint32_t> screen{ static_cast<std::uint32_t>(Platform::GetSystemMetrics(Platform::SM_CXSCREEN)),
                                                  static_cast<std::uint32_t>(Platform::GetSystemMetrics(Platform::SM_CYSCREEN)) };
        EXPECT_EQ(Engine::GetInstance()->GetConfiguration().myWindowSize, screen);
        EXPECT_EQ(Engine::GetInstance()->GetRenderSize(), screen);
    }
}
