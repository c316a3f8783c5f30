#include "EngineTestSupport.h"
#include "FontFiles.h"

#include "text/Text.h"

#include <gtest/gtest.h>

namespace
{
    using namespace EngineTestSupport;

    class FrameReadBackTest : public EngineFrameTest
    {
    protected:
        FrameReadBackTest() : EngineFrameTest(320, 180) {}
    };

    // Tests read the back buffer right after the frame's clear; the copy must see that clear
    // even while the renderer is still busy with the textures made before it.
    TEST_F(FrameReadBackTest, ReadBackRightAfterBeginFrameSeesTheClear)
    {
        fs::create_directories(myFolder.GetRoot() / "game" / "Text");
        fs::copy_file(TestSupport::FontFile("arial.ttf"), myFolder.GetRoot() / "game" / "Text" / "arial.ttf");
        Vra::Engine& engine = *Vra::Engine::GetInstance();
        int stale = 0;
        for (int frame = 0; frame < 6; ++frame)
        {
            const Vra::Text text("Text/arial.ttf", 18 + frame, 0); // a new atlas each frame
            const bool white = frame % 2 == 0;
            engine.SetClearColor(white ? Vra::Color{ 1.0f, 1.0f, 1.0f, 1.0f } : Vra::Color{ 0.0f, 0.0f, 0.0f, 1.0f });
            engine.EndFrame();
            ASSERT_TRUE(engine.BeginFrame());
            stale += Image(BackBufferTexture()).At(10, 10).r != (white ? 255 : 0) ? 1 : 0;
        }
        EXPECT_EQ(stale, 0) << "read-backs that missed the clear before them";
    }
}
