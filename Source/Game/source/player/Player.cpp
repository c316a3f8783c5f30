#include "player/Player.h"

#include "audio/AudioManager.h"
#include "events/FoxAttackEvent.h"
#include "level/LevelState.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/PogoPad.h"
#include "objects/TextureLookup.h"
#include "overlays/PromptBox.h"
#include "player/CameraController.h"
#include "player/CollisionSet.h"
#include "player/PlayerState.h"
#include "player/states/CutsceneState.h"
#include "player/states/IdleState.h"
#include "shell/RandomFloat.h"

#include "InputHandler.h"
#include "Vector4.h"
#include "drawers/SpriteDrawer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace
{
    constexpr std::uint16_t BUTTON_A = 0x1000;
    constexpr std::uint16_t BUTTON_X = 0x4000;
    constexpr std::uint16_t BUTTON_Y = 0x8000;
    constexpr std::uint16_t RIGHT_SHOULDER = 0x0200;
    constexpr float FEATHER_GRAVITY = 900.0f;
    constexpr float FEATHER_HEIGHT = 30.0f;
    constexpr float FEATHER_LIFETIME = 1.0f;
    constexpr std::uint32_t FEATHER_SIZE_DIVISOR = 36;
    // Below this the horizontal speed is left alone instead of decelerated.
    constexpr float RESTING_SPEED = 0.1f;
    constexpr float MAX_RISE_SPEED = 50000.0f;
    constexpr float PUSH_MARGIN = 0.0001f;
    constexpr float TRIGGER_REACH_SQUARED = 1600.0f;
    // Contacts deeper than this much of the radius do not count as standing on the box.
    constexpr float DEEP_CONTACT_DIVISOR = 1.5f;
    constexpr float TWO_PI = 2.0f * std::numbers::pi_v<float>;
    // Frame times are floats: a frame of 1/60 s holds four steps give or take a rounding.
    constexpr double STEP_ROUNDING = Player::STEP * 1e-3;

    struct Clip
    {
        const char* myName;
        const char* myFile;
        bool myLoops;
    };

    constexpr Clip BIRD_CLIPS[] = {
        { "Dash", "A_bird_dash.fbx", false },
        { "Powerup", "A_Bird_PowerUp.fbx", false },
        { "DoubleJump", "A_bird_doubleJump.fbx", false },
        { "StartFalling", "A_bird_FallingTransition.fbx", false },
        { "Falling", "A_bird_falling.fbx", true },
        { "Idle", "A_bird_idle.fbx", true },
        { "JumpAir", "A_bird_jumpInAir.fbx", true },
        { "JumpStart", "A_bird_jumpStart.fbx", false },
        { "JumpNeutralStart", "A_Bird_NeutralJumpStart.fbx", false },
        { "JumpNeutralAir", "A_Bird_NeutralJumpInAir.fbx", false },
        { "JumpNeutralFall", "A_Bird_NeutralJumpFall.fbx", false },
        { "OnWall", "A_bird_onWall.fbx", true },
        { "PogoFail", "A_bird_pogoFail.fbx", false },
        { "PogoHit", "A_bird_pogoImpact.fbx", false },
        { "StartPogoReady", "A_bird_PogoReadyTransition.fbx", false },
        { "PogoReady", "A_bird_pogoReady.fbx", true },
        { "Run", "A_bird_run.fbx", true },
        { "Walk", "A_bird_walk.fbx", true },
        { "Death", "A_bird_death_fallBack.fbx", false },
        { "Outro", "A_outro_wip.fbx", false },
        { "Squeak1", "A_BirdSquawk001.fbx", false },
        { "Squeak2", "A_BirdSquawk002.fbx", false },
    };

    // Buffers a press for aTime, or lets the buffer run down.
    void BufferPress(float& aBuffer, bool anIsPressed, float aTime, float aDeltaTime)
    {
        if (anIsPressed)
        {
            aBuffer = aTime;
        }
        else if (aBuffer > 0.0f)
        {
            aBuffer -= aDeltaTime;
        }
    }

    // Down in the frame's current state, the frame of the press included: a key held from the
    // start of a frame holds for all of that frame's steps, whatever the frame's length.
    bool IsKeyDown(const CommonUtilities::InputHandler& anInput, int aKey)
    {
        return anInput.IsKeyHeld(aKey) || anInput.IsKeyPressed(aKey);
    }

    bool IsButtonDown(const CommonUtilities::InputHandler& anInput, std::uint16_t aMask)
    {
        return anInput.IsButtonHeld(aMask) || anInput.IsButtonPressed(aMask);
    }

    bool ConsumeBuffer(float& aBuffer)
    {
        if (aBuffer > 0.0f)
        {
            aBuffer = 0.0f;
            return true;
        }
        return false;
    }

    void CountDown(float& aTimer, float aDeltaTime)
    {
        if (aTimer > 0.0f)
        {
            aTimer -= aDeltaTime;
        }
    }
}

