#pragma once
#include <functional>
#include <future>
#include <memory>
#include <string>

class SceneState;
class SceneStateStack;

// Makes the screen a menu loads a level into: the game's LevelState, or a test's own.
using LevelMaker = std::function<std::unique_ptr<SceneState>(SceneStateStack&)>;

// A maker of LevelState screens.
LevelMaker MakeLevelState();

// One level loading on a task of its own while a menu keeps running. The menu asks once a frame
// whether it is done and never waits for it.
class LevelLoading
{
public:
    LevelLoading() = default;
    // A running load is waited for before its level goes.
    ~LevelLoading();
    LevelLoading(const LevelLoading&) = delete;
    LevelLoading& operator=(const LevelLoading&) = delete;

    // Runs aLevel's LoadScene(aScenePath) on a new thread (never deferred to the thread that
    // takes the result), dropping a level held from before.
    void Start(std::unique_ptr<SceneState> aLevel, const std::string& aScenePath);
    // Started and its result not taken yet.
    bool IsLoading() const { return myLoadingFuture.valid(); }
    // Started and finished: TakeLevel will not wait.
    bool IsReady() const;
    // The level when its scene loaded. When it did not, or the load threw, the level is deleted
    // (a throw is reported as "Failed to load scene: " with the path and the reason) and null
    // comes back. Only once IsReady.
    std::unique_ptr<SceneState> TakeLevel();

    const std::string& GetScenePath() const { return myScenePath; }

private:
    // The future goes first: its destruction waits for the task that still uses the level.
    std::unique_ptr<SceneState> myLoadingLevel;
    std::future<bool> myLoadingFuture;
    std::string myScenePath;
};
