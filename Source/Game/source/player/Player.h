#pragma once
#include "effects/AnimatedObject.h"
#include "effects/TransformNode.h"
#include "player/Box.h"
#include "player/EventTrigger.h"
#include "player/Feather.h"
#include "player/PlayerTuning.h"
#include "player/Sphere.h"

#include "Vector3.h"
#include "drawers/SpriteInstanceData.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace CommonUtilities
{
    class InputHandler;
}

namespace Vra
{
    class TextureResource;
}

class AbilityPickup;
class CollisionSet;
class FoxAttackEvent;
class LevelState;
class PlayerState;
class PogoPad;
struct Checkpoint;

// The bird that the user steers. It holds the physics values, the input buffers, the collision
// results and the abilities; what it does with them each frame is decided by its current
// PlayerState. The level creates it, hands it the level's boxes and objects, updates and draws it.
class Player
{
public:
    static constexpr const char* MODEL_PATH = "animation/Bird/SK_bird.fbx";
    static constexpr const char* MODEL_TEXTURE = "textures/Character/SM_Bird_T_C.dds";
    static constexpr float MODEL_SCALE = 0.8f;
    static constexpr const char* CLIP_FOLDER = "animation/Bird/";
    static constexpr const char* FEATHER_TEXTURE = "Sprites/S_UI_Feather.dds";
    static constexpr float SPHERE_HEIGHT = 40.0f;
    static constexpr float SPHERE_RADIUS = 40.0f;
    // The bird always stands in this depth plane.
    static constexpr float DEPTH = 50.0f;
    // Walls left of this x never hold the bird (the level's left edge).
    static constexpr float WALL_MIN_X = 50.0f;
    // Angles of contact normals closer than this count as one contact.
    static constexpr float SAME_NORMAL_ANGLE = 0.5f;
    // Movement, collision and every state's timers advance in steps of exactly this, so that the
    // same keys give the same path at any frame time, and a long frame cannot carry the sphere
    // through a floor or a wall.
    static constexpr float STEP = 1.0f / 240.0f;
    // A longer frame (a stall, a debugger pause) moves the bird this far in time only, so that
    // the number of steps stays bounded.
    static constexpr float MAX_FRAME_TIME = 1.0f;
    static constexpr float DEATH_FEATHERS = 25.0f;
    static constexpr float PICKUP_FEATHERS = 25.0f;
    static constexpr int POWER_UP_CUTSCENE = 3;

    // The tutorial prompts that the matching action dismisses.
    enum class Prompt : int
    {
        Jump,
        Dash,
        Pogo,
        WallJump,
        DoubleJump,
        Squawk,
        Count
    };

    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loads the bird and its clips, starts idle at aStartPosition with the given abilities.
    void Init(LevelState& aLevel, const CommonUtilities::Vector3f& aStartPosition, bool aStartWithDash, bool aStartWithWallJump,
              bool aStartWithDoubleJump);
    void SetCollisionSet(CollisionSet* aCollisionSet) { myCollisionSet = aCollisionSet; }
    void SetTrapBoxes(const std::vector<Box>& someBoxes) { myTrapBoxes = someBoxes; }
    // Appends one cleared inside bit per trigger.
    void SetEventTriggers(const std::vector<EventTrigger>& someTriggers);
    void AddFoxAttackEvent(std::shared_ptr<FoxAttackEvent> anEvent);
    void ClearFoxAttackEvents();
    // The level's lists; the player reads them and removes collected pickups.
    void SetCheckpoints(std::vector<Checkpoint>* someCheckpoints) { myCheckpoints = someCheckpoints; }
    void SetPogoPads(std::vector<PogoPad>* somePads);
    void SetAbilityPickups(std::vector<AbilityPickup>* somePickups) { myAbilityPickups = somePickups; }
    // Exits and deletes the current state, clears the lists and releases the model.
    void Teardown();

    void Update(float aDeltaTime, CommonUtilities::InputHandler& anInput);
    void Render();
    void RenderFeathers();

    // Physics used by the states.
    void ApplyGravity(float aDeltaTime);
    void StartJump();
    void MoveHorizontal(float aDeltaTime, const CommonUtilities::InputHandler& anInput);
    void ApplyMovement(float aDeltaTime, float aSpeedFactor, float aFallFactor);