Player::Player() = default;

Player::~Player() = default;

void Player::Init(LevelState& aLevel, const CommonUtilities::Vector3f& aStartPosition, bool aStartWithDash, bool aStartWithWallJump,
                  bool aStartWithDoubleJump)
{
    myLevel = &aLevel;
    myIsGrounded = false;
    myIsOnWall = false;
    myIsWallOnLeft = false;
    myIsDoubleJumpAvailable = false;
    myJumpBuffer = myDashBuffer = myPogoBuffer = 0.0f;
    myIsJumpPressPending = myIsDashPressPending = myIsPogoPressPending = false;
    myUnsteppedTime = 0.0;
    myCoyoteTimer = myDashCooldownTimer = 0.0f;
    myCutsceneFlag = 0;

    LoadModelAndClips();
    myAnimatedObject.PlayAnimation("Idle");
    myFeatherTexture = LoadSrgbTexture(FEATHER_TEXTURE);

    ChangeState(std::make_unique<IdleState>());

    myPosition = aStartPosition;
    myIsDashUnlocked = aStartWithDash;
    myIsWallJumpUnlocked = aStartWithWallJump;
    myIsDoubleJumpUnlocked = aStartWithDoubleJump;
}

void Player::LoadModelAndClips()
{
    myAnimatedObject.LoadModel(MODEL_PATH, MODEL_TEXTURE, MODEL_SCALE);
    for (const Clip& clip : BIRD_CLIPS)
    {
        myAnimatedObject.LoadAnimation(std::string(CLIP_FOLDER) + clip.myFile, clip.myName, clip.myLoops);
    }
}

void Player::SetEventTriggers(const std::vector<EventTrigger>& someTriggers)
{
    myEventTriggers = someTriggers;
    myInsideTriggers.resize(myInsideTriggers.size() + someTriggers.size(), false);
}

void Player::AddFoxAttackEvent(std::shared_ptr<FoxAttackEvent> anEvent)
{
    myFoxAttackEvents.push_back(std::move(anEvent));
}

void Player::ClearFoxAttackEvents()
{
    myFoxAttackEvents.clear();
}

void Player::SetPogoPads(std::vector<PogoPad>* somePads)
{
    myPogoPads = somePads;
    // The remembered pad belonged to the old list.
    myPadInReach = nullptr;
    myIsPadInReach = false;
}

void Player::Teardown()
{
    if (myCurrentState)
    {
        myCurrentState->OnExit(*this);
        myCurrentState.reset();
    }
    myTrapBoxes.clear();
    myEventTriggers.clear();
    myInsideTriggers.clear();
    myFoxAttackEvents.clear();
    myFeathers.clear();
    myCheckpoints = nullptr;
    myPogoPads = nullptr;
    myAbilityPickups = nullptr;
    myPadInReach = nullptr;
    myIsPadInReach = false;
    myCollisionSet = nullptr;
    myAnimatedObject = AnimatedObject();
}

