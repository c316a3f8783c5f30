// Start-up of the game as a whole process: from the moment a new process is started (fork and
// exec) until the first frame the main menu drew has been presented, beside the floor of a bare
// SDL window with a GL context and one presented frame, in the same run. The child is this program
// again, running the game's own Go in the build's bin folder with the sample content, headless; it
// tells the parent through a pipe when a milestone is passed (the main menu's second update begins:
// its first frame's EndFrame is done), with its resident memory at that point.
//
// From the menu, a level can be loaded as the menus load one (on a task, asked once a frame
// whether it is done) and put on a layer of its own: the child then also reports the load's end
// and the level's first presented frame, so each level's first load in a fresh process, the wait
// until its first frame and the resident memory after it are measured.
#include "level/LevelState.h"
#include "screens/LevelLoading.h"
#include "screens/MainMenuState.h"
#include "shell/Go.h"
#include "shell/SceneStateStack.h"

#include "window/ModulePath.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    namespace fs = std::filesystem;
    using Clock = std::chrono::steady_clock;

    constexpr const char* GAME_CHILD_FLAG = "--startup-child";
    constexpr const char* FLOOR_CHILD_FLAG = "--floor-child";
    constexpr const char* LEVELS[] = { "levels/level1.vrs", "levels/level_2_01.vrs", "levels/level_3_01.vrs" };

    enum class Milestone : std::int32_t
    {
        MenuFramePresented = 1,
        LevelLoadStarted = 2,
        LevelLoaded = 3,
        LevelFramePresented = 4,
        FloorFramePresented = 5,
    };

    // What a child writes on the pipe at each milestone. The steady clock is the system's
    // monotonic clock, shared by parent and child.
    struct Report
    {
        Milestone myMilestone;
        std::int64_t myResidentKiB;
        std::int64_t myClockNs;
    };

    fs::path BinFolder()
    {
        if (const char* binary = std::getenv("VRA_BIN_DIR"))
        {
            return binary;
        }
        return fs::path(Platform::GetModulePath()).parent_path().parent_path() / "bin";
    }

    std::int64_t ResidentKiB()
    {
        std::ifstream statm("/proc/self/statm");
        std::int64_t pages = 0;
        std::int64_t resident = 0;
        statm >> pages >> resident;
        return resident * (sysconf(_SC_PAGESIZE) / 1024);
    }

    void Send(int aPipe, Milestone aMilestone)
    {
        const Report report{ aMilestone, ResidentKiB(), Clock::now().time_since_epoch().count() };
        (void)!write(aPipe, &report, sizeof(report));
    }

    // The level, reporting the end of its load and its first presented frame, and ending there.
    class ReportingLevel : public LevelState
    {
    public:
        ReportingLevel(SceneStateStack& aStack, int aPipe) : LevelState(aStack), myPipe(aPipe) {}

        bool LoadScene(const std::string& aScenePath) override
        {
            const bool isLoaded = LevelState::LoadScene(aScenePath);
            Send(myPipe, Milestone::LevelLoaded);
            return isLoaded;
        }

        bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override
        {
            if (++myUpdates == 2)
            {
                Send(myPipe, Milestone::LevelFramePresented);
                return false;
            }
            return LevelState::Update(aDeltaTime, anInput);
        }

    private:
        int myPipe;
        int myUpdates = 0;
    };

    // The main menu, reporting its first presented frame; then it ends there, or loads the level
    // it was given as the menus do and puts it on a layer of its own.
    class ReportingMainMenu : public MainMenuState
    {
    public:
        ReportingMainMenu(SceneStateStack& aStack, int aPipe, int aLevel) : MainMenuState(aStack), myPipe(aPipe), myLevel(aLevel) {}

        bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override
        {
            if (++myUpdates == 2)
            {
                Send(myPipe, Milestone::MenuFramePresented);
                if (myLevel < 0)
                {
                    return false;
                }
                Send(myPipe, Milestone::LevelLoadStarted);
                myLoading.Start(std::make_unique<ReportingLevel>(*mySceneStateStack, myPipe), LEVELS[myLevel]);
            }
            if (myLoading.IsReady())
            {
                std::unique_ptr<SceneState> level = myLoading.TakeLevel();
                if (!level)
                {
                    return false;
                }
                mySceneStateStack->PushLayer(std::move(level));
                return true;
            }
            return MainMenuState::Update(aDeltaTime, anInput);
        }

    private:
        int myPipe;
        int myLevel;
        int myUpdates = 0;
        LevelLoading myLoading;
    };

    int RunGameChild(int aPipe, int aLevel)
    {
        const fs::path bin = BinFolder();
        if (chdir(bin.c_str()) != 0)
        {
            return EXIT_FAILURE;
        }
        // As the game itself: its settings beside the executable, its tables in the working folder.
        Platform::SetModulePathOverride((bin / "Game").string());
        return Go("", [aPipe, aLevel](SceneStateStack& aStack) { return std::make_unique<ReportingMainMenu>(aStack, aPipe, aLevel); });
    }

    // The floor under any start-up: SDL's video, a window of the game's size with a GL 4.5 core
    // context, one cleared and presented frame.
    int RunFloorChild(int aPipe)
    {
        if (SDL_Init(SDL_INIT_VIDEO) != 0)
        {
            return EXIT_FAILURE;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_Window* const window = SDL_CreateWindow("Floor", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1600, 900, SDL_WINDOW_OPENGL);
        SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
        if (!context)
        {
            return EXIT_FAILURE;
        }
        using ClearColor = void (*)(float, float, float, float);
        using ClearBuffer = void (*)(unsigned);
        const auto clearColor = reinterpret_cast<ClearColor>(SDL_GL_GetProcAddress("glClearColor"));
        const auto clear = reinterpret_cast<ClearBuffer>(SDL_GL_GetProcAddress("glClear"));
        constexpr unsigned COLOR_BUFFER_BIT = 0x4000;
        clearColor(0.0f, 0.0f, 0.0f, 1.0f);
        clear(COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        Send(aPipe, Milestone::FloorFramePresented);
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        SDL_Quit();
        return EXIT_SUCCESS;
    }

    // One child's run: its reports by milestone, seconds after the fork, and its page faults.
    struct ChildRun
    {
        bool myIsComplete = false;
        Clock::time_point myStart;
        Report myReports[6] = {};
        long myMinorFaults = 0;

        double SecondsTo(Milestone aMilestone) const
        {
            const auto at = Clock::time_point(Clock::duration(myReports[static_cast<int>(aMilestone)].myClockNs));
            return std::chrono::duration<double>(at - myStart).count();
        }
        double SecondsBetween(Milestone aFrom, Milestone aTo) const { return SecondsTo(aTo) - SecondsTo(aFrom); }
        double ResidentMiB(Milestone aMilestone) const { return static_cast<double>(myReports[static_cast<int>(aMilestone)].myResidentKiB) / 1024.0; }
    };

    // Starts this program as a child in aMode and collects its reports until aLast came.
    ChildRun StartChild(const char* aMode, int aLevel, Milestone aLast)
    {
        ChildRun run;
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
        {
            return run;
        }
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        run.myStart = Clock::now();
        const pid_t child = fork();
        if (child == 0)
        {
            close(pipeEnds[0]);
            const int nothing = open("/dev/null", O_RDWR);
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
            const std::string pipeText = std::to_string(pipeEnds[1]);
            const std::string levelText = std::to_string(aLevel);
            execl(self.c_str(), self.c_str(), aMode, pipeText.c_str(), levelText.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        bool isLastSeen = false;
        Report report{};
        while (read(pipeEnds[0], &report, sizeof(report)) == static_cast<ssize_t>(sizeof(report)))
        {
            const auto index = static_cast<int>(report.myMilestone);
            if (index > 0 && index < 6)
            {
                run.myReports[index] = report;
            }
            isLastSeen = isLastSeen || report.myMilestone == aLast;
        }
        close(pipeEnds[0]);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        run.myMinorFaults = usage.ru_minflt;
        run.myIsComplete = isLastSeen && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return run;
    }

    // The bare SDL window with a GL context and one presented frame.
    void BM_BareSdlGlFloor(benchmark::State& aState)
    {
        double resident = 0.0;
        for (auto _ : aState)
        {
            const ChildRun run = StartChild(FLOOR_CHILD_FLAG, -1, Milestone::FloorFramePresented);
            if (!run.myIsComplete)
            {
                aState.SkipWithError("the bare SDL window did not present its frame");
                return;
            }
            aState.SetIterationTime(run.SecondsTo(Milestone::FloorFramePresented));
            resident += run.ResidentMiB(Milestone::FloorFramePresented);
        }
        aState.counters["rss_MiB"] = resident / static_cast<double>(aState.iterations());
    }
    BENCHMARK(BM_BareSdlGlFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

    // A plain start, as scripts/run starts the game, to the main menu's first presented frame.
    void BM_StartUpToFirstMenuFrame(benchmark::State& aState)
    {
        double resident = 0.0;
        double faults = 0.0;
        for (auto _ : aState)
        {
            const ChildRun run = StartChild(GAME_CHILD_FLAG, -1, Milestone::MenuFramePresented);
            if (!run.myIsComplete)
            {
                aState.SkipWithError("the game did not reach its first menu frame");
                return;
            }
            aState.SetIterationTime(run.SecondsTo(Milestone::MenuFramePresented));
            resident += run.ResidentMiB(Milestone::MenuFramePresented);
            faults += static_cast<double>(run.myMinorFaults);
        }
        const auto iterations = static_cast<double>(aState.iterations());
        aState.counters["rss_MiB"] = resident / iterations;
        aState.counters["minor_faults"] = faults / iterations;
    }
    BENCHMARK(BM_StartUpToFirstMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

    // A fresh game from its menu into one level, as the menus load it: the time is the load on its
    // task; the wait from the load's start to the level's first presented frame (what the loading
    // screen of speedrun mode shows for at most) and the resident memory after the menu's and the
    // level's first frames are counters.
    void BM_LevelFirstLoadFromMenu(benchmark::State& aState)
    {
        const int level = static_cast<int>(aState.range(0));
        aState.SetLabel(LEVELS[level]);
        double toFrame = 0.0;
        double menuResident = 0.0;
        double levelResident = 0.0;
        for (auto _ : aState)
        {
            const ChildRun run = StartChild(GAME_CHILD_FLAG, level, Milestone::LevelFramePresented);
            if (!run.myIsComplete)
            {
                aState.SkipWithError("the game did not reach the level's first frame");
                return;
            }
            aState.SetIterationTime(run.SecondsBetween(Milestone::LevelLoadStarted, Milestone::LevelLoaded));
            toFrame += run.SecondsBetween(Milestone::LevelLoadStarted, Milestone::LevelFramePresented);
            menuResident += run.ResidentMiB(Milestone::MenuFramePresented);
            levelResident += run.ResidentMiB(Milestone::LevelFramePresented);
        }
        const auto iterations = static_cast<double>(aState.iterations());
        aState.counters["to_first_frame_ms"] = 1000.0 * toFrame / iterations;
        aState.counters["menu_rss_MiB"] = menuResident / iterations;
        aState.counters["level_rss_MiB"] = levelResident / iterations;
    }
    BENCHMARK(BM_LevelFirstLoadFromMenu)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
}

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], GAME_CHILD_FLAG) == 0)
    {
        return RunGameChild(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc == 4 && std::strcmp(argv[1], FLOOR_CHILD_FLAG) == 0)
    {
        return RunFloorChild(std::atoi(argv[2]));
    }
    // Headless unless told otherwise; the child inherits these.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
    {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
