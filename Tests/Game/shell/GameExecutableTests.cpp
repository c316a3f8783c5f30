#include "EngineTestSupport.h"
#include "TemporaryFolder.h"

#include "window/ExternalWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// The Game executable itself, started as its own process.
namespace
{
    namespace fs = std::filesystem;
    using namespace std::chrono_literals;

    fs::path GameExecutable()
    {
        return EngineTestSupport::EnvironmentPath("VRA_BIN_DIR") / "Game";
    }

    // A child process running the game in its folder, with nothing to read on its input.
    class GameProcess
    {
    public:
        // With anOutput, its standard output goes to that file.
        GameProcess(const fs::path& anExecutable, const fs::path& aFolder, const fs::path& anOutput = {})
        {
            myPid = fork();
            if (myPid == 0)
            {
                const int nothing = open("/dev/null", O_RDONLY);
                dup2(nothing, STDIN_FILENO);
                if (!anOutput.empty())
                {
                    const int output = open(anOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                    dup2(output, STDOUT_FILENO);
                }
                if (chdir(aFolder.c_str()) == 0)
                {
                    execl(anExecutable.c_str(), anExecutable.c_str(), static_cast<char*>(nullptr));
                }
                _exit(127);
            }
        }
        ~GameProcess()
        {
            if (myPid > 0 && !myHasExited)
            {
                kill(myPid, SIGKILL);
                waitpid(myPid, nullptr, 0);
            }
        }
        GameProcess(const GameProcess&) = delete;
        GameProcess& operator=(const GameProcess&) = delete;

        bool IsStarted() const { return myPid > 0; }

        // True once it has ended, within aTimeout; its status is then kept.
        bool WaitForExit(std::chrono::milliseconds aTimeout)
        {
            const auto end = std::chrono::steady_clock::now() + aTimeout;
            while (!myHasExited && std::chrono::steady_clock::now() < end)
            {
                myHasExited = waitpid(myPid, &myStatus, WNOHANG) == myPid;
                if (!myHasExited)
                {
                    std::this_thread::sleep_for(20ms);
                }
            }
            return myHasExited;
        }
        bool HasExited() { return WaitForExit(0ms); }
        bool Signal(int aSignal) const { return kill(myPid, aSignal) == 0; }
        bool WasKilledBy(int aSignal) const { return myHasExited && WIFSIGNALED(myStatus) && WTERMSIG(myStatus) == aSignal; }
        bool ExitedNormally() const { return myHasExited && WIFEXITED(myStatus); }
        int GetExitCode() const { return WEXITSTATUS(myStatus); }

    private:
        pid_t myPid = -1;
        int myStatus = 0;
        bool myHasExited = false;
    };

    TEST(GameExecutable, AnEngineThatCannotStartEndsTheProcessWithAFailureStatus)
    {
        // A copy of the game whose settings name a folder without shaders: the engine's
        // graphics cannot start. The executable reads its settings beside itself.
        const TestSupport::TemporaryFolder folder;
        const fs::path copy = folder.Path() / "Game";
        fs::copy_file(GameExecutable(), copy);
        fs::permissions(copy, fs::perms::owner_exec, fs::perm_options::add);
        folder.Write("settings/Game.json", R"({ "assets_path": { "engine": "engine", "game": "game", "cooked": "no-shaders" }, "window_settings": { "window_size": { "w": 64, "h": 64 } } })");

        const fs::path output = folder.Path() / "output.txt";
        GameProcess game(copy, folder.Path(), output);
        ASSERT_TRUE(game.IsStarted());
        ASSERT_TRUE(game.WaitForExit(60s)) << "the failed start must not wait for a key without a terminal";
        ASSERT_TRUE(game.ExitedNormally());
        EXPECT_NE(game.GetExitCode(), 0);
        EXPECT_NE(game.GetExitCode(), 127) << "the game did not start at all";
        // It says what is missing, and where it looked.
        std::ifstream file(output);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("Failed to load shader: Shaders/PostprocessVS (no file "), std::string::npos) << text;
        EXPECT_NE(text.find("no-shaders"), std::string::npos) << text;
        EXPECT_NE(text.find("Failed to start the engine"), std::string::npos) << text;
    }

    std::string ReadText(const fs::path& aFile)
    {
        std::ifstream file(aFile);
        return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    }

    // The game as a terminal or a service manager ends it: it finishes the frame, shuts down
    // as when its window is closed and reports success.
    class GameExecutableSignal : public ::testing::TestWithParam<int>
    {
    };