void Player::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    // A frame time that is no time at all (NaN, infinite, zero or negative) advances nothing.
    const float frameTime = std::isfinite(aDeltaTime) && aDeltaTime > 0.0f ? aDeltaTime : 0.0f;
    myAnimatedObject.Update(frameTime, myTransform);
    myTransform.myTransform(4, 1) = myPosition.x;
    myTransform.myTransform(4, 2) = myPosition.y;
    myTransform.myTransform(4, 3) = myPosition.z;
    UpdateFeathers(frameTime);

    if (myHasHitHazard)
    {
        Die();
        return;
    }
    // A press waits for the next step, which a frame shorter than a step may not run.
    myIsJumpPressPending = myIsJumpPressPending || anInput.IsKeyPressed(myJumpKey) || anInput.IsButtonPressed(BUTTON_A);
    myIsDashPressPending = myIsDashPressPending || anInput.IsKeyPressed(myDashKey) || anInput.IsButtonPressed(RIGHT_SHOULDER);
    myIsPogoPressPending = myIsPogoPressPending || anInput.IsKeyPressed(myPogoKey) || anInput.IsButtonPressed(BUTTON_X);

    // The bird moves in steps of one length whatever the frame's: a frame runs the whole steps
    // its time holds and leaves the rest to the next. A hazard met in a step ends the frame's
    // movement, and the next update lets the bird die.
    myUnsteppedTime += std::min(frameTime, MAX_FRAME_TIME);
    while (myUnsteppedTime >= STEP - STEP_ROUNDING && !myHasHitHazard)
    {
        myUnsteppedTime -= STEP;
        Step(anInput);
    }
}

void Player::Step(CommonUtilities::InputHandler& anInput)
{
    CountDown(myCoyoteTimer, STEP);
    CountDown(myDashCooldownTimer, STEP);
    UpdateBuffers();

    if (myCurrentState)
    {
        myCurrentState->Update(*this, STEP, anInput);
        if (PlayerState* const next = myCurrentState->CheckTransition(*this, STEP, anInput))
        {
            ChangeState(std::unique_ptr<PlayerState>(next));
        }
    }
    CheckCollision();
    myPosition.z = DEPTH;
    if (myIsGrounded)
    {
        if (myTransform.myHasParent && myTransform.myParent != nullptr)
        {
            const CommonUtilities::Vector4 world =
                CommonUtilities::Vector4(myPosition.x, myPosition.y, myPosition.z, 1.0f) * myTransform.myParent->GetWorldTransform();
            myGroundHeight = world.y;
        }
        else
        {
            myGroundHeight = myPosition.y;
        }
    }
}

void Player::UpdateBuffers()
{
    const float time = myTuning.myInputBufferTime;
    BufferPress(myJumpBuffer, std::exchange(myIsJumpPressPending, false), time, STEP);
    BufferPress(myDashBuffer, std::exchange(myIsDashPressPending, false), time, STEP);
    BufferPress(myPogoBuffer, std::exchange(myIsPogoPressPending, false), time, STEP);
}

void Player::UpdateFeathers(float aDeltaTime)
{
    const Vra::Vector2<float> baseSize = GetFeatherBaseSize();
    for (Feather& feather : myFeathers)
    {
        if (!feather.myIsAlive)
        {
            continue;
        }
        feather.myAge += aDeltaTime;
        if (feather.myAge > feather.myLifetime)
        {
            feather.myIsAlive = false;
            continue;
        }
        const float t = feather.myAge / feather.myLifetime;
        feather.myVelocity.y -= FEATHER_GRAVITY * aDeltaTime;
        feather.mySprite.myPosition += feather.myVelocity * aDeltaTime;
        feather.mySprite.myRotation += feather.myAngularSpeed * aDeltaTime;
        const float scale = feather.myStartScale + (feather.myEndScale - feather.myStartScale) * t;
        feather.mySprite.mySize = baseSize * scale;
        const float fade = std::min(t * t, 1.0f);
        feather.mySprite.myColor = { 1.0f, 1.0f - fade, 1.0f - fade, 1.0f - fade };
    }
}

Vra::Vector2<float> Player::GetFeatherBaseSize() const
{
    const Vra::Vector2<std::uint32_t> size = GetTextureSize(myFeatherTexture);
    return { static_cast<float>(size.x / FEATHER_SIZE_DIVISOR), static_cast<float>(size.y / FEATHER_SIZE_DIVISOR) };
}

void Player::Render()
{
    myAnimatedObject.Render();
}

void Player::RenderFeathers()
{
    Vra::SpriteDrawer* const drawer = FindSpriteDrawer();
    const bool anyAlive = std::any_of(myFeathers.begin(), myFeathers.end(), [](const Feather& aFeather) { return aFeather.myIsAlive; });
    if (drawer == nullptr || myFeatherTexture == nullptr || !anyAlive)
    {
        return;
    }
    Vra::SpriteSharedData sharedData;
    sharedData.myColorTexture = myFeatherTexture;
    Vra::SpriteBatchScope batch = drawer->BeginBatch(sharedData);
    for (const Feather& feather : myFeathers)
    {
        if (feather.myIsAlive)
        {
            batch.Draw(feather.mySprite);
        }
    }
}

