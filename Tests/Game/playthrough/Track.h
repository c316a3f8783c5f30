#pragma once
#include "level/LevelState.h"
#include "objects/Checkpoint.h"
#include "overlays/Transition.h"
#include "player/CameraController.h"
#include "player/Player.h"
#include "screens/MainMenuState.h"
#include "shell/GameWorld.h"
#include "shell/SceneState.h"

#include "Engine.h"
#include "engine/StepTimer.h"
#include "InputHandler.h"
#include "input/Gamepad.h"
#include "window/WindowMessages.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

// An input track: one step a line, "<frames> [keys] [until <condition>]". A step holds its keys
// for that many frames: key names as in KeyNames, and "PadA", "PadX", "PadRB", ..., "StickLeft",
// "StickRight" for the first gamepad (answered through the gamepad state source). A key held
// across steps stays down; leave it out of one step to press it again. With "until", the frame
// count is the most the step may take: it ends on the first frame after which the condition
// holds, and the track fails if it never does; "0 until ..." checks the condition at once.
// Conditions: "level <scene path>" (the top screen plays that level), "menu" (the top screen is
// the main menu), "ended" (the screens have ended), "dead", "alive", "checkpoint" (the level's
// checkpoint is reached), "grounded", "x> <n>", "x< <n>", "y> <n>", "y< <n>" (the bird).
// "include <file>" plays another track of the same folder at that point; "#" starts a comment.
// For pictures: "shot <name>" hands the next frame's finished picture (before it is presented) to
// the runner's shot handler, and "place <x> <y>" puts the bird there at rest, with the camera on it.
namespace ContentGame
{
    struct TrackStep
    {
        int myFrames = 0;
        std::set<int> myKeys;
        // The first gamepad: buttons held and the left stick's x.
        std::uint16_t myPadButtons = 0;
        std::int16_t myStickX = 0;
        std::vector<std::string> myCondition;
        std::string mySource;
        // "shot <name>": the picture to take; "place <x> <y>": where the bird goes.
        std::string myShot;
        std::vector<float> myPlace;
    };

    inline const std::map<std::string, int>& KeyNames()
    {
        static const std::map<std::string, int> names{ { "Left", 0x25 }, { "Up", 0x26 }, { "Right", 0x27 }, { "Down", 0x28 },
                                                       { "Z", 'Z' },     { "X", 'X' },  { "C", 'C' },      { "Space", 0x20 },
                                                       { "Escape", 0x1B }, { "Enter", 0x0D } };
        return names;
    }

    inline const std::map<std::string, std::uint16_t>& PadButtonNames()
    {
        static const std::map<std::string, std::uint16_t> names{ { "PadA", Platform::GAMEPAD_A },         { "PadB", Platform::GAMEPAD_B },
                                                                 { "PadX", Platform::GAMEPAD_X },         { "PadY", Platform::GAMEPAD_Y },
                                                                 { "PadRB", Platform::GAMEPAD_RIGHT_SHOULDER }, { "PadStart", Platform::GAMEPAD_START } };
        return names;
    }

