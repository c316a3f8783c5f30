#include "level/LevelState.h"

#include "audio/AudioManager.h"
#include "effects/VfxManager.h"
#include "events/TriggeredEvent.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/IcicleSystem.h"
#include "objects/PogoPad.h"
#include "overlays/PromptBox.h"
#include "overlays/SpeedrunTimer.h"
#include "overlays/Transition.h"
#include "player/CameraController.h"
#include "player/CollisionSet.h"
#include "player/Player.h"
#include "screens/MainMenuState.h"
#include "screens/PauseState.h"
#include "shell/SceneStateStack.h"

#include "Engine.h"
#include "InputHandler.h"
#include "drawers/ModelDrawer.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/Camera.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "postprocess/FullscreenPixelateEffect.h"

#include <exception>
#include <iostream>

namespace
{
    constexpr int KEY_ESCAPE = 0x1B;
    constexpr int KEY_UP = 0x26;
    constexpr int KEY_DOWN = 0x28;
    constexpr int KEY_E = 0x45;
    constexpr int KEY_W = 0x57;
    constexpr std::uint16_t BUTTON_START = 0x0010;
    constexpr int CHECKPOINT_SHEET_COLUMNS = 4;
    constexpr float CHECKPOINT_SHEET_CELL = 0.25f;

    Vra::GraphicsEngine* GetGraphicsEngine()
    {
        Vra::Engine* const engine = Vra::Engine::GetInstance();
        return engine ? engine->GetGraphicsEngine() : nullptr;
    }

    // The level's sprites draw over what is already there without writing depth.
    void PushSpriteState(Vra::GraphicsStateStack& aStateStack)
    {
        aStateStack.Push();
        aStateStack.SetSamplerState(Vra::SamplerFilter::Linear, Vra::SamplerAddressMode::Border);
        aStateStack.SetDepthStencilState(Vra::DepthStencilState::ReadOnlyLess);
        aStateStack.SetBlendState(Vra::BlendState::AlphaBlend);
    }
}

LevelState::LevelState(SceneStateStack& aSceneStateStack)
    : SceneState(&aSceneStateStack)
{
}

LevelState::~LevelState()
{
    // The rest goes in the reverse of its declaration: the preload's future before the level it
    // fills, the events last.
    if (myPlayer)
    {
        myPlayer->Teardown();
        myPlayer.reset();
    }
    PromptBox::Dismiss(true);
    // The level's looping effect blocks would otherwise go on in every screen after it.
    if (myHasSpawnedVfxBlocks)
    {
        VfxManager::GetInstance().StopLooping();
    }
}

bool LevelState::OnInit()
{
    PromptBox::SetEnabled(true);
    SpeedrunTimer::SetDisplayActive(true);
    SpeedrunTimer::SetPaused(false);
    myParallaxLayers.Enable();
    Transition::GetInstance()->SetCamera(myCamera);
    Transition::GetInstance()->End();

    myEffectStack.Init();
    if (Vra::GraphicsEngine* const graphics = GetGraphicsEngine())
    {
        if (graphics->GetTonemapEffect())
        {
            myEffectStack.AddEffectPass(*graphics->GetTonemapEffect());
        }
        myEffectStack.AddEffect("Shaders/PostprocessFilmGrainPS");
        myEffectStack.AddEffect("Shaders/PostprocessVignettePS");
        if (graphics->GetPixelateEffect())
        {
            graphics->GetPixelateEffect()->SetPixelSize(PIXEL_SIZE);
        }
    }
    myDrawDebugModels = false;
    mySnow.CreateSnow();
    myCaveParticles.CreateCaveParticles();

    if (myExitEvent)
    {
        StartPreload();
    }
    if (myPlayer && myCameraController)
    {
        const CommonUtilities::Vector3f target = myPlayer->GetCameraTarget();
        myCameraController->SetPosition({ target.x, target.y, CAMERA_Z });
        std::cout << "Player position: " << target.x << " " << target.y << std::endl;
    }
    for (const VfxBlock& block : myVfxBlocks)
    {
        VfxManager::GetInstance().Spawn(block.myName, block.myPosition, block.myIsLooping, false, 0.0f);
        myHasSpawnedVfxBlocks = true;
    }
    for (const LevelEcho& echo : myLevelEchoes)
    {
        AudioManager::GetInstance().PlayLevelAudio(echo.myLevel, echo.myEcho, echo.myEchoDelay, echo.myEchoFeedback, echo.myEchoDryLevel,
                                                   echo.myEchoWetLevel);
    }
    // After the level audio, which stops every sound.
    StartPadSounds();
    return true;
}