    CommonUtilities::Vector3f GetCameraTarget() const;
    float GetMaxSpeed() const { return myTuning.myMaxSpeed; }
    const CommonUtilities::Vector3f& GetVelocity() const { return myVelocity; }
    void SetVelocity(const CommonUtilities::Vector3f& aVelocity) { myVelocity = aVelocity; }
    const CommonUtilities::Vector3f& GetPosition() const { return myPosition; }
    void SetPosition(const CommonUtilities::Vector3f& aPosition) { myPosition = aPosition; }
    const PlayerTuning& GetTuning() const { return myTuning; }
    void HitPogoPad();
    void SetSpeedFactor(bool aSlow) { mySpeedFactor = aSlow ? 0.5f : 1.0f; }
    float GetSpeedFactor() const { return mySpeedFactor; }
    bool HasCoyoteTime() const { return myCoyoteTimer > 0.0f; }
    bool IsFacingLeft() const { return myIsFacingLeft; }
    // Mirrors the model when the facing changes.
    void SetFacing(bool aLeft);

    // Input. A key or button counts as held from the frame it goes down.
    bool IsJumpHeld(const CommonUtilities::InputHandler& anInput) const;
    bool IsLeftHeld(const CommonUtilities::InputHandler& anInput) const;
    bool IsRightHeld(const CommonUtilities::InputHandler& anInput) const;
    // Exactly one of left and right.
    bool HasMoveInput(const CommonUtilities::InputHandler& anInput) const;
    bool IsSquawkPressed(const CommonUtilities::InputHandler& anInput) const;
    bool ConsumeJump();
    bool ConsumePogo();
    // Needs the dash unlocked and available and the cooldown over; otherwise the press stays buffered.
    bool ConsumeDash();

    // Collision results.
    bool IsGrounded() const { return myIsGrounded; }
    bool IsTouchingWall() const { return myIsOnWall; }
    bool IsWallOnLeft() const { return myIsWallOnLeft; }
    bool IsOverPogoPad() const { return myIsPadInReach; }
    PogoPad* GetPadInReach() const { return myIsPadInReach ? myPadInReach : nullptr; }
    bool IsInCutscene() const;
    // The hazard flag: the next update lets the bird die.
    void Kill() { myHasHitHazard = true; }
    bool IsHazardHit() const { return myHasHitHazard; }
    bool IsDead() const { return myIsDead; }
    // The bird's world y the last time it stood on the ground.
    float GetGroundHeight() const { return myGroundHeight; }

    // Abilities.
    void RefillAirActions();
    bool IsDashUnlocked() const { return myIsDashUnlocked; }
    bool IsDoubleJumpUnlocked() const { return myIsDoubleJumpUnlocked; }
    bool IsWallJumpUnlocked() const { return myIsWallJumpUnlocked; }
    bool IsDashAvailable() const { return myIsDashAvailable; }
    bool IsDoubleJumpAvailable() const { return myIsDoubleJumpAvailable; }
    void SetDashAvailable(bool anIsAvailable) { myIsDashAvailable = anIsAvailable; }
    void SetDoubleJumpAvailable(bool anIsAvailable) { myIsDoubleJumpAvailable = anIsAvailable; }
    void StartCoyoteTime() { myCoyoteTimer = myTuning.myCoyoteTime; }
    void StartDashCooldown() { myDashCooldownTimer = myTuning.myDashCooldown; }

    void ShakeCamera(float aDuration, float aMagnitude);
    void SpawnFeathers(float aCount);
    void EnterCutscene(int aCutsceneFlag);
    int GetCutsceneFlag() const { return myCutsceneFlag; }
    void Respawn(const CommonUtilities::Vector3f& aPosition);
    // Plays the death once: sound, feathers, clip.
    void Die();

    // Tutorial prompts.
    void ShowWalkPrompt();
    void ShowJumpPrompt();
    void ShowPogoPrompt();
    void ShowSquawkPrompt();
    // The matching action was done: counts the prompt down and dismisses it at 0.
    void CountDownPrompt(Prompt aPrompt);
    int GetPromptCounter(Prompt aPrompt) const { return myPromptCounters[static_cast<int>(aPrompt)]; }
    float GetWalkPromptTimer() const { return myWalkPromptTimer; }

    // Seconds since the last wall-slide sound.
    float GetWallSlideEffectTimer() const { return myWallSlideEffectTimer; }
    void SetWallSlideEffectTimer(float aTime) { myWallSlideEffectTimer = aTime; }

    // Pushes the sphere out of the level's boxes and looks for traps, pads, pickups, triggers,
    // foxes and checkpoints.
    void CheckCollision();
    void ResolveContact(const CommonUtilities::Vector3f& aPoint, const CommonUtilities::Vector3f& aNormal, bool anIsWall);
    Sphere GetSphere() const;

