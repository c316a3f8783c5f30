#pragma once
#include "BinFolder.h"
#include "GpuReadBack.h"
#include "TemporaryFolder.h"
#include "graphics/DX11.h"
#include "graphics/WindowHandler.h"
#include "gpu/SwapChain.h"
#include "settings/Settings.h"
#include "window/MessageQueue.h"
#include "window/ModulePath.h"
#include "window/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace GraphicsFixture
{
    // The engine's window and device on a small window; the cooked folder is a temporary one
    // into which a test copies the shaders it needs.
    class GraphicsTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::SetModulePathOverride((myFolder.Path() / "Game").string());
            myFolder.Write("settings/Game.json", R"({"assets_path": {"engine": "engine", "game": "game", "cooked": "cooked"}})");
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            std::filesystem::create_directories(Vra::CookedAssetsPath());

            myConfiguration.myWindowSize = {64, 48};
            myConfiguration.myRenderSize = {64, 48};
            ASSERT_TRUE(myWindow.Create(myConfiguration, myConfiguration.myInstanceHandle, myConfiguration.myWindowHandle));
            myDevice = std::make_unique<Vra::DX11>();
            ASSERT_TRUE(myDevice->Init(myWindow));
        }

        void TearDown() override
        {
            myDevice.reset();
            myWindow.Close();
            Platform::ClearMessageQueue();
            Vra::impl::ClearSettingsPaths();
            Platform::SetModulePathOverride(std::nullopt);
        }

        // Copies a shader cooked by the build into this test's cooked folder.
        void InstallShader(const std::string& aName)
        {
            const std::filesystem::path binFolder = TestSupport::BinFolder();
            ASSERT_FALSE(binFolder.empty());
            const std::filesystem::path target = Vra::CookedAssetsPath() / (aName + ".cso");
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::copy_file(binFolder / "cooked" / (aName + ".cso"), target, std::filesystem::copy_options::overwrite_existing);
        }

        std::vector<std::uint8_t> BackBufferBytes()
        {
            Platform::Gpu::Ref<Platform::Gpu::Texture2D> buffer;
            EXPECT_TRUE(SUCCEEDED(Vra::DX11::SwapChain->GetBuffer(0, &buffer)));
            return TestSupport::ReadBack(*Vra::DX11::Device, buffer);
        }

        TestSupport::TemporaryFolder myFolder;
        Vra::EngineConfiguration myConfiguration;
        Vra::WindowHandler myWindow;
        std::unique_ptr<Vra::DX11> myDevice;
    };
}