void LevelState::StartPreload()
{
    if (myNextLevelPath == LAST_LEVEL)
    {
        std::cout << LAST_LEVEL << std::endl;
        return;
    }
    // A running preload finishes before its level is replaced.
    myNextLevelFuture = std::future<bool>();
    myNextLevel = std::make_unique<LevelState>(*mySceneStateStack);
    LevelState* const nextLevel = myNextLevel.get();
    const std::string path = myNextLevelPath;
    // On a task of its own from the start: a deferred load would run inside the exit's frame.
    myNextLevelFuture = std::async(std::launch::async, [nextLevel, path] { return nextLevel->LoadScene(path); });
}

void LevelState::StartPadSounds()
{
    if (!myArePadSoundsPending)
    {
        return;
    }
    myArePadSoundsPending = false;
    // The beetles of the level that was reloaded stop humming with it.
    AudioManager::GetInstance().Stop("Beetle_Idle");
    for (PogoPad& pad : myPogoPads)
    {
        pad.StartIdleSound();
    }
}

bool LevelState::Update(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    if (myIsAbandoned || !myPlayer)
    {
        return true;
    }
    StartPadSounds();
    myPlayer->Update(aDeltaTime, anInput);

    const CommonUtilities::Vector3f& cameraPoint = myCameraController->GetPosition();
    myParallaxLayers.Update({ cameraPoint.x, cameraPoint.y });

    const CommonUtilities::Vector3f birdTarget = myPlayer->GetCameraTarget();
    mySnow.Update(aDeltaTime);
    mySnow.SetPosition(birdTarget);
    myCaveParticles.Update(aDeltaTime);
    myCaveParticles.SetPosition(birdTarget);

    myBlackBars.Update(aDeltaTime);
    myIcicleSystem->Update(*myPlayer);

    UpdateCamera(aDeltaTime, anInput);
    if (anInput.IsKeyPressed(KEY_E))
    {
        const Vra::Vector3f position = myCamera->myTransform.GetTranslation();
        std::cout << "cam pos" << position.x << " " << position.y << " " << position.z << " " << std::endl;
    }

    for (PogoPad& pad : myPogoPads)
    {
        pad.Update(aDeltaTime);
    }
    for (AbilityPickup& pickup : myAbilityPickups)
    {
        pickup.Update(aDeltaTime);
    }

    if (!UpdateDeath())
    {
        return true;
    }
    UpdateExit();
    UpdatePause(anInput);
    for (const std::shared_ptr<TriggeredEvent>& event : myEvents)
    {
        if (event->IsTriggered())
        {
            event->Update(aDeltaTime);
        }
    }
    UpdateCheckpointSheets(aDeltaTime);
    return true;
}

