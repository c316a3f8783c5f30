#pragma once
#include "settings/Settings.h"

#include "TemporaryFolder.h"
#include "window/ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace SceneTestSupport
{
    // A temporary game asset folder, set up as the settings file beside a pretend executable names it.
    class GameAssetsTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            Vra::impl::ClearSettingsPaths();
            Platform::SetModulePathOverride((myFolder.Path() / "bin" / "Game").string());
            myFolder.Write("bin/settings/Game.json", R"({"assets_path": {"engine": "../engine", "game": "../game"}})");
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            ASSERT_EQ(Vra::GameAssetsPath(), (myFolder.Path() / "game").lexically_normal());
        }

        void TearDown() override
        {
            Platform::SetModulePathOverride(std::nullopt);
            Vra::impl::ClearSettingsPaths();
        }

        // Writes a file below the game asset folder.
        std::filesystem::path WriteAsset(const std::filesystem::path& aRelativePath, const std::string& aContent) const
        {
            return myFolder.Write(std::filesystem::path("game") / aRelativePath, aContent);
        }

        std::filesystem::path GameFolder() const { return myFolder.Path() / "game"; }

        TestSupport::TemporaryFolder myFolder;
    };
}
