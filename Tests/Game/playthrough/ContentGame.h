#pragma once
#include "EngineTestSupport.h"
#include "Track.h"

#include "effects/VfxManager.h"

#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"
#include "window/ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

// The whole game on the content pack the build made: assets from <bin>/data and <bin>/game, the
// tables from <bin>/settings, as the real executable reads them from <bin>.
namespace ContentGame
{
    namespace fs = std::filesystem;

    // The level screen's view is fixed; a small back buffer keeps the software renderer quick.
    inline constexpr std::uint32_t SCREEN_WIDTH = 320;
    inline constexpr std::uint32_t SCREEN_HEIGHT = 180;
    // As the main loop sets up its sweep.
    inline constexpr float TRANSITION_SPEED = 0.7f;
    inline constexpr float TRANSITION_ACCELERATION = 1.5f;

    // The build's game asset folder; sprites, fonts and engine textures lie in <bin>/data.
    inline fs::path GameAssets()
    {
        return TestSupport::BinFolder() / "game";
    }

    // Everything the game writes on standard output, kept for the test and echoed on request. The
    // game also writes from its level-loading tasks, so the kept text takes one writer at a time.
    class CapturedOutput
    {
    public:
        CapturedOutput() : myOldBuffer(std::cout.rdbuf(&myBuffer)) {}
        ~CapturedOutput() { std::cout.rdbuf(myOldBuffer); }
        CapturedOutput(const CapturedOutput&) = delete;
        CapturedOutput& operator=(const CapturedOutput&) = delete;

        std::string Text() const { return myBuffer.Text(); }

    private:
        // Without a put area of its own every write reaches overflow or xsputn, under the lock.
        class LockedText : public std::streambuf
        {
        public:
            std::string Text() const
            {
                const std::lock_guard<std::mutex> lock(myMutex);
                return myText;
            }

        protected:
            int_type overflow(int_type aCharacter) override
            {
                if (!traits_type::eq_int_type(aCharacter, traits_type::eof()))
                {
                    const std::lock_guard<std::mutex> lock(myMutex);
                    myText.push_back(traits_type::to_char_type(aCharacter));
                }
                return traits_type::not_eof(aCharacter);
            }

            std::streamsize xsputn(const char* someCharacters, std::streamsize aCount) override
            {
                const std::lock_guard<std::mutex> lock(myMutex);
                myText.append(someCharacters, static_cast<std::size_t>(aCount));
                return aCount;
            }

        private:
            mutable std::mutex myMutex;
            std::string myText;
        };

        LockedText myBuffer;
        std::streambuf* myOldBuffer;
    };

    // The lines of aText that contain any of the marks.
    inline std::string LinesWith(const std::string& aText, const std::vector<std::string>& someMarks)
    {
        std::istringstream lines(aText);
        std::string found;
        for (std::string line; std::getline(lines, line);)
        {
            for (const std::string& mark : someMarks)
            {
                if (line.find(mark) != std::string::npos)
                {
                    found += line + "\n";
                    break;
                }
            }
        }
        return found;
    }

    // What the game prints when content is missing or broken.
    inline const std::vector<std::string>& ContentErrorMarks()
    {
        static const std::vector<std::string> marks{ "Sound group not found or empty", "Failed to load", "Failed to open", "ERROR",
                                                     "Invalid VFX",                    "Bad Flag",       "Bad Cutscene",   "error, ",
                                                     "Skipping",                       "Wrong init",     "No Cutscene Flag" };
        return marks;
    }

    // The engine started headless on the build's content; the working folder is <bin> while it runs.
    class ContentGameTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            const fs::path bin = TestSupport::BinFolder();
            if (!fs::is_directory(GameAssets() / "levels" / "level1.leveldata"))
            {
                FAIL() << "the build has not made the levels in " << GameAssets();
            }
            const fs::path root = myFolder.Path();
            fs::create_directories(root / "settings");
            std::ofstream(root / "settings" / "Game.json")
                << "{ \"assets_path\": { \"engine\": \"" << (bin / "data").string() << "\", \"game\": \"" << GameAssets().string()
                << "\", \"cooked\": \"" << (bin / "cooked").string() << "\" },\n"
                << "  \"window_settings\": { \"title\": \"playthrough\", \"window_size\": { \"w\": " << myScreenWidth
                << ", \"h\": " << myScreenHeight << " }, \"render_size\": { \"w\": " << myScreenWidth << ", \"h\": " << myScreenHeight
                << " }, \"enable_vsync\": false },\n"
                << "  \"debug_features\": [\"None\"] }\n";
            myOldWorkingFolder = fs::current_path();
            fs::current_path(bin);
            Platform::SetModulePathOverride((root / "GameTests").string());
            Vra::GetEngineConfiguration() = Vra::EngineConfiguration();
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            ConfigureEngine(Vra::GetEngineConfiguration());
            ASSERT_TRUE(Vra::Engine::Start());
            Transition::GetInstance()->Init(TRANSITION_SPEED, TRANSITION_ACCELERATION);
            ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        }

        // What a test changes in the configuration before the engine starts.
        virtual void ConfigureEngine(Vra::EngineConfiguration& /*aConfiguration*/) {}

        void TearDown() override
        {
            myWorld.reset();
            // Effects still showing hold textures of this engine: they end with it.
            VfxManager& effects = VfxManager::GetInstance();
            effects.StopLooping();
            while (!effects.GetInstances().empty())
            {
                effects.Update(1.0f);
            }
            EngineTestSupport::ResetProcessState();
            if (!myOldWorkingFolder.empty())
            {
                fs::current_path(myOldWorkingFolder);
            }
        }

        ::testing::AssertionResult PlayTrack(const std::string& aName) { return PlayTrackFile(TrackFolder() / aName); }

        ::testing::AssertionResult PlayTrackFile(const fs::path& aFile)
        {
            std::string error;
            const std::vector<TrackStep> steps = ReadTrack(aFile, error);
            if (error.empty())
            {
                error = myRunner.Play(steps, std::getenv("VRA_TRACK_TRACE") != nullptr);
            }
            return error.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << error;
        }

        bool Frame() { return myRunner.Frame(); }
        SceneState* TopScreen() const { return myRunner.TopScreen(); }
        LevelState* TopLevel() const { return myRunner.TopLevel(); }

        // The window's size; a test that looks at the pictures sets its own before SetUp.
        std::uint32_t myScreenWidth = SCREEN_WIDTH;
        std::uint32_t myScreenHeight = SCREEN_HEIGHT;
        TestSupport::TemporaryFolder myFolder;
        fs::path myOldWorkingFolder;
        CommonUtilities::InputHandler myInput;
        std::unique_ptr<GameWorld> myWorld = std::make_unique<GameWorld>();
        TrackRunner myRunner{ *myWorld, myInput };
    };
}