void Player::ApplyGravity(float aDeltaTime)
{
    myVelocity.y -= myTuning.myGravity * aDeltaTime;
}

void Player::StartJump()
{
    myVelocity.y = myTuning.myJumpVelocity;
    myVelocity.z = 0.0f;
}

void Player::MoveHorizontal(float aDeltaTime, const CommonUtilities::InputHandler& anInput)
{
    const bool left = IsLeftHeld(anInput);
    const bool right = IsRightHeld(anInput);
    if (left)
    {
        myVelocity.x -= myTuning.myAcceleration * aDeltaTime;
        SetFacing(true);
    }
    if (right)
    {
        myVelocity.x += myTuning.myAcceleration * aDeltaTime;
        SetFacing(false);
    }
    if ((left || right) && myWalkPromptTimer > 0.0f)
    {
        myWalkPromptTimer -= aDeltaTime;
        if (myWalkPromptTimer <= 0.0f)
        {
            PromptBox::Dismiss(false);
        }
    }
}

void Player::ApplyMovement(float aDeltaTime, float aSpeedFactor, float aFallFactor)
{
    if (std::abs(myVelocity.x) >= RESTING_SPEED)
    {
        const float slowdown = myTuning.myDeceleration * aDeltaTime;
        myVelocity.x = myVelocity.x > 0.0f ? std::max(0.0f, myVelocity.x - slowdown) : std::min(0.0f, myVelocity.x + slowdown);
    }
    const float maxSpeed = myTuning.myMaxSpeed * aSpeedFactor;
    myVelocity.x = std::clamp(myVelocity.x, -maxSpeed, maxSpeed);
    myVelocity.y = std::clamp(myVelocity.y, -myTuning.myMaxFallSpeed * aFallFactor, MAX_RISE_SPEED);
    myVelocity.z = 0.0f;
    myPosition += myVelocity * aDeltaTime;
}

CommonUtilities::Vector3f Player::GetCameraTarget() const
{
    return myPosition + CommonUtilities::Vector3f(0.0f, SPHERE_HEIGHT, 0.0f);
}

void Player::HitPogoPad()
{
    if (PogoPad* const pad = GetPadInReach())
    {
        pad->OnHit();
    }
}

void Player::SetFacing(bool aLeft)
{
    if (myIsFacingLeft != aLeft)
    {
        myIsFacingLeft = aLeft;
        myAnimatedObject.FlipScaleX();
    }
}

bool Player::IsJumpHeld(const CommonUtilities::InputHandler& anInput) const
{
    return IsKeyDown(anInput, myJumpKey) || IsButtonDown(anInput, BUTTON_A);
}

bool Player::IsLeftHeld(const CommonUtilities::InputHandler& anInput) const
{
    return IsKeyDown(anInput, myLeftKey) || anInput.GetLeftStickDirection().myLeft;
}

bool Player::IsRightHeld(const CommonUtilities::InputHandler& anInput) const
{
    return IsKeyDown(anInput, myRightKey) || anInput.GetLeftStickDirection().myRight;
}

bool Player::HasMoveInput(const CommonUtilities::InputHandler& anInput) const
{
    return IsLeftHeld(anInput) != IsRightHeld(anInput);
}

bool Player::IsSquawkPressed(const CommonUtilities::InputHandler& anInput) const
{
    return IsKeyDown(anInput, mySquawkKey) || IsButtonDown(anInput, BUTTON_Y);
}

bool Player::ConsumeJump()
{
    return ConsumeBuffer(myJumpBuffer);
}

bool Player::ConsumePogo()
{
    return ConsumeBuffer(myPogoBuffer);
}

bool Player::ConsumeDash()
{
    if (myDashBuffer > 0.0f && myIsDashAvailable && myIsDashUnlocked && myDashCooldownTimer <= 0.0f)
    {
        myDashBuffer = 0.0f;
        return true;
    }
    return false;
}

bool Player::IsInCutscene() const
{
    return dynamic_cast<const CutsceneState*>(myCurrentState.get()) != nullptr;
}