void LevelState::UpdateCamera(float aDeltaTime, CommonUtilities::InputHandler& anInput)
{
    const CommonUtilities::StickDirection leftStick = anInput.GetLeftStickDirection();
    const CommonUtilities::StickDirection rightStick = anInput.GetRightStickDirection();
    const bool isUpHeld = anInput.IsKeyHeld(KEY_UP) || leftStick.myUp || rightStick.myUp;
    const bool isDownHeld = anInput.IsKeyHeld(KEY_DOWN) || leftStick.myDown || rightStick.myDown;

    float verticalOffset = 0.0f;
    if (isUpHeld)
    {
        myLookUpTimer += aDeltaTime;
        verticalOffset = myLookUpTimer >= myLookHoldTime ? LOOK_OFFSET : 0.0f;
    }
    else if (isDownHeld)
    {
        myLookDownTimer += aDeltaTime;
        verticalOffset = myLookDownTimer >= myLookHoldTime ? -LOOK_OFFSET : 0.0f;
    }
    else
    {
        myLookUpTimer = 0.0f;
        myLookDownTimer = 0.0f;
    }
    if (!myPlayer->IsGrounded())
    {
        verticalOffset -= AIRBORNE_DROP;
    }

    const CommonUtilities::Vector3f& position = myPlayer->GetPosition();
    float targetY = position.y + verticalOffset;
    // Just after leaving a ledge the view keeps to the ground the bird stood on.
    const float groundHeight = myPlayer->GetGroundHeight();
    if (groundHeight > targetY && groundHeight < position.y)
    {
        targetY = groundHeight;
    }
    const float lookAhead = myPlayer->IsFacingLeft() ? -LOOK_AHEAD : LOOK_AHEAD;
    myCameraTarget = { position.x + lookAhead, targetY + CAMERA_RAISE, position.z };
    myCameraController->Update(aDeltaTime, myCameraTarget);

    const CommonUtilities::Vector3f& controller = myCameraController->GetPosition();
    if (anInput.IsKeyHeld(KEY_W))
    {
        myCamera->myTransform.SetTranslation({ position.x, position.y, CAMERA_Z });
    }
    else
    {
        myCamera->myTransform.SetTranslation({ controller.x, controller.y, CAMERA_Z });
    }
}

bool LevelState::UpdateDeath()
{
    if (!myPlayer->IsHazardHit())
    {
        return true;
    }
    if (myRestartArmed)
    {
        Transition::GetInstance()->Start();
        myRestartArmed = false;
    }
    if (Transition::GetInstance()->IsSweeping())
    {
        return true;
    }
    return Reload("the level could not be reloaded after a death");
}

bool LevelState::Reload(const std::string& aReason)
{
    if (LoadScene(myLevelPath))
    {
        return true;
    }
    // Part of the level may already be rebuilt around a player that still points at the old
    // one: nothing of it runs again.
    myIsAbandoned = true;
    ReturnToMainMenu(aReason);
    return false;
}

void LevelState::UpdateExit()
{
    if (!myExitEvent || myHasGivenUpExit || !myExitEvent->IsTriggered())
    {
        return;
    }
    if (!myNextLevelFuture.valid())
    {
        myHasGivenUpExit = true;
        ReturnToMainMenu("there is no following level to go to");
        return;
    }
    bool isLoaded = false;
    try
    {
        isLoaded = myNextLevelFuture.get();
    }
    catch (const std::exception& anError)
    {
        std::cout << "Failed to load scene: " << myNextLevelPath << ": " << anError.what() << std::endl;
    }
    if (!isLoaded || !myNextLevel)
    {
        myHasGivenUpExit = true;
        myNextLevel.reset();
        ReturnToMainMenu("the following level did not load: " + myNextLevelPath);
        return;
    }
    mySceneStateStack->SetPendingState(std::move(myNextLevel));
}

void LevelState::ReturnToMainMenu(const std::string& aReason)
{
    std::cout << "Returning to the main menu: " << aReason << std::endl;
    SpeedrunTimer::Stop();
    AudioManager& audio = AudioManager::GetInstance();
    audio.StopAll();
    audio.Play("Main Menu", true, 1.0f);
    // From the menus the level has a layer of its own over the menu's; a game started straight
    // into a level has no menu beneath to return to, so one takes the level's place.
    if (mySceneStateStack->GetLayerCount() > 1)
    {
        mySceneStateStack->RequestPopLayer();
    }
    else
    {
        mySceneStateStack->SetPendingState(std::make_unique<MainMenuState>(*mySceneStateStack));
    }
    Transition::GetInstance()->FadeFromBlack();
}