    // The steps of the track file; an unreadable line is an error naming file and line.
    inline std::vector<TrackStep> ReadTrack(const std::filesystem::path& aFile, std::string& anError)
    {
        std::vector<TrackStep> steps;
        std::ifstream file(aFile);
        if (!file)
        {
            anError = "cannot open " + aFile.string();
            return steps;
        }
        int number = 0;
        for (std::string line; std::getline(file, line);)
        {
            ++number;
            const std::string where = aFile.filename().string() + ":" + std::to_string(number);
            std::istringstream words(line.substr(0, line.find('#')));
            std::string word;
            if (!(words >> word))
            {
                continue;
            }
            if (word == "include")
            {
                std::string included;
                if (!(words >> included))
                {
                    anError = where + ": \"include\" names a track";
                    return {};
                }
                const std::vector<TrackStep> more = ReadTrack(aFile.parent_path() / included, anError);
                if (!anError.empty())
                {
                    return {};
                }
                steps.insert(steps.end(), more.begin(), more.end());
                continue;
            }
            if (word == "shot" || word == "place")
            {
                TrackStep step;
                step.mySource = where + ": " + line;
                if (word == "shot" && !(words >> step.myShot))
                {
                    anError = where + ": \"shot\" names its picture";
                    return {};
                }
                float x = 0.0f;
                float y = 0.0f;
                if (word == "place")
                {
                    if (!(words >> x >> y))
                    {
                        anError = where + ": \"place\" takes x and y";
                        return {};
                    }
                    step.myPlace = { x, y };
                }
                steps.push_back(step);
                continue;
            }
            TrackStep step;
            step.mySource = where + ": " + line;
            char* end = nullptr;
            step.myFrames = static_cast<int>(std::strtol(word.c_str(), &end, 10));
            if (*end != '\0' || step.myFrames < 0)
            {
                anError = where + ": a step starts with its frame count";
                return {};
            }
            bool isCondition = false;
            while (words >> word)
            {
                if (isCondition)
                {
                    step.myCondition.push_back(word);
                }
                else if (word == "until")
                {
                    isCondition = true;
                }
                else if (const auto key = KeyNames().find(word); key != KeyNames().end())
                {
                    step.myKeys.insert(key->second);
                }
                else if (const auto button = PadButtonNames().find(word); button != PadButtonNames().end())
                {
                    step.myPadButtons = static_cast<std::uint16_t>(step.myPadButtons | button->second);
                }
                else if (word == "StickLeft" || word == "StickRight")
                {
                    step.myStickX = word == "StickLeft" ? -32767 : 32767;
                }
                else
                {
                    anError = where + ": unknown key " + word;
                    return {};
                }
            }
            static const std::set<std::string> conditions{ "level", "menu", "ended", "dead", "alive", "checkpoint",
                                                           "grounded", "x>", "x<", "y>", "y<" };
            if (isCondition && (step.myCondition.empty() || !conditions.contains(step.myCondition[0])))
            {
                anError = where + ": \"until\" needs a known condition";
                return {};
            }
            steps.push_back(step);
        }
        return steps;
    }