void Player::RefillAirActions()
{
    myIsDashAvailable = true;
    myIsDoubleJumpAvailable = true;
}

void Player::ShakeCamera(float aDuration, float aMagnitude)
{
    if (myLevel == nullptr)
    {
        return;
    }
    if (CameraController* const controller = myLevel->GetCameraController())
    {
        controller->Shake(aDuration, aMagnitude);
    }
}

void Player::SpawnFeathers(float aCount)
{
    const Vra::Vector2<float> baseSize = GetFeatherBaseSize();
    for (int index = 0; static_cast<float>(index) < aCount; ++index)
    {
        Feather feather;
        feather.mySprite.myPosition = { myPosition.x, myPosition.y + FEATHER_HEIGHT };
        feather.mySprite.myPivot = { 0.5f, 0.5f };
        feather.myLifetime = FEATHER_LIFETIME;
        // The draws keep this order: start scale, end scale, direction, speed, rotation, spin.
        feather.myStartScale = RandomFloat(0.3f, 0.6f);
        feather.myEndScale = RandomFloat(1.0f, 1.6f);
        feather.mySprite.mySize = baseSize * feather.myStartScale;
        const float direction = RandomFloat(0.0f, 3.14f);
        const float speed = RandomFloat(200.0f, 600.0f);
        feather.myVelocity = { std::cos(direction) * speed, std::sin(direction) * speed };
        feather.mySprite.myRotation = RandomFloat(0.0f, 6.28f);
        feather.myAngularSpeed = RandomFloat(-6.0f, 6.0f);
        feather.myIsAlive = true;
        myFeathers.push_back(feather);
    }
}

void Player::ChangeState(std::unique_ptr<PlayerState> aState)
{
    if (myCurrentState)
    {
        myCurrentState->OnExit(*this);
    }
    myCurrentState = std::move(aState);
    if (myCurrentState)
    {
        myCurrentState->OnEnter(*this);
    }
}

void Player::EnterCutscene(int aCutsceneFlag)
{
    // Only the cutscene state reads the flag, in its OnEnter.
    myCutsceneFlag = aCutsceneFlag;
    ChangeState(std::make_unique<CutsceneState>());
}

void Player::Respawn(const CommonUtilities::Vector3f& aPosition)
{
    myIsDoubleJumpAvailable = true;
    myIsDead = false;
    myJumpBuffer = myDashBuffer = myPogoBuffer = 0.0f;
    myIsJumpPressPending = myIsDashPressPending = myIsPogoPressPending = false;
    myUnsteppedTime = 0.0;
    myCoyoteTimer = myDashCooldownTimer = 0.0f;
    myCutsceneFlag = 0;
    myIsGrounded = myIsOnWall = myIsWallOnLeft = myHasHitHazard = false;

    ChangeState(std::make_unique<IdleState>());

    myVelocity = { 0.0f, 0.0f, 0.0f };
    myPosition = aPosition;
    if (myLevel != nullptr)
    {
        for (const EventTrigger& trigger : myEventTriggers)
        {
            myLevel->ExitTrigger(trigger.myOrder);
        }
    }
    std::fill(myInsideTriggers.begin(), myInsideTriggers.end(), false);
    SetFacing(false);
}

void Player::Die()
{
    if (myIsDead)
    {
        return;
    }
    AudioManager::GetInstance().Play("Death", true, 1.0f);
    SpawnFeathers(DEATH_FEATHERS);
    myAnimatedObject.PlayAnimation("Death");
    myIsDead = true;
}

void Player::ShowWalkPrompt()
{
    PromptBox::ShowTutorialPrompt(PromptBox::Walk);
    myWalkPromptTimer = 1.0f;
}

void Player::ShowJumpPrompt()
{
    PromptBox::ShowTutorialPrompt(PromptBox::Jump);
    myPromptCounters[static_cast<int>(Prompt::Jump)] = 1;
}

void Player::ShowPogoPrompt()
{
    PromptBox::ShowTutorialPrompt(PromptBox::Dive);
    myPromptCounters[static_cast<int>(Prompt::Pogo)] = 1;
}

void Player::ShowSquawkPrompt()
{
    PromptBox::ShowTutorialPrompt(PromptBox::Squawk);
    myPromptCounters[static_cast<int>(Prompt::Squawk)] = 1;
}

