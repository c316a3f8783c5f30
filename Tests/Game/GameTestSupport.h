#pragma once
#include "EngineTestSupport.h"
#include "FontFiles.h"
#include "SolidDds.h"

#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace GameTestSupport
{
    namespace fs = std::filesystem;

    using TestSupport::WriteSolidDds;

    inline constexpr std::array<std::uint8_t, 4> BLACK{ 0, 0, 0, 255 };
    inline constexpr std::array<std::uint8_t, 4> RED{ 255, 0, 0, 255 };
    inline constexpr std::array<std::uint8_t, 4> GREEN{ 0, 255, 0, 255 };

    // The engine started headless with a frame open; sprites and fonts go into its game folder.
    class GameEngineTest : public EngineTestSupport::EngineFrameTest
    {
    protected:
        GameEngineTest(std::uint32_t aWidth = 128, std::uint32_t aHeight = 64) : EngineFrameTest(aWidth, aHeight) {}

        fs::path GameFolder() const { return myFolder.GetRoot() / "game"; }

        void AddSprite(const std::string& aPath, std::array<std::uint8_t, 4> aRgba, std::uint32_t aWidth = 4, std::uint32_t aHeight = 4) const
        {
            WriteSolidDds(GameFolder() / aPath, aWidth, aHeight, aRgba);
        }

        void AddFont(const std::string& aName) const
        {
            fs::create_directories(GameFolder() / "Text");
            fs::copy_file(TestSupport::FontFile(aName), GameFolder() / "Text" / aName, fs::copy_options::overwrite_existing);
        }

        // Presents this frame and opens the next with the clear colour (sRGB).
        void NextFrame(const Vra::Color& aClearColor = { 0.0f, 0.0f, 0.0f, 1.0f }) const
        {
            Vra::Engine& engine = *Vra::Engine::GetInstance();
            engine.SetClearColor(aClearColor);
            engine.EndFrame();
            ASSERT_TRUE(engine.BeginFrame());
        }

        // The back buffer with screen-space coordinates: x rightward, y upward from the bottom-left.
        struct Screen
        {
            EngineTestSupport::Image myImage;
            EngineTestSupport::Pixel At(int aX, int aY) const
            {
                if (aX < 0 || aY < 0 || aX >= static_cast<int>(myImage.GetWidth()) || aY >= static_cast<int>(myImage.GetHeight()))
                {
                    ADD_FAILURE() << "pixel " << aX << ", " << aY << " lies outside the screen";
                    return {};
                }
                return myImage.At(static_cast<std::uint32_t>(aX), myImage.GetHeight() - 1 - static_cast<std::uint32_t>(aY));
            }
        };
        static Screen ReadScreen() { return Screen{ EngineTestSupport::Image(EngineTestSupport::BackBufferTexture()) }; }

        static Vra::GraphicsStateStack& States() { return Vra::Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack(); }
    };
}
