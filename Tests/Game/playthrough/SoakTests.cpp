// The whole game played for a long time with random keys and gamepads: the menus, the levels,
// pauses, deaths, pads plugged in and pulled out. It fails on an assertion, a crash, or resident
// memory that keeps growing once a tour has loaded every level and shown every screen.
//
// VRA_SOAK_FRAMES sets the frames (100,000 unless set), VRA_SOAK_SEED the seed of the input; the
// seed is printed first, so a failure can be played again.
#include "ContentGame.h"
#include "VirtualPad.h"

#include "screens/CreditsState.h"
#include "screens/LevelSelectState.h"
#include "screens/OptionsState.h"
#include "screens/PauseState.h"
#include "shell/Go.h"

#include "window/VirtualKeys.h"

#include "Assert.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <numeric>
#include <set>
#include <typeinfo>
#include <random>
#include <unistd.h>
#include <malloc.h>

namespace
{
    using namespace ContentGame;
    using TestSupport::VirtualPad;

    constexpr long DEFAULT_FRAMES = 100000;
    // Resident memory is read this often after the tour.
    constexpr long SAMPLE_EVERY = 50;
    constexpr double MOST_GROWTH = 0.05;
    // From this many frames on, a growing resident memory fails the run.
    constexpr long LONG_RUN_FRAMES = 20000;
    constexpr std::size_t JUMP_BYTES = 4 * 1048576;

    long FramesToPlay()
    {
        const char* text = std::getenv("VRA_SOAK_FRAMES");
        return text != nullptr && std::atol(text) > 0 ? std::atol(text) : DEFAULT_FRAMES;
    }