void Player::CountDownPrompt(Prompt aPrompt)
{
    int& counter = myPromptCounters[static_cast<int>(aPrompt)];
    if (counter > 0)
    {
        --counter;
        if (counter < 1)
        {
            PromptBox::Dismiss(false);
        }
    }
}

Sphere Player::GetSphere() const
{
    return { GetCameraTarget(), SPHERE_RADIUS };
}

void Player::CheckCollision()
{
    myIsGrounded = false;
    myIsOnWall = false;
    myHandledAngles.clear();
    if (myCollisionSet != nullptr)
    {
        const Sphere sphere = GetSphere();
        myContactCenter = sphere.myCenter;
        myCollisionSet->CollideSphere(sphere, [this](const CommonUtilities::Vector3f& aPoint, const CommonUtilities::Vector3f& aNormal, bool anIsWall) {
            ResolveContact(aPoint, aNormal, anIsWall);
        });
    }
    if (myIsGrounded)
    {
        myIsOnWall = false;
    }
    const Sphere sphere = GetSphere();
    CheckTraps(sphere);
    CheckPogoPads();
    CheckAbilityPickups();
    CheckEventTriggers(sphere);
    CheckFoxAttacks(sphere);
    CheckCheckpoints(sphere);
}

void Player::ResolveContact(const CommonUtilities::Vector3f& aPoint, const CommonUtilities::Vector3f& aNormal, bool anIsWall)
{
    // Two boxes side by side under the bird give two contacts with the same normal: push out once.
    // Angles are compared on the circle: a wall on the right faces at about pi, where atan2 wraps.
    const float angle = std::atan2(aNormal.y, aNormal.x);
    const auto isSameDirection = [angle](float aHandled) {
        const float apart = std::abs(angle - aHandled);
        return std::min(apart, TWO_PI - apart) < SAME_NORMAL_ANGLE;
    };
    if (std::any_of(myHandledAngles.begin(), myHandledAngles.end(), isSameDirection))
    {
        return;
    }
    myHandledAngles.push_back(angle);

    if (aNormal.y >= std::abs(aNormal.x) && aNormal.y != 0.0f)
    {
        myIsGrounded = true;
    }
    // A centre behind the contact's face (inside the box) is deeper than the radius.
    const CommonUtilities::Vector3f offset = myContactCenter - aPoint;
    const float distance = offset.Length();
    const float depth = offset.Dot(aNormal) < 0.0f ? SPHERE_RADIUS + distance : SPHERE_RADIUS - distance;

    const float along = myVelocity.Dot(aNormal);
    if (along < 0.0f)
    {
        myVelocity -= aNormal * along;
    }
    if (depth > SPHERE_RADIUS / DEEP_CONTACT_DIVISOR)
    {
        myIsGrounded = false;
    }
    myPosition += aNormal * (depth - PUSH_MARGIN);
    if (std::abs(aNormal.x) > std::abs(aNormal.y) && myPosition.x > WALL_MIN_X && anIsWall)
    {
        myIsOnWall = true;
        myIsWallOnLeft = aNormal.x >= 0.0f;
    }
}

void Player::CheckTraps(const Sphere& aSphere)
{
    CommonUtilities::Vector3f point;
    for (const Box& trap : myTrapBoxes)
    {
        if (SphereIntersectsBox(aSphere, trap, point))
        {
            myHasHitHazard = true;
        }
    }
}

void Player::CheckPogoPads()
{
    myIsPadInReach = false;
    if (myPogoPads == nullptr)
    {
        return;
    }
    for (PogoPad& pad : *myPogoPads)
    {
        if (!pad.CanBounce())
        {
            continue;
        }
        const CommonUtilities::Vector4 bounds = pad.GetBounds();
        const float dx = bounds.x - myPosition.x;
        const float dy = bounds.y - (myPosition.y + SPHERE_HEIGHT);
        const float reach = bounds.w + SPHERE_RADIUS;
        if (dx * dx + dy * dy + bounds.z * bounds.z <= reach * reach)
        {
            myIsPadInReach = true;
            myPadInReach = &pad;
        }
    }
}