    inline std::filesystem::path TrackFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const std::filesystem::path here = source ? std::filesystem::path(source) / "Tests" / "Game" / "playthrough"
                                                  : std::filesystem::path(__FILE__).parent_path();
        return here / "tracks";
    }
    inline constexpr float FRAME_TIME = 1.0f / 60.0f;

    // Plays tracks into a game object the way the main loop runs it, with a fixed frame time.
    class TrackRunner
    {
    public:
        // The engine's clock (which the prompt boxes, the speedrun timer and the icicles read)
        // advances by the same fixed frame time as the game, however long a frame really takes.
        TrackRunner(GameWorld& aWorld, CommonUtilities::InputHandler& anInput) : myWorld(aWorld), myInput(anInput)
        {
            theEngineClock = Vra::StepTimer::ReadCounter();
            Vra::StepTimer::SetCounterSource([] { return theEngineClock.load(); });
        }
        ~TrackRunner()
        {
            Vra::StepTimer::SetCounterSource(nullptr);
            Platform::SetGamepadStateSource({});
        }
        TrackRunner(const TrackRunner&) = delete;
        TrackRunner& operator=(const TrackRunner&) = delete;

        // Where the first pad's state goes. Unset, the runner answers the gamepad layer itself;
        // set, each change goes to a pad that the layer reads (one that SDL reports), from the
        // next step on.
        using PadOutput = std::function<void(const Platform::GamepadState&)>;
        void SetPadOutput(PadOutput anOutput)
        {
            myPadOutput = std::move(anOutput);
            myIsPadSet = false;
        }

        // The first pad as the step holds it; a new packet number whenever its state changes.
        void SetPad(std::uint16_t someButtons, std::int16_t aStickX)
        {
            if (someButtons == myPad.myGamepad.myButtons && aStickX == myPad.myGamepad.myThumbLeftX && myIsPadSet)
            {
                return;
            }
            myPad.myGamepad.myButtons = someButtons;
            myPad.myGamepad.myThumbLeftX = aStickX;
            ++myPad.myPacketNumber;
            if (myPadOutput)
            {
                myIsPadSet = true;
                myPadOutput(myPad.myGamepad);
            }
            else if (!myIsPadSet)
            {
                myIsPadSet = true;
                Platform::SetGamepadStateSource([this](std::uint32_t aUser, Platform::GamepadInputState& aState) {
                    if (aUser != 0)
                    {
                        return false;
                    }
                    aState = myPad;
                    return true;
                });
            }
        }

        // Keys go in as the window delivers them: a message when one goes down or comes up.
        void SetKeys(const std::set<int>& someKeys)
        {
            for (int key : myHeldKeys)
            {
                if (!someKeys.contains(key))
                {
                    myInput.HandleMessage(Platform::WM_KEYUP, static_cast<Platform::WParam>(key), 0);
                }
            }
            for (int key : someKeys)
            {
                if (!myHeldKeys.contains(key))
                {
                    myInput.HandleMessage(Platform::WM_KEYDOWN, static_cast<Platform::WParam>(key), 0);
                }
            }
            myHeldKeys = someKeys;
        }

        // One frame of the main loop; false once the screens have ended. The update and the
        // render submission are timed, the present is not: in wall time, and in this thread's
        // CPU time (without the software rasteriser's own threads).
        bool Frame()
        {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = ThreadCpuSeconds();
            myInput.Update();
            if (!myWorld.Update(FRAME_TIME, myInput))
            {
                return false;
            }
            myWorld.Render();
            Transition& transition = *Transition::GetInstance();
            transition.Update(FRAME_TIME);
            transition.Render();
            myMeasuredSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            myMeasuredCpuSeconds += ThreadCpuSeconds() - cpuStart;
            ++myFrameCount;
            if (!myPendingShot.empty())
            {
                // The picture as the frame leaves it, before it is presented.
                if (myShotHandler)
                {
                    myShotHandler(myPendingShot);
                }
                myPendingShot.clear();
            }
            Vra::Engine& engine = *Vra::Engine::GetInstance();
            theEngineClock += static_cast<std::int64_t>(FRAME_TIME * 1e9);
            engine.EndFrame();
            const bool isRunning = engine.BeginFrame();
            myWholeFrameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            return isRunning;
        }

        // Plays the steps; the first step whose condition fails ends it. Empty on success, else
        // the step, the frame and where the bird was.
        std::string Play(const std::vector<TrackStep>& someSteps, bool anIsTracing = false)
        {
            for (const TrackStep& step : someSteps)
            {
                if (!step.myShot.empty())
                {
                    myPendingShot = step.myShot;
                    if (!Frame())
                    {
                        return step.mySource + ": the screens ended at frame " + std::to_string(myFrameCount);
                    }
                    continue;
                }
                if (!step.myPlace.empty())
                {
                    if (!Place(step.myPlace[0], step.myPlace[1]))
                    {
                        return step.mySource + ": no bird to place" + Where();
                    }
                    continue;
                }
                SetKeys(step.myKeys);
                if (step.myPadButtons != 0 || step.myStickX != 0 || myIsPadSet)
                {
                    SetPad(step.myPadButtons, step.myStickX);
                }
                const bool hasCondition = !step.myCondition.empty();
                bool isMet = !hasCondition || (step.myFrames == 0 && Holds(step.myCondition));
                for (int frame = 0; frame < step.myFrames; ++frame)
                {
                    if (!Frame())
                    {
                        if (hasCondition && step.myCondition[0] == "ended")
                        {
                            isMet = true;
                            break;
                        }
                        return step.mySource + ": the screens ended at frame " + std::to_string(myFrameCount);
                    }
                    if (hasCondition && Holds(step.myCondition))
                    {
                        isMet = true;
                        break;
                    }
                }
                if (anIsTracing)
                {
                    std::cerr << step.mySource << " -> frame " << myFrameCount << Where() << std::endl;
                }
                if (!isMet)
                {
                    return step.mySource + ": not met by frame " + std::to_string(myFrameCount) + Where();
                }
            }
            SetKeys({});
            if (myIsPadSet)
            {
                SetPad(0, 0);
            }
            return {};
        }

        // Called with the name of each "shot" step while the frame's finished picture is in the back buffer.
        void SetShotHandler(std::function<void(const std::string&)> aHandler) { myShotHandler = std::move(aHandler); }

        // The bird at rest at (x, y) and the camera where it would settle on it.
        bool Place(float anX, float aY)
        {
            LevelState* const level = TopLevel();
            Player* const bird = level ? level->GetPlayer() : nullptr;
            if (!bird)
            {
                return false;
            }
            bird->SetPosition({ anX, aY, bird->GetPosition().z });
            bird->SetVelocity({ 0.0f, 0.0f, 0.0f });
            if (CameraController* const camera = level->GetCameraController())
            {
                camera->SetPosition({ anX + 100.0f, aY + 100.0f, -1000.0f });
            }
            return true;
        }

        SceneState* TopScreen() const { return myWorld.GetSceneStateStack().GetTopState(); }
        LevelState* TopLevel() const { return dynamic_cast<LevelState*>(TopScreen()); }
        long GetFrameCount() const { return myFrameCount; }
        double GetMeasuredSeconds() const { return myMeasuredSeconds; }
        double GetMeasuredCpuSeconds() const { return myMeasuredCpuSeconds; }
        // Whole frames: the above, the present and the next frame's begin.
        double GetWholeFrameSeconds() const { return myWholeFrameSeconds; }

        // Where the bird is, for a failing step.
        std::string Where() const
        {
            std::ostringstream text;
            LevelState* const level = TopLevel();
            if (level && level->GetPlayer())
            {
                const CommonUtilities::Vector3f& position = level->GetPlayer()->GetPosition();
                text << " (" << level->GetLevelPath() << ", bird at " << position.x << ", " << position.y
                     << (level->GetPlayer()->IsGrounded() ? ", grounded" : "") << ")";
            }
            else if (SceneState* const top = TopScreen())
            {
                text << " (" << typeid(*top).name() << " on top)";
            }
            return text.str();
        }

        bool Holds(const std::vector<std::string>& aCondition) const
        {
            const std::string& what = aCondition[0];
            LevelState* const level = TopLevel();
            if (what == "menu")
            {
                return dynamic_cast<MainMenuState*>(TopScreen()) != nullptr;
            }
            if (what == "level")
            {
                return level && aCondition.size() > 1 && level->GetLevelPath() == aCondition[1];
            }
            Player* const bird = level ? level->GetPlayer() : nullptr;
            if (!bird)
            {
                return false;
            }
            if (what == "dead" || what == "alive")
            {
                return bird->IsHazardHit() == (what == "dead");
            }
            if (what == "grounded")
            {
                return bird->IsGrounded();
            }
            if (what == "checkpoint")
            {
                return !level->GetCheckpoints().empty() && level->GetCheckpoints().front().myIsReached;
            }
            const float value = aCondition.size() > 1 ? std::strtof(aCondition[1].c_str(), nullptr) : 0.0f;
            const CommonUtilities::Vector3f& position = bird->GetPosition();
            if (what == "x>") return position.x > value;
            if (what == "x<") return position.x < value;
            if (what == "y>") return position.y > value;
            if (what == "y<") return position.y < value;
            return false;
        }

    private:
        static double ThreadCpuSeconds()
        {
            timespec now{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
            return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
        }

        GameWorld& myWorld;
        CommonUtilities::InputHandler& myInput;
        std::set<int> myHeldKeys;
        PadOutput myPadOutput;
        Platform::GamepadInputState myPad;
        bool myIsPadSet = false;
        long myFrameCount = 0;
        std::string myPendingShot;
        std::function<void(const std::string&)> myShotHandler;
        double myMeasuredSeconds = 0.0;
        double myMeasuredCpuSeconds = 0.0;
        double myWholeFrameSeconds = 0.0;
        static inline std::atomic<std::int64_t> theEngineClock{ 0 };
    };
}
