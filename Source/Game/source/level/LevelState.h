#pragma once
#include "effects/EffectStack.h"
#include "level/BlackBars.h"
#include "level/LevelEcho.h"
#include "level/ParallaxLayers.h"
#include "level/SnowfallVfx.h"
#include "level/VfxBlock.h"
#include "shell/SceneState.h"

#include "model/ModelInstance.h"

#include "Vector3.h"

#include <future>
#include <memory>
#include <string>
#include <vector>

class AbilityPickup;
class CameraController;
class CollisionSet;
class IcicleSystem;
class Player;
class PogoPad;
class TriggeredEvent;
struct Checkpoint;

namespace Vra
{
    class Camera;
    class ObjectDefinitionManager;
    class SceneObject;
    struct PropertyDefinition;
}

// The screen that plays one level: it owns the bird, the camera and its controller, the
// collision boxes, checkpoints, pads, pickups and icicles, the scripted events, the parallax
// layers, bars, snow and the post passes. LoadScene (the level loader) fills it from a scene
// folder, on a loading task or, for a restart or a death, on the main thread. While it runs it
// preloads the following level on a task and hands it to the stack when the bird reaches the exit.
class LevelState : public SceneState
{
public:
    static constexpr const char* LAST_LEVEL = "LAST LEVEL";
    static constexpr float LOOK_HOLD_TIME = 0.5f;
    static constexpr float LOOK_OFFSET = 200.0f;
    static constexpr float LOOK_AHEAD = 100.0f;
    static constexpr float AIRBORNE_DROP = 100.0f;
    static constexpr float CAMERA_RAISE = 100.0f;
    static constexpr float CAMERA_Z = -1000.0f;
    static constexpr float VIEW_WIDTH = 1600.0f;
    static constexpr float VIEW_HEIGHT = 900.0f;
    static constexpr float VIEW_DEPTH = 2000.0f;
    static constexpr float PIXEL_SIZE = 6.0f;
    static constexpr int CHECKPOINT_LAST_FRAME = 15;

    explicit LevelState(SceneStateStack& aSceneStateStack);
    ~LevelState() override;

    // Always true.
    bool OnInit() override;
    // The level loader: true when the scene loaded; false, after "Failed to load scene: " with
    // the path and the reason, when its folder is missing, it has no player, or its files cannot
    // be read.
    bool LoadScene(const std::string& aScenePath) override;
    // Always true: the level is replaced or popped, it never ends itself.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& anInput) override;
    void Render() override;
    CameraController* GetCameraController() override;

    // Reloads the level's scene (the pause menu's reset).
    void Restart();
    // The bird touched, or left, a trigger box of that order.
    void EnterTrigger(int anOrder);
    void ExitTrigger(int anOrder);

    const std::shared_ptr<Vra::Camera>& GetCamera() const { return myCamera; }
    Player* GetPlayer() const { return myPlayer.get(); }
    CollisionSet* GetCollisionSet() const { return myCollisionSet.get(); }
    IcicleSystem* GetIcicleSystem() const { return myIcicleSystem.get(); }
    const std::vector<std::shared_ptr<TriggeredEvent>>& GetEvents() const { return myEvents; }
    const std::shared_ptr<TriggeredEvent>& GetExitEvent() const { return myExitEvent; }
    const std::vector<LevelEcho>& GetLevelEchoes() const { return myLevelEchoes; }
    const std::vector<VfxBlock>& GetVfxBlocks() const { return myVfxBlocks; }
    const BlackBars& GetBlackBars() const { return myBlackBars; }
    const ParallaxLayers& GetParallaxLayers() const { return myParallaxLayers; }
    ParallaxLayers& GetParallaxLayers() { return myParallaxLayers; }
    const SnowfallVfx& GetSnow() const { return mySnow; }
    const SnowfallVfx& GetCaveParticles() const { return myCaveParticles; }
    const EffectStack& GetEffectStack() const { return myEffectStack; }
    const std::vector<Vra::ModelInstance>& GetDebugModels() const { return myDebugModels; }
    const std::vector<Checkpoint>& GetCheckpoints() const { return myCheckpoints; }
    std::vector<Checkpoint>& GetCheckpoints() { return myCheckpoints; }
    const std::vector<PogoPad>& GetPogoPads() const { return myPogoPads; }
    const std::vector<AbilityPickup>& GetAbilityPickups() const { return myAbilityPickups; }
    const std::string& GetLevelPath() const { return myLevelPath; }
    const std::string& GetNextLevelPath() const { return myNextLevelPath; }
    // The preloaded following level, while this level holds it.
    const LevelState* GetNextLevel() const { return myNextLevel.get(); }
    bool IsPreloading() const { return myNextLevelFuture.valid(); }
    bool IsRestartArmed() const { return myRestartArmed; }
    bool IsDrawingDebugModels() const { return myDrawDebugModels; }
    float GetLookUpTimer() const { return myLookUpTimer; }
    float GetLookDownTimer() const { return myLookDownTimer; }
    // Where the camera was asked to go in the last update.
    const CommonUtilities::Vector3f& GetCameraTarget() const { return myCameraTarget; }

private:
    struct LoadLists;