void Player::CheckAbilityPickups()
{
    if (myAbilityPickups == nullptr)
    {
        return;
    }
    for (std::size_t index = 0; index < myAbilityPickups->size();)
    {
        const CommonUtilities::Vector4 bounds = (*myAbilityPickups)[index].GetBounds();
        const float dx = bounds.x - myPosition.x;
        const float dy = bounds.y - (myPosition.y + SPHERE_HEIGHT);
        const float dz = bounds.z - myPosition.z;
        const float reach = bounds.w + SPHERE_RADIUS;
        if (dx * dx + dy * dy + dz * dz <= reach * reach)
        {
            CollectAbilityPickup((*myAbilityPickups)[index]);
            myAbilityPickups->erase(myAbilityPickups->begin() + static_cast<std::ptrdiff_t>(index));
        }
        else
        {
            ++index;
        }
    }
}

void Player::CollectAbilityPickup(const AbilityPickup& aPickup)
{
    SpawnFeathers(PICKUP_FEATHERS);
    const std::string name = aPickup.GetName();
    if (name == "Dash")
    {
        myIsDashUnlocked = true;
        PromptBox::ShowTutorialPrompt(PromptBox::Dash);
        myPromptCounters[static_cast<int>(Prompt::Dash)] = 1;
    }
    else if (name == "WallJump")
    {
        myIsWallJumpUnlocked = true;
        PromptBox::ShowTutorialPrompt(PromptBox::WallJump);
        myPromptCounters[static_cast<int>(Prompt::WallJump)] = 1;
    }
    else if (name == "DoubleJump")
    {
        myIsDoubleJumpUnlocked = true;
        PromptBox::ShowTutorialPrompt(PromptBox::DoubleJump);
        myPromptCounters[static_cast<int>(Prompt::DoubleJump)] = 1;
    }
    EnterCutscene(POWER_UP_CUTSCENE);
    AudioManager::GetInstance().Play("Ability", true, 1.0f);
}

void Player::CheckEventTriggers(const Sphere& aSphere)
{
    for (std::size_t index = 0; index < myEventTriggers.size(); ++index)
    {
        const EventTrigger& trigger = myEventTriggers[index];
        if (SquaredDistanceToBox(trigger.myBox, aSphere.myCenter) > TRIGGER_REACH_SQUARED)
        {
            if (myInsideTriggers[index])
            {
                myInsideTriggers[index] = false;
                if (myLevel != nullptr)
                {
                    myLevel->ExitTrigger(trigger.myOrder);
                }
            }
        }
        else
        {
            // Every frame inside: the level only starts events that have not run yet.
            if (myLevel != nullptr)
            {
                myLevel->EnterTrigger(trigger.myOrder);
            }
            myInsideTriggers[index] = true;
        }
    }
}

void Player::CheckFoxAttacks(const Sphere& aSphere)
{
    CommonUtilities::Vector3f point;
    for (const std::shared_ptr<FoxAttackEvent>& fox : myFoxAttackEvents)
    {
        if (!fox || !fox->IsAttackActive())
        {
            continue;
        }
        if (SphereIntersectsBox(aSphere, fox->GetAttackBox(), point))
        {
            myHasHitHazard = true;
        }
        if (SquaredDistanceToBox(fox->GetChargeBox(), aSphere.myCenter) <= TRIGGER_REACH_SQUARED)
        {
            fox->StartCharge();
        }
    }
}

void Player::CheckCheckpoints(const Sphere& aSphere)
{
    if (myCheckpoints == nullptr)
    {
        return;
    }
    for (Checkpoint& checkpoint : *myCheckpoints)
    {
        if (SquaredDistanceToBox(checkpoint.myBox, aSphere.myCenter) <= TRIGGER_REACH_SQUARED)
        {
            ReachCheckpoint(checkpoint);
        }
    }
}

void Player::ReachCheckpoint(Checkpoint& aCheckpoint)
{
    const bool wasReached = aCheckpoint.myIsReached;
    for (Checkpoint& checkpoint : *myCheckpoints)
    {
        checkpoint.myIsReached = false;
    }
    aCheckpoint.myIsReached = true;
    if (!wasReached)
    {
        AudioManager::GetInstance().Play("Checkpoint", false, 1.0f);
        PromptBox::ShowMessage("Checkpoint Reached", 3.0f);
    }
}
