#pragma once
#include "Engine.h"
#include "graphics/DX11.h"
#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"
#include "window/MessageQueue.h"
#include "window/ModulePath.h"
#include "window/Window.h"

#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/SwapChain.h"

#include "BinFolder.h"
#include "GpuReadBack.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace EngineTestSupport
{
    namespace fs = std::filesystem;
    using namespace Platform::Gpu;

    inline fs::path EnvironmentPath(const char* aName)
    {
        const char* value = std::getenv(aName);
        return value ? fs::path(value) : fs::path();
    }

    inline fs::path CookedFolder()
    {
        return TestSupport::BinFolder() / "cooked";
    }

    // A folder standing in for the executable's: settings/Game.json naming the asset folders.
    class EngineFolder
    {
    public:
        explicit EngineFolder(const fs::path& aCookedFolder = CookedFolder(), std::uint32_t aWidth = 128, std::uint32_t aHeight = 64)
        {
            const fs::path& root = myFolder.Path();
            fs::create_directories(root / "game");
            fs::create_directories(root / "settings");
            std::ofstream settings(root / "settings" / "Game.json");
            // The engine's own textures are drawn by the build into <bin>/data.
            settings << "{ \"assets_path\": { \"engine\": \"" << (TestSupport::BinFolder() / "data").string()
                     << "\", \"game\": \"game\", \"cooked\": \"" << aCookedFolder.string() << "\" },\n"
                     << "  \"window_settings\": { \"title\": \"engine test\", \"window_size\": { \"w\": " << aWidth << ", \"h\": " << aHeight
                     << " }, \"clear_color\": { \"r\": 0, \"g\": 0, \"b\": 0, \"a\": 1 } },\n"
                     << "  \"debug_features\": [\"None\"] }\n";
        }

        // Fixes the executable folder here and reads the settings into the static configuration.
        void Load() const
        {
            Platform::SetModulePathOverride((myFolder.Path() / "EngineTests").string());
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration();
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        }

        const fs::path& GetRoot() const { return myFolder.Path(); }

    private:
        TestSupport::TemporaryFolder myFolder;
    };

    // A copy of the cooked shaders without the named ones.
    inline fs::path CopyCookedFolderWithout(const fs::path& aDestination, const std::vector<std::string>& someMissing)
    {
        fs::remove_all(aDestination);
        fs::copy(CookedFolder(), aDestination, fs::copy_options::recursive);
        for (const std::string& name : someMissing)
        {
            fs::remove(aDestination / (name + ".cso"));
        }
        return aDestination;
    }

    // Restores what a test changed in the process-wide state. The engine leaves its window alive
    // at shutdown, as the program's end would take it; a test closes it and drops the quit
    // message that closing posts.
    inline void ResetProcessState()
    {
        Platform::WindowHandle window = nullptr;
        if (Vra::Engine* engine = Vra::Engine::GetInstance(); engine && engine->GetConfiguration().myWindowHandle)
        {
            window = *engine->GetConfiguration().myWindowHandle;
        }
        Vra::Engine::Shutdown();
        if (window && Platform::IsWindow(window))
        {
            Platform::DestroyWindow(window);
        }
        Platform::ClearMessageQueue();
        Vra::GetEngineConfiguration() = Vra::EngineConfiguration();
        Vra::impl::ClearSettingsPaths();
        Platform::SetModulePathOverride(std::nullopt);
    }

    // The texture's rows through a staging copy, tightly packed, top row first.
    inline std::vector<std::uint8_t> ReadBack(const Ref<Texture2D>& aTexture)
    {
        return TestSupport::ReadBack(*Vra::DX11::Device, aTexture);
    }

    // RGBA of one pixel, whatever the channel order of the format.
    struct Pixel
    {
        int r = 0;
        int g = 0;
        int b = 0;
        int a = 0;
    };

    class Image
    {
    public:
        Image(const Ref<Texture2D>& aTexture)
            : myPixels(ReadBack(aTexture)),
              myWidth(aTexture->GetDesc().myWidth),
              myHeight(aTexture->GetDesc().myHeight),
              myIsBgra(IsBgra(aTexture->GetDesc().myFormat))
        {
        }

        // x rightward, y downward from the top-left corner.
        Pixel At(std::uint32_t aX, std::uint32_t aY) const
        {
            const std::uint8_t* p = &myPixels[(static_cast<std::size_t>(aY) * myWidth + aX) * 4];
            return myIsBgra ? Pixel{ p[2], p[1], p[0], p[3] } : Pixel{ p[0], p[1], p[2], p[3] };
        }

        std::uint32_t GetWidth() const { return myWidth; }
        std::uint32_t GetHeight() const { return myHeight; }

    private:
        static bool IsBgra(Format aFormat)
        {
            return aFormat == Format::B8G8R8A8_UNORM || aFormat == Format::B8G8R8A8_UNORM_SRGB || aFormat == Format::B8G8R8X8_UNORM;
        }

        std::vector<std::uint8_t> myPixels;
        std::uint32_t myWidth;
        std::uint32_t myHeight;
        bool myIsBgra;
    };

    inline Ref<Texture2D> BackBufferTexture()
    {
        Ref<Texture2D> texture;
        EXPECT_TRUE(SUCCEEDED(Vra::DX11::SwapChain->GetBuffer(0, &texture)));
        return texture;
    }

    // A texture filled from RGBA8 pixels, top row first, with its view.
    inline Ref<ShaderResourceView> MakeTextureView(std::uint32_t aWidth, std::uint32_t aHeight, const std::vector<std::uint32_t>& someRgba,
                                                   Format aFormat = Format::R8G8B8A8_UNORM)
    {
        Texture2DDesc description;
        description.myWidth = aWidth;
        description.myHeight = aHeight;
        description.myFormat = aFormat;
        description.myBindFlags = BIND_SHADER_RESOURCE;
        SubresourceData data;
        data.mySysMem = someRgba.data();
        data.mySysMemPitch = aWidth * 4;
        Ref<Texture2D> texture;
        EXPECT_TRUE(SUCCEEDED(Vra::DX11::Device->CreateTexture2D(description, &data, &texture)));
        Ref<ShaderResourceView> view;
        EXPECT_TRUE(SUCCEEDED(Vra::DX11::Device->CreateShaderResourceView(texture, nullptr, &view)));
        return view;
    }

    constexpr std::uint32_t Rgba(std::uint8_t aR, std::uint8_t aG, std::uint8_t aB, std::uint8_t aA = 255)
    {
        return static_cast<std::uint32_t>(aR) | (static_cast<std::uint32_t>(aG) << 8) | (static_cast<std::uint32_t>(aB) << 16) | (static_cast<std::uint32_t>(aA) << 24);
    }

    // Starts the engine headless on a small window and shuts it down afterwards.
    class EngineTest : public ::testing::Test
    {
    protected:
        EngineTest() = default;
        EngineTest(std::uint32_t aWidth, std::uint32_t aHeight) : myFolder(CookedFolder(), aWidth, aHeight) {}

        void SetUp() override
        {
            myFolder.Load();
            ASSERT_TRUE(Vra::Engine::Start());
        }

        void TearDown() override
        {
            ResetProcessState();
        }

        EngineFolder myFolder;
    };

    // An engine test that has a frame open to draw into.
    class EngineFrameTest : public EngineTest
    {
    protected:
        using EngineTest::EngineTest;

        void SetUp() override
        {
            EngineTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        }
    };
}