    TEST_P(GameExecutableSignal, EndsTheGameCleanlyWithinASecond)
    {
        const fs::path bin = EngineTestSupport::EnvironmentPath("VRA_BIN_DIR");
        const TestSupport::TemporaryFolder folder;
        const fs::path output = folder.Path() / "output.txt";
        GameProcess game(bin / "Game", bin, output);
        ASSERT_TRUE(game.IsStarted());

        // The frame loop starts once the transition is set up; a few frames of the splash after.
        const auto giveUp = std::chrono::steady_clock::now() + 90s;
        while (ReadText(output).find("In Transition Init Start") == std::string::npos && std::chrono::steady_clock::now() < giveUp &&
               !game.HasExited())
        {
            std::this_thread::sleep_for(50ms);
        }
        std::this_thread::sleep_for(500ms);
        ASSERT_FALSE(game.HasExited()) << "the game ended before the signal:\n" << ReadText(output);
        ASSERT_NE(ReadText(output).find("In Transition Init Start"), std::string::npos) << "the game never reached its frame loop";

        ASSERT_TRUE(game.Signal(GetParam()));
        const auto signalled = std::chrono::steady_clock::now();
        ASSERT_TRUE(game.WaitForExit(10s)) << "the game kept running after the signal";
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
        ASSERT_FALSE(game.WasKilledBy(GetParam())) << "the signal's default action ended the game";
        ASSERT_TRUE(game.ExitedNormally()) << "the game crashed on the way out";
        EXPECT_EQ(game.GetExitCode(), 0);
        EXPECT_LT(seconds, 1.0) << "seconds from the signal to the end";
    }

    INSTANTIATE_TEST_SUITE_P(Signals, GameExecutableSignal, ::testing::Values(SIGINT, SIGTERM),
                             [](const ::testing::TestParamInfo<int>& anInfo) { return std::string(anInfo.param == SIGINT ? "Interrupt" : "Terminate"); });

    bool ShowsSomethingDrawn(const std::vector<std::uint8_t>& somePixels)
    {
        // The display's root is black: any lit pixel was presented by the game.
        for (std::size_t pixel = 0; pixel < somePixels.size(); pixel += 4)
        {
            if (somePixels[pixel] > 8 || somePixels[pixel + 1] > 8 || somePixels[pixel + 2] > 8)
            {
                return true;
            }
        }
        return false;
    }

    // Needs an X display with a black root window: the "GameWindowUnderXvfb" test runs it under
    // xvfb-run; elsewhere it is skipped.
    TEST(GameWindow, ShowsAFrameAndQuitsCleanlyWhenItsWindowIsClosed)
    {
        const bool required = std::getenv("VRA_REQUIRE_DISPLAY") != nullptr;
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        if (std::getenv("DISPLAY") == nullptr || (driver != nullptr && std::string(driver) != "x11"))
        {
            if (required)
            {
                FAIL() << "no X display to show the game on";
            }
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        }
        const fs::path bin = EngineTestSupport::EnvironmentPath("VRA_BIN_DIR");
        GameProcess game(bin / "Game", bin);
        ASSERT_TRUE(game.IsStarted());

        Platform::ExternalWindowId window = 0;
        const auto giveUp = std::chrono::steady_clock::now() + 90s;
        while (window == 0 && std::chrono::steady_clock::now() < giveUp && !game.HasExited())
        {
            window = Platform::FindExternalWindow("Platformer");
            std::this_thread::sleep_for(100ms);
        }
        ASSERT_FALSE(game.HasExited()) << "the game ended before it showed its window";
        ASSERT_NE(window, 0u) << "no window titled \"Platformer\" appeared";

        bool drawn = false;
        std::vector<std::uint8_t> pixels;
        int width = 0;
        int height = 0;
        while (!drawn && std::chrono::steady_clock::now() < giveUp && !game.HasExited())
        {
            drawn = Platform::CaptureExternalWindow(window, pixels, width, height) && ShowsSomethingDrawn(pixels);
            std::this_thread::sleep_for(100ms);
        }
        EXPECT_TRUE(drawn) << "the window never showed a frame";
        EXPECT_EQ(width, 1600);
        EXPECT_EQ(height, 900);

        ASSERT_TRUE(Platform::RequestExternalWindowClose(window));
        ASSERT_TRUE(game.WaitForExit(60s)) << "the game kept running after its window was closed";
        ASSERT_TRUE(game.ExitedNormally()) << "the game crashed on the way out";
        EXPECT_EQ(game.GetExitCode(), 0);
    }
}