    // Replaces the current state: the old one's OnExit, then the new one's OnEnter.
    void ChangeState(std::unique_ptr<PlayerState> aState);
    PlayerState* GetCurrentState() const { return myCurrentState.get(); }
    AnimatedObject& GetAnimatedObject() { return myAnimatedObject; }
    const std::vector<Feather>& GetFeathers() const { return myFeathers; }
    const std::vector<bool>& GetInsideTriggers() const { return myInsideTriggers; }
    float GetJumpBuffer() const { return myJumpBuffer; }
    float GetDashBuffer() const { return myDashBuffer; }
    float GetPogoBuffer() const { return myPogoBuffer; }
    float GetDashCooldownTimer() const { return myDashCooldownTimer; }
    const std::vector<Box>& GetTrapBoxes() const { return myTrapBoxes; }
    const std::vector<EventTrigger>& GetEventTriggers() const { return myEventTriggers; }
    const std::vector<std::shared_ptr<FoxAttackEvent>>& GetFoxAttackEvents() const { return myFoxAttackEvents; }
    CollisionSet* GetCollisionSet() const { return myCollisionSet; }
    float GetCoyoteTimer() const { return myCoyoteTimer; }

private:
    void LoadModelAndClips();
    void UpdateFeathers(float aDeltaTime);
    void Step(CommonUtilities::InputHandler& anInput);
    void UpdateBuffers();
    void CheckTraps(const Sphere& aSphere);
    void CheckPogoPads();
    void CheckAbilityPickups();
    void CollectAbilityPickup(const AbilityPickup& aPickup);
    void CheckEventTriggers(const Sphere& aSphere);
    void CheckFoxAttacks(const Sphere& aSphere);
    void CheckCheckpoints(const Sphere& aSphere);
    void ReachCheckpoint(Checkpoint& aCheckpoint);
    Vra::Vector2<float> GetFeatherBaseSize() const;

    TransformNode myTransform;
    CommonUtilities::Vector3f myPosition{ 0.0f, 0.0f, 0.0f };
    CommonUtilities::Vector3f myVelocity{ 0.0f, 0.0f, 0.0f };
    PlayerTuning myTuning;
    float myWallSlideEffectTimer = 0.0f;
    bool myIsDashUnlocked = false;
    bool myIsDoubleJumpUnlocked = false;
    bool myIsWallJumpUnlocked = false;
    bool myIsDashAvailable = true;
    bool myIsDoubleJumpAvailable = true;
    bool myIsDead = false;
    float myGroundHeight = 0.0f;
    AnimatedObject myAnimatedObject;
    float mySpeedFactor = 1.0f;
    float myWalkPromptTimer = 0.0f;
    int myCutsceneFlag = 0;
    std::array<int, static_cast<int>(Prompt::Count)> myPromptCounters{};
    std::unique_ptr<PlayerState> myCurrentState;
    std::vector<Checkpoint>* myCheckpoints = nullptr;
    std::vector<PogoPad>* myPogoPads = nullptr;
    std::vector<AbilityPickup>* myAbilityPickups = nullptr;
    std::vector<Box> myTrapBoxes;
    std::vector<EventTrigger> myEventTriggers;
    std::vector<bool> myInsideTriggers;
    std::vector<std::shared_ptr<FoxAttackEvent>> myFoxAttackEvents;
    PogoPad* myPadInReach = nullptr;
    CollisionSet* myCollisionSet = nullptr;
    LevelState* myLevel = nullptr;
    std::vector<Feather> myFeathers;
    Vra::TextureResource* myFeatherTexture = nullptr;
    int myLeftKey = 37;
    int myRightKey = 39;
    int myJumpKey = 'Z';
    int myDashKey = 'C';
    int myPogoKey = 'X';
    int mySquawkKey = ' ';
    float myJumpBuffer = 0.0f;
    float myDashBuffer = 0.0f;
    float myPogoBuffer = 0.0f;
    float myCoyoteTimer = 0.0f;
    float myDashCooldownTimer = 0.0f;
    // Presses not yet buffered by a step, and frame time not yet stepped (less than a step).
    bool myIsJumpPressPending = false;
    bool myIsDashPressPending = false;
    bool myIsPogoPressPending = false;
    double myUnsteppedTime = 0.0;
    bool myIsFacingLeft = false;
    bool myIsGrounded = false;
    bool myIsOnWall = false;
    bool myIsWallOnLeft = false;
    bool myHasHitHazard = false;
    bool myIsPadInReach = false;
    // The sphere's centre before this step's push-outs, and the contact angles already handled.
    CommonUtilities::Vector3f myContactCenter{ 0.0f, 0.0f, 0.0f };
    std::vector<float> myHandledAngles;
};