    std::uint64_t Seed()
    {
        if (const char* text = std::getenv("VRA_SOAK_SEED"))
        {
            return std::strtoull(text, nullptr, 10);
        }
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) | device();
    }

    std::size_t ResidentBytes()
    {
        std::FILE* file = std::fopen("/proc/self/statm", "r");
        unsigned long size = 0;
        unsigned long resident = 0;
        if (file != nullptr)
        {
            if (std::fscanf(file, "%lu %lu", &size, &resident) != 2)
            {
                resident = 0;
            }
            std::fclose(file);
        }
        return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    }

    // The game's standard output, dropped but for its last lines and the lines that tell of
    // missing or broken content: a long run writes far more than is worth keeping.
    class OutputTail : public std::streambuf
    {
    public:
        OutputTail() : myOldBuffer(std::cout.rdbuf(this)) {}
        ~OutputTail() override { std::cout.rdbuf(myOldBuffer); }

        std::string LastLines() const
        {
            const std::lock_guard<std::mutex> lock(myMutex);
            std::string text;
            for (const std::string& line : myLines)
            {
                text += line + "\n";
            }
            return text + myLine;
        }

        // Each line with a content error mark, with how often it came.
        std::map<std::string, int> ContentErrors() const
        {
            const std::lock_guard<std::mutex> lock(myMutex);
            return myErrors;
        }

    protected:
        int_type overflow(int_type aCharacter) override
        {
            if (!traits_type::eq_int_type(aCharacter, traits_type::eof()))
            {
                const char character = traits_type::to_char_type(aCharacter);
                xsputn(&character, 1);
            }
            return traits_type::not_eof(aCharacter);
        }

        std::streamsize xsputn(const char* someCharacters, std::streamsize aCount) override
        {
            const std::lock_guard<std::mutex> lock(myMutex);
            for (std::streamsize index = 0; index < aCount; ++index)
            {
                if (someCharacters[index] != '\n')
                {
                    myLine.push_back(someCharacters[index]);
                    continue;
                }
                if (!LinesWith(myLine, ContentErrorMarks()).empty())
                {
                    ++myErrors[myLine];
                }
                myLines.push_back(std::move(myLine));
                myLine.clear();
                if (myLines.size() > KEPT_LINES)
                {
                    myLines.pop_front();
                }
            }
            return aCount;
        }

    private:
        static constexpr std::size_t KEPT_LINES = 40;
        mutable std::mutex myMutex;
        std::deque<std::string> myLines;
        std::string myLine;
        std::map<std::string, int> myErrors;
        std::streambuf* myOldBuffer;
    };

    // What a player holds for a while: keys, and the pad in use.
    struct Action
    {
        int myFrames = 1;
        std::set<int> myKeys;
        Platform::GamepadState myPad;
        bool myUsesPad = false;
    };

    // Where the player is, for what it does next.
    enum class Place
    {
        Level,
        Menu,
        // The main menu with "EXIT" selected: choosing it ends the game.
        MenuOnExit,
        // The options with full screen selected. The soak leaves the window's size alone: full
        // screen is the headless display's 1024 x 768, where every frame takes ten times as long.
        MenuOnFullscreen,
    };

    // Random input, biased toward what a player does: in a level right more than left, jumps and
    // dashes often, now and then a pause; in a menu a move, a choice or a step back, seldom the
    // choice that ends the game. Half the time on the pad, half on the keys.
    class RandomPlayer
    {
    public:
        explicit RandomPlayer(std::uint64_t aSeed) : myRandom(aSeed) {}

        Action Next(Place aPlace)
        {
            Action action;
            action.myUsesPad = Chance(0.5);
            if (aPlace == Place::Level)
            {
                action.myFrames = Chance(0.1) ? Between(40, 240) : Between(1, 40);
                if (action.myUsesPad)
                {
                    Platform::GamepadState& pad = action.myPad;
                    const std::pair<std::uint16_t, double> buttons[] = {
                        { Platform::GAMEPAD_A, 0.3 },  { Platform::GAMEPAD_X, 0.1 },  { Platform::GAMEPAD_Y, 0.05 },
                        { Platform::GAMEPAD_B, 0.05 }, { Platform::GAMEPAD_RIGHT_SHOULDER, 0.12 }, { Platform::GAMEPAD_START, 0.03 },
                        { Platform::GAMEPAD_DPAD_LEFT, 0.05 }, { Platform::GAMEPAD_DPAD_RIGHT, 0.05 }, { Platform::GAMEPAD_BACK, 0.02 },
                    };
                    AddButtons(pad, buttons);
                    pad.myThumbLeftX = Stick(0.5, 0.2);
                    pad.myThumbLeftY = Stick(0.05, 0.05);
                    pad.myThumbRightX = Stick(0.05, 0.05);
                    pad.myThumbRightY = Stick(0.05, 0.05);
                    pad.myLeftTrigger = Chance(0.05) ? static_cast<std::uint8_t>(Between(0, 255)) : 0;
                    pad.myRightTrigger = Chance(0.05) ? static_cast<std::uint8_t>(Between(0, 255)) : 0;
                }
                else
                {
                    const std::pair<int, double> keys[] = {
                        { Platform::VK_RIGHT, 0.5 }, { Platform::VK_LEFT, 0.2 }, { Platform::VK_UP, 0.05 },  { Platform::VK_DOWN, 0.05 },
                        { 'Z', 0.3 },                { 'X', 0.1 },               { 'C', 0.12 },              { Platform::VK_SPACE, 0.05 },
                        { Platform::VK_RETURN, 0.02 }, { Platform::VK_ESCAPE, 0.03 },
                    };
                    AddKeys(action, keys);
                }
                return action;
            }

            // A press in a menu lasts a few frames; sometimes the player waits, or holds a move.
            action.myFrames = Chance(0.2) ? Between(20, 120) : Between(2, 12);
            const double choose = aPlace == Place::MenuOnExit ? 0.01 : aPlace == Place::MenuOnFullscreen ? 0.0 : 0.2;
            if (action.myUsesPad)
            {
                const std::pair<std::uint16_t, double> buttons[] = {
                    { Platform::GAMEPAD_A, choose },         { Platform::GAMEPAD_START, 0.05 },      { Platform::GAMEPAD_B, 0.02 },
                    { Platform::GAMEPAD_DPAD_UP, 0.15 },     { Platform::GAMEPAD_DPAD_DOWN, 0.2 },   { Platform::GAMEPAD_DPAD_LEFT, 0.1 },
                    { Platform::GAMEPAD_DPAD_RIGHT, 0.1 },
                };
                AddButtons(action.myPad, buttons);
                action.myPad.myThumbLeftY = Stick(0.1, 0.1);
                action.myPad.myThumbLeftX = Stick(0.05, 0.05);
            }
            else
            {
                const std::pair<int, double> keys[] = {
                    { Platform::VK_RETURN, choose }, { Platform::VK_ESCAPE, 0.05 }, { Platform::VK_UP, 0.15 },   { Platform::VK_DOWN, 0.2 },
                    { Platform::VK_LEFT, 0.1 },      { Platform::VK_RIGHT, 0.1 },   { 'Z', 0.02 },               { Platform::VK_SPACE, 0.02 },
                };
                AddKeys(action, keys);
            }
            return action;
        }

        bool Chance(double aChance) { return std::uniform_real_distribution<double>(0.0, 1.0)(myRandom) < aChance; }
        int Between(int aLow, int aHigh) { return std::uniform_int_distribution<int>(aLow, aHigh)(myRandom); }

    private:
        template <std::size_t COUNT>
        void AddButtons(Platform::GamepadState& aPad, const std::pair<std::uint16_t, double> (&someButtons)[COUNT])
        {
            for (const auto& [mask, chance] : someButtons)
            {
                aPad.myButtons = static_cast<std::uint16_t>(aPad.myButtons | (Chance(chance) ? mask : 0));
            }
        }

        template <std::size_t COUNT>
        void AddKeys(Action& anAction, const std::pair<int, double> (&someKeys)[COUNT])
        {
            for (const auto& [key, chance] : someKeys)
            {
                if (Chance(chance))
                {
                    anAction.myKeys.insert(key);
                }
            }
        }

        std::int16_t Stick(double aFullPositive, double aFullNegative)
        {
            const double roll = std::uniform_real_distribution<double>(0.0, 1.0)(myRandom);
            if (roll < aFullPositive)
            {
                return 32767;
            }
            if (roll < aFullPositive + aFullNegative)
            {
                return -32768;
            }
            return roll < aFullPositive + aFullNegative + 0.1 ? static_cast<std::int16_t>(Between(-32768, 32767)) : 0;
        }

        std::mt19937_64 myRandom;
    };

    SDL_Keycode SdlKeyOf(int aKey)
    {
        switch (aKey)
        {
        case Platform::VK_LEFT: return SDLK_LEFT;
        case Platform::VK_RIGHT: return SDLK_RIGHT;
        case Platform::VK_UP: return SDLK_UP;
        case Platform::VK_DOWN: return SDLK_DOWN;
        case Platform::VK_SPACE: return SDLK_SPACE;
        case Platform::VK_RETURN: return SDLK_RETURN;
        case Platform::VK_ESCAPE: return SDLK_ESCAPE;
        default: return SDLK_a + (aKey - 'A');
        }
    }

    // The game as the executable runs it: window messages reach the program's own input
    // handler through its message handler, pads come through SDL.
    class GameSoak : public ContentGameTest
    {
    protected:
        void ConfigureEngine(Vra::EngineConfiguration& aConfiguration) override { aConfiguration.myMessageCallback = &HandleWindowMessage; }

        void TearDown() override
        {
            myRunner.reset();
            mySoakWorld.reset();
            ContentGameTest::TearDown();
        }

        void NewGame()
        {
            myRunner.reset();
            mySoakWorld = std::make_unique<GameWorld>();
            mySoakWorld->InitMainMenu(GetInputHandler());
            myRunner = std::make_unique<TrackRunner>(*mySoakWorld, GetInputHandler());
        }

        // Keys go down and up as SDL events to the game's window; the message pump of the
        // engine's next begin-frame turns them into window messages.
        void PressKeys(const std::set<int>& someKeys)
        {
            SDL_Window* window = static_cast<SDL_Window*>(*Vra::Engine::GetInstance()->GetConfiguration().myWindowHandle);
            const auto send = [window](int aKey, bool anIsDown) {
                SDL_Event event{};
                event.type = anIsDown ? SDL_KEYDOWN : SDL_KEYUP;
                event.key.windowID = SDL_GetWindowID(window);
                event.key.state = anIsDown ? SDL_PRESSED : SDL_RELEASED;
                event.key.keysym.sym = SdlKeyOf(aKey);
                event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
                SDL_PushEvent(&event);
            };
            for (int key : myHeldKeys)
            {
                if (!someKeys.contains(key))
                {
                    send(key, false);
                }
            }
            for (int key : someKeys)
            {
                if (!myHeldKeys.contains(key))
                {
                    send(key, true);
                }
            }
            myHeldKeys = someKeys;
        }

        template <typename Screen>
        Screen* Top() const
        {
            return dynamic_cast<Screen*>(myRunner->TopScreen());
        }

        // Frames without keys until aCondition holds; false (and a failure naming aWhat) when it
        // does not within aMostFrames.
        bool Until(const std::function<bool()>& aCondition, const std::string& aWhat, int aMostFrames = 1200)
        {
            PressKeys({});
            for (int frame = 0; frame < aMostFrames && !aCondition(); ++frame)
            {
                if (!myRunner->Frame())
                {
                    break;
                }
            }
            if (!aCondition())
            {
                ADD_FAILURE() << "the tour expected " << aWhat << myRunner->Where();
                return false;
            }
            return true;
        }

        // A key pressed for two frames and let go for ten.
        void Tap(int aKey)
        {
            PressKeys({ aKey });
            myRunner->Frame();
            myRunner->Frame();
            PressKeys({});
            for (int frame = 0; frame < 10; ++frame)
            {
                myRunner->Frame();
            }
        }

        // Down until the menu on top selects anIndex.
        template <typename Screen>
        bool Select(int anIndex)
        {
            for (int press = 0; press < 8 && Top<Screen>() != nullptr && Top<Screen>()->GetSelectedIndex() != anIndex; ++press)
            {
                Tap(Platform::VK_DOWN);
            }
            return Until([this, anIndex] { return Top<Screen>() != nullptr && Top<Screen>()->GetSelectedIndex() == anIndex; }, "a selection");
        }

        // From a level, through its pause menu, to the main menu's buttons.
        bool QuitToMainMenu()
        {
            if (!Until([this] { return !myRunner->TopLevel()->GetPlayer()->IsInCutscene() && !Transition::GetInstance()->IsSweeping(); },
                       "the level to be under the player's control"))
            {
                return false;
            }
            Tap(Platform::VK_ESCAPE);
            if (!Until([this] { return Top<PauseState>() != nullptr; }, "the pause menu") || !Select<PauseState>(PauseState::QuitToMenu))
            {
                return false;
            }
            Tap(Platform::VK_RETURN);
            if (!Until([this] { return Top<MainMenuState>() != nullptr || Top<LevelSelectState>() != nullptr; }, "a menu", 600))
            {
                return false;
            }
            if (Top<LevelSelectState>() != nullptr)
            {
                if (!Select<LevelSelectState>(LevelSelectState::BACK_INDEX))
                {
                    return false;
                }
                Tap(Platform::VK_RETURN);
            }
            return Until([this] { return Top<MainMenuState>() != nullptr; }, "the main menu", 600);
        }

        // Every screen and every level once, so that what each costs the first time (textures,
        // sounds, the video decoder) is paid before the memory is watched.
        void Tour()
        {
            ASSERT_TRUE(Until([this] { return Top<MainMenuState>() != nullptr; }, "the main menu"));
            Tap(Platform::VK_ESCAPE);
            ASSERT_TRUE(Until([this] { return Top<MainMenuState>()->GetSplashScreen().IsFinished(); }, "the splash skipped"));

            ASSERT_TRUE(Select<MainMenuState>(MainMenuState::Start));
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return Top<MainMenuState>() != nullptr && Top<MainMenuState>()->IsIntroPlaying(); }, "the intro"));
            for (int frame = 0; frame < 30; ++frame)
            {
                myRunner->Frame();
            }
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return myRunner->TopLevel() != nullptr; }, "the first level"));
            ASSERT_TRUE(QuitToMainMenu());

            for (int level = 0; level < LevelSelectState::LEVEL_COUNT; ++level)
            {
                ASSERT_TRUE(Select<MainMenuState>(MainMenuState::LevelSelect));
                Tap(Platform::VK_RETURN);
                ASSERT_TRUE(Until([this] { return Top<LevelSelectState>() != nullptr; }, "the level select"));
                ASSERT_TRUE(Select<LevelSelectState>(level));
                Tap(Platform::VK_RETURN);
                const std::string path = LevelSelectState::LEVELS[level].myScenePath;
                ASSERT_TRUE(Until([this, path] { return myRunner->TopLevel() != nullptr && myRunner->TopLevel()->GetLevelPath() == path; }, path));
                ASSERT_TRUE(QuitToMainMenu());
            }

            ASSERT_TRUE(Select<MainMenuState>(MainMenuState::Options));
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return Top<OptionsState>() != nullptr; }, "the options"));
            ASSERT_TRUE(Select<OptionsState>(OptionsState::Back));
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return Top<MainMenuState>() != nullptr; }, "the main menu after the options"));

            ASSERT_TRUE(Select<MainMenuState>(MainMenuState::Credits));
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return Top<CreditsState>() != nullptr; }, "the credits"));
            Tap(Platform::VK_RETURN);
            ASSERT_TRUE(Until([this] { return Top<MainMenuState>() != nullptr; }, "the main menu after the credits"));
        }

        std::unique_ptr<GameWorld> mySoakWorld;
        std::unique_ptr<TrackRunner> myRunner;
        std::set<int> myHeldKeys;
    };

    TEST_F(GameSoak, RandomKeysAndPadsAcrossTheMenusAndLevels)
    {
        const long frames = FramesToPlay();
        const std::uint64_t seed = Seed();
        std::cerr << "soak: " << frames << " frames, seed " << seed << " (again: VRA_SOAK_SEED=" << seed << " VRA_SOAK_FRAMES=" << frames
                  << ")" << std::endl;
        RecordProperty("seed", std::to_string(seed));

        long frame = 0;
        OutputTail output;
        const CommonUtilities::AssertionHandler oldHandler =
            CommonUtilities::SetAssertionHandler([&](const CommonUtilities::AssertionInfo& anInfo) {
                std::cerr << "soak: assertion \"" << anInfo.myExpression << "\" (" << anInfo.myFile << ":" << anInfo.myLine << ") at frame "
                          << frame << " (0: in the tour), seed " << seed << "\nlast output:\n"
                          << output.LastLines() << std::endl;
            });

        RandomPlayer player(seed);
        std::array<std::unique_ptr<VirtualPad>, 2> pads;
        pads[0] = std::make_unique<VirtualPad>();
        NewGame();
        Tour();
        if (HasFatalFailure())
        {
            return;
        }
        frame = myRunner->GetFrameCount();
        std::cerr << "soak: the tour of every screen and level took " << frame << " frames" << std::endl;

        std::vector<std::size_t> resident;
        // Where resident memory rose by more than JUMP_BYTES between two readings.
        std::vector<std::string> jumps;
        std::map<std::string, long> framesOnTop;
        std::map<std::string, double> secondsOnTop;
        std::map<std::string, int> levelsEntered;
        int restarts = 0;
        int deaths = 0;
        int plugs = 0;
        LevelState* lastLevel = nullptr;
        bool wasDead = false;
        const auto start = std::chrono::steady_clock::now();
        while (frame < frames)
        {
            SceneState* const top = myRunner->TopScreen();
            const auto* const menu = dynamic_cast<const MainMenuState*>(top);
            const auto* const options = dynamic_cast<const OptionsState*>(top);
            Place place = Place::Menu;
            if (myRunner->TopLevel() != nullptr)
            {
                place = Place::Level;
            }
            else if (menu != nullptr && menu->GetSelectedIndex() == MainMenuState::Exit)
            {
                place = Place::MenuOnExit;
            }
            else if (options != nullptr && options->GetSelectedIndex() == OptionsState::Fullscreen)
            {
                place = Place::MenuOnFullscreen;
            }
            const Action action = player.Next(place);
            if (player.Chance(0.02))
            {
                std::unique_ptr<VirtualPad>& pad = pads[static_cast<std::size_t>(player.Between(0, 1))];
                pad = pad ? nullptr : std::make_unique<VirtualPad>();
                ++plugs;
            }
            PressKeys(action.myKeys);
            for (const std::unique_ptr<VirtualPad>& pad : pads)
            {
                if (pad)
                {
                    pad->Set(action.myUsesPad ? action.myPad : Platform::GamepadState{});
                }
            }
            for (int held = 0; held < action.myFrames && frame < frames; ++held, ++frame)
            {
                const auto frameStart = std::chrono::steady_clock::now();
                SceneState* const before = myRunner->TopScreen();
                const std::string screen = before ? typeid(*before).name() : "none";
                const bool isRunning = myRunner->Frame();
                ++framesOnTop[screen];
                secondsOnTop[screen] += std::chrono::duration<double>(std::chrono::steady_clock::now() - frameStart).count();
                if (!isRunning)
                {
                    // "EXIT" on the main menu, or the last level left with no menu beneath.
                    ++restarts;
                    lastLevel = nullptr;
                    NewGame();
                    continue;
                }
                LevelState* const level = myRunner->TopLevel();
                if (level != nullptr && level != lastLevel)
                {
                    ++levelsEntered[level->GetLevelPath()];
                }
                lastLevel = level != nullptr ? level : lastLevel;
                const bool isDead = level != nullptr && level->GetPlayer() != nullptr && level->GetPlayer()->IsHazardHit();
                deaths += isDead && !wasDead ? 1 : 0;
                wasDead = isDead;
                if (frame % SAMPLE_EVERY == 0)
                {
                    const std::size_t bytes = ResidentBytes();
                    if (!resident.empty() && bytes > resident.back() + JUMP_BYTES)
                    {
                        jumps.push_back("frame " + std::to_string(frame) + ": +" + std::to_string((bytes - resident.back()) / 1048576) + " MiB to " +
                                        std::to_string(bytes / 1048576) + " MiB (" + std::to_string(mallinfo2().uordblks / 1048576) +
                                        " MiB allocated), " + screen + " on top");
                    }
                    resident.push_back(bytes);
                }
            }
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        PressKeys({});
        CommonUtilities::SetAssertionHandler(oldHandler);

        std::cerr << "soak: " << frame << " frames in " << seconds << " s; " << restarts << " new games, " << deaths << " deaths, " << plugs
                  << " pads plugged in or out\n";
        for (const auto& [path, count] : levelsEntered)
        {
            std::cerr << "  entered " << path << " " << count << " times\n";
        }
        for (const auto& [screen, count] : framesOnTop)
        {
            std::cerr << "  " << count << " frames with " << screen << " on top, " << secondsOnTop[screen] << " s\n";
        }
        for (const auto& [line, count] : output.ContentErrors())
        {
            std::cerr << "  printed " << count << " times: " << line << "\n";
        }

        for (const std::string& jump : jumps)
        {
            std::cerr << "  resident memory rose at " << jump << "\n";
        }
        if (resident.size() < 8)
        {
            std::cerr << "soak: too few frames after the tour to watch the memory" << std::endl;
            return;
        }
        const std::size_t quarter = resident.size() / 4;
        const std::size_t firstPeak = *std::max_element(resident.begin(), resident.begin() + static_cast<std::ptrdiff_t>(quarter));
        const std::size_t lastPeak = *std::max_element(resident.end() - static_cast<std::ptrdiff_t>(quarter), resident.end());
        const auto mean = [](auto aBegin, auto anEnd) { return static_cast<double>(std::accumulate(aBegin, anEnd, std::size_t{ 0 })) / static_cast<double>(anEnd - aBegin); };
        const double firstMean = mean(resident.begin(), resident.begin() + static_cast<std::ptrdiff_t>(quarter));
        const double lastMean = mean(resident.end() - static_cast<std::ptrdiff_t>(quarter), resident.end());
        std::cerr << "soak: resident memory after the tour: first quarter peak " << firstPeak / 1048576.0 << " MiB (mean "
                  << firstMean / 1048576.0 << "), last quarter peak " << lastPeak / 1048576.0 << " MiB (mean " << lastMean / 1048576.0
                  << ")" << std::endl;
        std::cerr << "soak: resident MiB by sixteenths:";
        for (std::size_t part = 0; part < 16; ++part)
        {
            const auto begin = resident.begin() + static_cast<std::ptrdiff_t>(resident.size() * part / 16);
            const auto end = resident.begin() + static_cast<std::ptrdiff_t>(resident.size() * (part + 1) / 16);
            std::cerr << " " << (begin == end ? 0 : *std::max_element(begin, end) / 1048576);
        }
        std::cerr << std::endl;
        // A short run still meets screens and effects for the first time after the tour: what its
        // memory does says something only over a long one.
        if (frame >= LONG_RUN_FRAMES)
        {
            EXPECT_LE(static_cast<double>(lastPeak), static_cast<double>(firstPeak) * (1.0 + MOST_GROWTH))
                << "resident memory grew; seed " << seed;
        }
    }
}
