#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"

#include "../properties/JsonErrorExpectations.h"
#include "AssertionCatcher.h"
#include "BadInputFiles.h"
#include "TemporaryFolder.h"
#include "window/ModulePath.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace
{
    // Pretends the executable is <temp>/bin/Game so each test owns its "settings" folder.
    class SettingsTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration{};
            Vra::impl::ClearSettingsPaths();
            Platform::SetModulePathOverride((myFolder.Path() / "bin" / "Game").string());
        }
        void TearDown() override
        {
            Platform::SetModulePathOverride(std::nullopt);
            Vra::impl::ClearSettingsPaths();
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration{};
        }

        void WriteSettings(const std::string& aContent, const std::string& aName = "Game.json")
        {
            myFolder.Write(fs::path("bin") / "settings" / aName, aContent);
        }

        const fs::path& Bin() const { return myFolderBin; }

        TestSupport::TemporaryFolder myFolder;
        fs::path myFolderBin = myFolder.Path() / "bin";
    };

    TEST_F(SettingsTest, DefaultsBeforeAnyFile)
    {
        const Vra::EngineConfiguration configuration;
        EXPECT_EQ(configuration.myWindowSize, (Vra::Vector2<std::uint32_t>{ 1280, 720 }));
        EXPECT_EQ(configuration.myRenderSize, (Vra::Vector2<std::uint32_t>{ 1280, 720 }));
        EXPECT_EQ(configuration.myDebugFeatures, 3u);
        EXPECT_NEAR(configuration.myClearColor.r, 0.0117647f, 1e-6);
        EXPECT_NEAR(configuration.myClearColor.g, 0.6f, 1e-6);
        EXPECT_NEAR(configuration.myClearColor.b, 0.690196f, 1e-6);
        EXPECT_NEAR(configuration.myClearColor.a, 1.0f, 1e-6);
        EXPECT_EQ(configuration.myWindowHandle, nullptr);
        EXPECT_FALSE(configuration.myTitle.empty());
        EXPECT_FALSE(configuration.myEnableVsync || configuration.myStartInFullscreen ||
                     configuration.myStartMaximized || configuration.myBorderless);
        EXPECT_EQ(configuration.myMultisampling, Vra::MultisamplingLevel::Off);
        EXPECT_TRUE(Vra::GameAssetsPath().empty());
        EXPECT_TRUE(Vra::CookedAssetsPath().empty());
    }

    TEST_F(SettingsTest, CopiesCloneTheCallbacks)
    {
        int calls = 0;
        Vra::EngineConfiguration original;
        original.myFirstExtraCallback = [&calls] { ++calls; };
        original.myMessageCallback = [](Platform::WindowHandle, std::uint32_t anId, Platform::WParam, Platform::LParam) {
            return static_cast<Platform::LResult>(anId);
        };
        const Vra::EngineConfiguration copy = original;
        original = Vra::EngineConfiguration{};
        copy.myFirstExtraCallback();
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(copy.myMessageCallback(nullptr, Platform::WM_SIZE, 0, 0), 5);
    }

    TEST_F(SettingsTest, ReadsEveryKeyOfACompleteFile)
    {
        WriteSettings(R"({
            "assets_path": { "engine": "../Content/Engine", "game": "./../Content/Game/", "cooked": "cooked" },
            "window_settings": {
                "title": "Bird",
                "clear_color": { "r": 0.25, "g": 0.5, "b": 0.75, "a": 1 },
                "window_size": { "w": 1920, "h": 1080 },
                "render_size": { "w": 640, "h": 360 },
                "enable_vsync": true, "start_in_fullscreen": true, "start_maximized": true, "borderless": true
            },
            "debug_features": ["Fps", "Filewatcher"],
            "multisampling": "High"
        })");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));

        const Vra::EngineConfiguration& configuration = Vra::GetEngineConfiguration();
        EXPECT_EQ(configuration.myTitle, "Bird");
        EXPECT_EQ(configuration.myClearColor, Vra::Color(0.25f, 0.5f, 0.75f, 1.0f));
        EXPECT_EQ(configuration.myWindowSize, (Vra::Vector2<std::uint32_t>{ 1920, 1080 }));
        EXPECT_EQ(configuration.myRenderSize, (Vra::Vector2<std::uint32_t>{ 640, 360 }));
        EXPECT_TRUE(configuration.myEnableVsync && configuration.myStartInFullscreen &&
                    configuration.myStartMaximized && configuration.myBorderless);
        EXPECT_EQ(configuration.myDebugFeatures, 33u);
        EXPECT_EQ(configuration.myMultisampling, Vra::MultisamplingLevel::High);

        EXPECT_EQ(Vra::ExecutableFolder(), Bin());
        EXPECT_EQ(Vra::EngineAssetsPath(), myFolder.Path() / "Content" / "Engine");
        EXPECT_EQ(Vra::GameAssetsPath(), myFolder.Path() / "Content" / "Game" / "");
        EXPECT_EQ(Vra::CookedAssetsPath(), Bin() / "cooked");
    }

    TEST_F(SettingsTest, FileNameWithoutDotGetsJsonExtension)
    {
        WriteSettings(R"({ "window_settings": { "title": "with extension" } })", "Game.json");
        WriteSettings(R"({ "window_settings": { "title": "without" } })", "Game");
        ASSERT_TRUE(Vra::LoadSettings("Game"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myTitle, "with extension");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myTitle, "with extension");
    }

    TEST_F(SettingsTest, MissingKeysAndNullsKeepDefaults)
    {
        WriteSettings(R"({ "window_settings": { "title": "", "clear_color": null, "enable_vsync": null } })");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        const Vra::EngineConfiguration& configuration = Vra::GetEngineConfiguration();
        EXPECT_EQ(configuration.myTitle, Vra::DEFAULT_WINDOW_TITLE);
        EXPECT_EQ(configuration.myClearColor, Vra::EngineConfiguration{}.myClearColor);
        EXPECT_FALSE(configuration.myEnableVsync);
        EXPECT_EQ(configuration.myWindowSize, (Vra::Vector2<std::uint32_t>{ 1280, 720 }));
        // Without "assets_path" the folders stay as they were.
        EXPECT_TRUE(Vra::GameAssetsPath().empty());
        EXPECT_TRUE(Vra::EngineAssetsPath().empty());
    }

    TEST_F(SettingsTest, OneSizeAloneSetsBoth)
    {
        struct Case
        {
            const char* myWindowSettings;
            Vra::Vector2<std::uint32_t> myWindow;
            Vra::Vector2<std::uint32_t> myRender;
        };
        const Case cases[] = {
            { R"({ "render_size": { "w": 800, "h": 600 } })", { 800, 600 }, { 800, 600 } },
            { R"({ "window_size": { "w": 1024, "h": 768 } })", { 1024, 768 }, { 1024, 768 } },
            { R"({ "window_size": { "w": 1024, "h": 768 }, "render_size": { "w": 800, "h": 600 } })", { 1024, 768 }, { 800, 600 } },
            { R"({})", { 1280, 720 }, { 1280, 720 } },
        };
        for (const Case& testCase : cases)
        {
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration{};
            WriteSettings(std::string(R"({ "window_settings": )") + testCase.myWindowSettings + "}");
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            EXPECT_EQ(Vra::GetEngineConfiguration().myWindowSize, testCase.myWindow) << testCase.myWindowSettings;
            EXPECT_EQ(Vra::GetEngineConfiguration().myRenderSize, testCase.myRender) << testCase.myWindowSettings;
        }
    }

    TEST_F(SettingsTest, DebugFeatureNames)
    {
        struct Case
        {
            const char* myJson;
            std::uint32_t myMask;
        };
        const Case cases[] = {
            { R"({ "debug_features": ["Fps", "None", "Cpu"] })", 0 },
            { R"({ "debug_features": ["Cpu", "All", "None"] })", 511 },
            { R"({ "debug_features": ["Fps", "Unheard"] })", 1 },
            { R"({ "debug_features": ["Drawcalls", "FpsGraph", "OptimizeWarnings", "MemoryTrackingStackTraces", "MemoryTrackingAllAllocations", "Mem"] })", 4 + 16 + 64 + 128 + 256 + 2 },
            { R"({ "debug_features": [] })", 0 },
            { R"({})", 0 },
        };
        for (const Case& testCase : cases)
        {
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration{};
            WriteSettings(testCase.myJson);
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            EXPECT_EQ(Vra::GetEngineConfiguration().myDebugFeatures, testCase.myMask) << testCase.myJson;
        }
    }

    TEST_F(SettingsTest, UnknownMultisamplingLeavesLevel)
    {
        WriteSettings(R"({ "multisampling": "Medium" })");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myMultisampling, Vra::MultisamplingLevel::Medium);
        WriteSettings(R"({ "multisampling": "Ultra" })");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myMultisampling, Vra::MultisamplingLevel::Medium);
        WriteSettings(R"({})");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myMultisampling, Vra::MultisamplingLevel::Medium);
    }

    TEST_F(SettingsTest, MissingFileOrExecutableIsReportedAndKeepsTheDefaults)
    {
        bool loaded = true;
        testing::internal::CaptureStdout();
        EXPECT_EQ(TestSupport::FailedAssertion([&] { loaded = Vra::LoadSettings("Game.json"); }), "");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not open project settings file in Vra::LoadSettings\n");
        EXPECT_FALSE(loaded);
        EXPECT_EQ(Vra::GetEngineConfiguration().myTitle, Vra::DEFAULT_WINDOW_TITLE);

        Platform::SetModulePathOverride(std::string());
        loaded = true;
        testing::internal::CaptureStdout();
        EXPECT_EQ(TestSupport::FailedAssertion([&] { loaded = Vra::LoadSettings("Game.json"); }), "");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "GetModuleFileName failed in Vra::LoadSettings\n");
        EXPECT_FALSE(loaded);
    }

    TEST_F(SettingsTest, MalformedContentRaisesJsonErrorsAndKeepsWhatWasRead)
    {
        const char* malformed[] = {
            R"({ "window_settings": { "title": "x" )",
            R"({ "assets_path": { "engine": "e" } })",
            R"({ "window_settings": { "clear_color": { "r": 1, "g": 1, "b": 1 } } })",
            R"({ "window_settings": { "enable_vsync": "yes" } })",
            R"({ "window_settings": { "title": 7 } })",
            R"({ "window_settings": 3 })",
            R"({ "debug_features": "Fps" })",
            R"({ "debug_features": [1] })",
            R"({ "multisampling": 2 })",
        };
        for (const char* content : malformed)
        {
            WriteSettings(content);
            EXPECT_THROW(Vra::LoadSettings("Game.json"), nlohmann::json::exception) << content;
        }

        Vra::GetEngineConfiguration() = Vra::EngineConfiguration{};
        WriteSettings(R"({ "window_settings": { "title": "Kept", "borderless": 1 } })");
        EXPECT_THROW(Vra::LoadSettings("Game.json"), nlohmann::json::exception);
        EXPECT_EQ(Vra::GetEngineConfiguration().myTitle, "Kept");
    }

    TEST_F(SettingsTest, SizesOutsideTheUnsignedRangeAreRefusedNamingKeyAndValue)
    {
        struct Case
        {
            std::string mySettings;
            PropertyTestSupport::JsonError myError;
        };
        const Case cases[] = {
            { BadInputFiles::Read("settings", "window_size_1e300.json"),
              { 302, R"(type must be number that fits an unsigned 32-bit integer, but "w" is 1e+300)" } },
            { R"({ "window_settings": { "render_size": { "w": 800, "h": -1 } } })",
              { 302, R"(type must be number that fits an unsigned 32-bit integer, but "h" is -1)" } },
            { R"({ "window_settings": { "window_size": { "w": 4294967296, "h": 600 } } })",
              { 302, R"(type must be number that fits an unsigned 32-bit integer, but "w" is 4294967296)" } },
            { R"({ "window_settings": { "window_size": { "w": "800", "h": 600 } } })", { 302, "type must be number, but is string" } },
        };
        for (const Case& testCase : cases)
        {
            WriteSettings(testCase.mySettings);
            EXPECT_TRUE(PropertyTestSupport::RaisesJsonError([] { Vra::LoadSettings("Game.json"); }, testCase.myError))
                << testCase.mySettings;
        }
        WriteSettings(R"({ "window_settings": { "window_size": { "w": 4294967295, "h": 600.75 } } })");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        EXPECT_EQ(Vra::GetEngineConfiguration().myWindowSize, (Vra::Vector2<std::uint32_t>{ 4294967295u, 600 }));
    }

    class ResolveAssetPathTest : public SettingsTest
    {
    protected:
        void SetUp() override
        {
            SettingsTest::SetUp();
            WriteSettings(R"({ "assets_path": { "engine": "../engine", "game": "../game" } })");
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        }
    };

    TEST_F(ResolveAssetPathTest, PrefersDataThenGameThenEngine)
    {
        const fs::path inData = myFolder.Write("bin/data/a.dds");
        myFolder.Write("game/a.dds");
        const fs::path inGame = myFolder.Write("game/b.dds");
        myFolder.Write("engine/b.dds");
        const fs::path inEngine = myFolder.Write("engine/Textures/c.dds");

        EXPECT_TRUE(fs::equivalent(Vra::ResolveAssetPath("a.dds"), inData));
        EXPECT_TRUE(fs::equivalent(Vra::ResolveAssetPath("b.dds"), inGame));
        EXPECT_TRUE(fs::equivalent(Vra::ResolveAssetPath("Textures/c.dds"), inEngine));
        EXPECT_EQ(Vra::ResolveAssetPath("nowhere.dds"), "");
    }

    TEST_F(ResolveAssetPathTest, FallsBackToAPathDifferingOnlyInCase)
    {
        const fs::path sprite = myFolder.Write("game/Sprites/UI/Button.dds");
        EXPECT_EQ(Vra::ResolveAssetPath("Sprites/UI/Button.dds"), sprite.string());
        EXPECT_EQ(Vra::ResolveAssetPath("sprites/ui/button.DDS"), sprite.string());
        EXPECT_EQ(Vra::ResolveAssetPath("sprites/ui/button2.dds"), "");
        // A folder name that matches loosely must still hold the rest of the path.
        EXPECT_EQ(Vra::ResolveAssetPath("sprites/Button.dds"), "");
    }

    TEST_F(ResolveAssetPathTest, ExactSpellingWinsOverLooseMatches)
    {
        const fs::path upper = myFolder.Write("game/Sprites/a.dds");
        const fs::path lower = myFolder.Write("game/sprites/a.dds");
        const fs::path onlyLower = myFolder.Write("game/sprites/b.dds");
        EXPECT_EQ(Vra::ResolveAssetPath("Sprites/a.dds"), upper.string());
        EXPECT_EQ(Vra::ResolveAssetPath("sprites/a.dds"), lower.string());
        // The exact "Sprites/" lacks b.dds: the walk goes on into the other spelling.
        EXPECT_EQ(Vra::ResolveAssetPath("Sprites/b.dds"), onlyLower.string());
        // An exact hit in a later folder beats a loose one in an earlier folder.
        myFolder.Write("bin/data/textures/t.dds");
        const fs::path exactEngine = myFolder.Write("engine/Textures/t.dds");
        EXPECT_EQ(Vra::ResolveAssetPath("Textures/t.dds"), exactEngine.string());
    }

    TEST_F(SettingsTest, WithoutAssetFoldersOnlyDataResolves)
    {
        WriteSettings(R"({})");
        ASSERT_TRUE(Vra::LoadSettings("Game.json"));
        const fs::path inData = myFolder.Write("bin/data/x.json");
        myFolder.Write("game/y.json");
        EXPECT_TRUE(fs::equivalent(Vra::ResolveAssetPath("x.json"), inData));
        EXPECT_EQ(Vra::ResolveAssetPath("y.json"), "");
    }
}