    bool LoadSceneFrom(const std::string& aScenePath);
    void PrepareEvents();
    void PrepareLoad();
    void LoadObject(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions, LoadLists& someLists);
    void LoadCameraSettings(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties);
    void LoadGeneralObject(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties,
                           LoadLists& someLists);
    void LoadModelProperty(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties,
                           const Vra::PropertyDefinition& aProperty, LoadLists& someLists);
    void LoadPlayer(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties);
    void LoadEvent(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties);
    void LoadTrigger(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties, LoadLists& someLists);
    void CompleteLoad(const std::string& aScenePath, LoadLists& someLists);
    void BuildCheckpoint(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions);
    void BuildPogoPad(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions);
    void BuildAbilityPickup(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions);

    void StartPreload();
    void StartPadSounds();
    void UpdateCamera(float aDeltaTime, CommonUtilities::InputHandler& anInput);
    // False when a reload failed and the level was given up.
    bool UpdateDeath();
    bool Reload(const std::string& aReason);
    void UpdateExit();
    void UpdatePause(CommonUtilities::InputHandler& anInput);
    void UpdateCheckpointSheets(float aDeltaTime);
    void ReturnToMainMenu(const std::string& aReason);

    std::vector<std::shared_ptr<TriggeredEvent>> myEvents;
    std::shared_ptr<TriggeredEvent> myExitEvent;
    std::vector<LevelEcho> myLevelEchoes;
    std::vector<VfxBlock> myVfxBlocks;
    BlackBars myBlackBars;
    std::string myNextLevelPath;
    std::unique_ptr<LevelState> myNextLevel;
    std::future<bool> myNextLevelFuture;
    std::vector<Vra::ModelInstance> myDebugModels;
    ParallaxLayers myParallaxLayers;
    std::shared_ptr<Vra::Camera> myCamera;
    float myLookUpTimer = 0.0f;
    float myLookDownTimer = 0.0f;
    float myLookHoldTime = LOOK_HOLD_TIME;
    std::string myLevelPath;
    std::vector<Checkpoint> myCheckpoints;
    std::vector<PogoPad> myPogoPads;
    std::vector<AbilityPickup> myAbilityPickups;
    bool myRestartArmed = true;
    std::unique_ptr<IcicleSystem> myIcicleSystem;
    std::unique_ptr<CollisionSet> myCollisionSet;
    std::unique_ptr<CameraController> myCameraController;
    std::unique_ptr<Player> myPlayer;
    bool myDrawDebugModels = true;
    EffectStack myEffectStack;
    SnowfallVfx mySnow;
    SnowfallVfx myCaveParticles;

    CommonUtilities::Vector3f myCameraTarget;
    // The exit fired and there was nothing to hand over: the level stops asking.
    bool myHasGivenUpExit = false;
    // The bird was placed by a load before: later loads respawn it.
    bool myHasInitialisedPlayer = false;
    // A reload failed part-way: the level waits, inert, to be popped or replaced.
    bool myIsAbandoned = false;
    // Beetles built on a loading task start their idle sound on the main thread.
    bool myArePadSoundsPending = false;
    // Only a level that started its effect blocks ends the looping effects when it goes.
    bool myHasSpawnedVfxBlocks = false;
};
