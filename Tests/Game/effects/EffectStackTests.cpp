#include "effects/EffectStack.h"

#include "../GameTestSupport.h"

#include "graphics/DX11.h"
#include "shell/EventBus.h"

#include <gtest/gtest.h>

namespace
{
    using EngineTestSupport::Image;

    constexpr const char* COPY_SHADER = "Shaders/PostprocessCopyPS";

    class EffectStackTest : public GameTestSupport::GameEngineTest
    {
    protected:
        static Image Pixels(const Vra::RenderTarget& aTarget) { return Image(aTarget.GetRenderTargetView()->GetTexture2D()); }

        EffectStack myStack;
    };

    TEST_F(EffectStackTest, WithoutPassesTheLevelDrawsIntoTheBackBufferAndRenderDoesNothing)
    {
        myStack.Init();
        EXPECT_EQ(myStack.GetRenderTarget().GetRenderTargetView(), Vra::DX11::BackBuffer->GetRenderTargetView());
        Vra::DX11::BackBuffer->Clear({ 0.0f, 1.0f, 0.0f, 1.0f });
        const std::uint32_t drawCalls = Vra::Engine::GetDrawCallCount();
        myStack.Render();
        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), drawCalls);
        EXPECT_EQ(ReadScreen().At(5, 5).g, 255);
    }

    TEST_F(EffectStackTest, OnePassReadsTheInputTargetAndWritesTheBackBuffer)
    {
        myStack.Init();
        ASSERT_TRUE(myStack.AddEffect(COPY_SHADER));
        const Vra::RenderTarget input = myStack.GetRenderTarget();
        EXPECT_NE(input.GetRenderTargetView(), Vra::DX11::BackBuffer->GetRenderTargetView());
        EXPECT_EQ(input.GetSize(), (Vra::Vector2<std::uint32_t>{ 128, 64 }));
        input.Clear({ 1.0f, 0.0f, 1.0f, 1.0f }); // what the level drew

        const std::uint32_t drawCalls = Vra::Engine::GetDrawCallCount();
        myStack.Render();
        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), drawCalls + 1);
        const Screen screen = ReadScreen();
        for (const auto& [x, y] : { std::pair{ 0, 0 }, std::pair{ 64, 32 }, std::pair{ 127, 63 } })
        {
            EXPECT_EQ(screen.At(x, y).r, 255) << x << ", " << y;
            EXPECT_EQ(screen.At(x, y).g, 0) << x << ", " << y;
            EXPECT_EQ(screen.At(x, y).b, 255) << x << ", " << y;
        }
        const Image cleared = Pixels(input);
        EXPECT_EQ(cleared.At(64, 32).r, 0) << "the input target is cleared for the next frame";
        EXPECT_EQ(cleared.At(64, 32).a, 0);
    }

    TEST_F(EffectStackTest, PassesRunInOrderEachReadingThePreviousResult)
    {
        myStack.Init();
        ASSERT_TRUE(myStack.AddEffect(COPY_SHADER));
        ASSERT_TRUE(myStack.AddEffectPass(*Vra::Engine::GetInstance()->GetGraphicsEngine()->GetCopyEffect()));
        ASSERT_EQ(myStack.GetPassCount(), 2u);
        myStack.GetRenderTarget().Clear({ 0.0f, 0.0f, 1.0f, 1.0f });

        const std::uint32_t drawCalls = Vra::Engine::GetDrawCallCount();
        myStack.Render();
        EXPECT_EQ(Vra::Engine::GetDrawCallCount(), drawCalls + 2);
        EXPECT_EQ(Pixels(myStack.GetPassTarget(0)).At(10, 10).b, 255) << "the first pass wrote its own target";
        EXPECT_EQ(ReadScreen().At(10, 10).b, 255) << "the last pass wrote the back buffer";
    }

    TEST_F(EffectStackTest, AShaderThatCannotBeHadAddsNothing)
    {
        myStack.Init();
        EXPECT_FALSE(myStack.AddEffect("Shaders/NoSuchPassPS"));
        EXPECT_EQ(myStack.GetPassCount(), 0u);
        EXPECT_EQ(myStack.GetRenderTarget().GetRenderTargetView(), Vra::DX11::BackBuffer->GetRenderTargetView());
    }

    TEST_F(EffectStackTest, AMinimisedWindowRecreatesOnlyTheInputTarget)
    {
        myStack.Init();
        ASSERT_TRUE(myStack.AddEffect(COPY_SHADER));
        const auto passView = myStack.GetPassTarget(0).GetRenderTargetView();
        const auto inputView = myStack.GetRenderTarget().GetRenderTargetView();

        EventBus<ResizeEvent>::Broadcast({ 0, 0 });
        EXPECT_EQ(myStack.GetPassTarget(0).GetRenderTargetView(), passView);
        EXPECT_NE(myStack.GetRenderTarget().GetRenderTargetView(), inputView);
        EXPECT_EQ(myStack.GetRenderTarget().GetSize(), (Vra::Vector2<std::uint32_t>{ 128, 64 })) << "at the render size";

        EventBus<ResizeEvent>::Broadcast({ 96, 48 });
        EXPECT_EQ(myStack.GetPassTarget(0).GetSize(), (Vra::Vector2<std::uint32_t>{ 96, 48 }));
        EXPECT_EQ(myStack.GetRenderTarget().GetSize(), (Vra::Vector2<std::uint32_t>{ 96, 48 }));
    }

    TEST_F(EffectStackTest, ADestroyedStackNoLongerHearsResizes)
    {
        {
            EffectStack stack;
            stack.Init();
            EXPECT_EQ(EventBus<ResizeEvent>::GetListeners().size(), 1u);
        }
        EXPECT_TRUE(EventBus<ResizeEvent>::GetListeners().empty());
    }
}