void LevelState::UpdatePause(CommonUtilities::InputHandler& anInput)
{
    const bool isPausePressed = anInput.IsKeyPressed(KEY_ESCAPE) || anInput.IsButtonPressed(BUTTON_START);
    if (!isPausePressed || Transition::GetInstance()->IsSweeping() || myPlayer->IsInCutscene())
    {
        return;
    }
    PromptBox::SetEnabled(false);
    SpeedrunTimer::SetDisplayActive(false);
    SpeedrunTimer::SetPaused(true);
    mySceneStateStack->PushState(std::make_unique<PauseState>(*mySceneStateStack));
}

void LevelState::UpdateCheckpointSheets(float aDeltaTime)
{
    for (Checkpoint& checkpoint : myCheckpoints)
    {
        if (!checkpoint.myIsReached || checkpoint.myFrame >= CHECKPOINT_LAST_FRAME)
        {
            continue;
        }
        checkpoint.myTimer += aDeltaTime;
        if (checkpoint.myTimer <= checkpoint.myFrameTime)
        {
            continue;
        }
        checkpoint.myTimer = 0.0f;
        ++checkpoint.myFrame;
        const float column = static_cast<float>(checkpoint.myFrame % CHECKPOINT_SHEET_COLUMNS);
        const float row = static_cast<float>(checkpoint.myFrame / CHECKPOINT_SHEET_COLUMNS);
        checkpoint.mySprite.myTextureRectangle = { column * CHECKPOINT_SHEET_CELL, row * CHECKPOINT_SHEET_CELL, (column + 1.0f) * CHECKPOINT_SHEET_CELL,
                                                   (row + 1.0f) * CHECKPOINT_SHEET_CELL };
    }
}

void LevelState::Render()
{
    Vra::GraphicsEngine* const graphics = GetGraphicsEngine();
    if (myIsAbandoned || !myPlayer || !graphics)
    {
        return;
    }
    Vra::GraphicsStateStack& stateStack = graphics->GetGraphicsStateStack();
    myEffectStack.GetRenderTarget().SetAsActiveTarget(Vra::DX11::Depth);
    stateStack.SetCamera(*myCamera);

    for (const std::shared_ptr<TriggeredEvent>& event : myEvents)
    {
        if (event->IsTriggered())
        {
            event->Render();
        }
    }
    myParallaxLayers.RenderBack();

    PushSpriteState(stateStack);
    for (const Checkpoint& checkpoint : myCheckpoints)
    {
        Vra::SpriteBatchScope batch = graphics->GetSpriteDrawer().BeginBatch(checkpoint.mySpriteData);
        batch.Draw(checkpoint.mySprite);
    }
    stateStack.Pop();

    myPlayer->Render();
    myIcicleSystem->Render();
    myParallaxLayers.RenderMiddle();
    if (myDrawDebugModels)
    {
        for (const Vra::ModelInstance& model : myDebugModels)
        {
            graphics->GetModelDrawer().Draw(model);
        }
    }
    for (PogoPad& pad : myPogoPads)
    {
        pad.Render();
    }
    for (AbilityPickup& pickup : myAbilityPickups)
    {
        pickup.Render();
    }
    myPlayer->RenderFeathers();
    myParallaxLayers.RenderFront();

    PushSpriteState(stateStack);
    mySnow.Render();
    myCaveParticles.Render();
    stateStack.Pop();

    myBlackBars.Render();
    myEffectStack.Render();
}

CameraController* LevelState::GetCameraController()
{
    return myCameraController.get();
}

void LevelState::Restart()
{
    Reload("the level could not be restarted");
}

void LevelState::EnterTrigger(int anOrder)
{
    for (const std::shared_ptr<TriggeredEvent>& event : myEvents)
    {
        if (event->GetOrder() == anOrder && !event->IsTriggered())
        {
            event->OnTriggerEnter();
        }
    }
}

void LevelState::ExitTrigger(int anOrder)
{
    for (const std::shared_ptr<TriggeredEvent>& event : myEvents)
    {
        if (event->GetOrder() == anOrder && event->IsTriggered())
        {
            event->OnTriggerExit();
        }
    }
}
