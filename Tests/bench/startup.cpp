// Start-up of the game to its first presented menu frame: from the moment a new process is
// started (fork and exec) until the first frame the main menu drew has been presented. The child
// is this program again, running the game's own Go in the build's bin folder with the sample
// content, headless; the main menu there tells the parent through a pipe when its second update
// begins (the first frame's EndFrame is done) and ends the game.
#include "screens/MainMenuState.h"
#include "shell/Go.h"
#include "shell/SceneStateStack.h"

#include "window/ModulePath.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    namespace fs = std::filesystem;

    constexpr const char* CHILD_FLAG = "--startup-child";

    fs::path BinFolder()
    {
        if (const char* binary = std::getenv("VRA_BIN_DIR"))
        {
            return binary;
        }
        return fs::path(Platform::GetModulePath()).parent_path().parent_path() / "bin";
    }

    // The main menu, reporting its first presented frame on a pipe and ending there.
    class ReportingMainMenu : public MainMenuState
    {
    public:
        ReportingMainMenu(SceneStateStack& aStack, int aPipe) : MainMenuState(aStack), myPipe(aPipe) {}

        bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override
        {
            if (++myUpdates == 2)
            {
                const char done = 1;
                (void)!write(myPipe, &done, 1);
                return false;
            }
            return MainMenuState::Update(aDeltaTime, anInput);
        }

    private:
        int myPipe;
        int myUpdates = 0;
    };

    int RunChild(int aPipe)
    {
        const fs::path bin = BinFolder();
        if (chdir(bin.c_str()) != 0)
        {
            return EXIT_FAILURE;
        }
        // As the game itself: its settings beside the executable, its tables in the working folder.
        Platform::SetModulePathOverride((bin / "Game").string());
        return Go("", [aPipe](SceneStateStack& aStack) { return std::make_unique<ReportingMainMenu>(aStack, aPipe); });
    }

    // The setting scripts/run starts the game with: glibc's large allocations on huge pages.
    constexpr const char* HUGE_PAGE_TUNABLE = "glibc.malloc.hugetlb=1";

    // Seconds from the fork to the child's report; negative when it never came. With
    // someTunables, the child starts with them added to GLIBC_TUNABLES.
    double StartAndTime(const std::string& aSelf, const char* someTunables = nullptr)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
        {
            return -1.0;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0)
        {
            close(pipeEnds[0]);
            const int nothing = open("/dev/null", O_RDWR);
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
            if (someTunables != nullptr)
            {
                const char* old = std::getenv("GLIBC_TUNABLES");
                const std::string tunables = old != nullptr && *old != '\0' ? std::string(old) + ":" + someTunables : someTunables;
                setenv("GLIBC_TUNABLES", tunables.c_str(), 1);
            }
            const std::string pipeText = std::to_string(pipeEnds[1]);
            execl(aSelf.c_str(), aSelf.c_str(), CHILD_FLAG, pipeText.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        char done = 0;
        const bool reported = read(pipeEnds[0], &done, 1) == 1;
        const auto end = std::chrono::steady_clock::now();
        close(pipeEnds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!reported || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        {
            return -1.0;
        }
        return std::chrono::duration<double>(end - start).count();
    }

    void TimeStartUps(benchmark::State& aState, const char* someTunables)
    {
        const std::string self = fs::read_symlink("/proc/self/exe").string();
        for (auto _ : aState)
        {
            const double seconds = StartAndTime(self, someTunables);
            if (seconds < 0.0)
            {
                aState.SkipWithError("the game did not reach its first menu frame");
                return;
            }
            aState.SetIterationTime(seconds);
        }
    }

    void BM_StartUpToFirstMenuFrame(benchmark::State& aState)
    {
        TimeStartUps(aState, nullptr);
    }
    BENCHMARK(BM_StartUpToFirstMenuFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

    // As scripts/run starts it: most of a start-up otherwise goes to faulting in fresh memory
    // (textures, font atlases, decoded sounds) one small page at a time.
    void BM_StartUpToFirstMenuFrameOnHugePages(benchmark::State& aState)
    {
        TimeStartUps(aState, HUGE_PAGE_TUNABLE);
    }
    BENCHMARK(BM_StartUpToFirstMenuFrameOnHugePages)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], CHILD_FLAG) == 0)
    {
        return RunChild(std::atoi(argv[2]));
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
