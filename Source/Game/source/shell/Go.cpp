#include "shell/Go.h"

#include "overlays/Transition.h"
#include "shell/EventBus.h"
#include "shell/GameWorld.h"
#include "shell/ResizeEvent.h"

#include "Engine.h"
#include "InputHandler.h"
#include "Timer.h"
#include "graphics/TextureManager.h"
#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"
#include "window/MessageQueue.h"
#include "window/SystemServices.h"

#include <cstdlib>
#include <exception>
#include <iostream>

namespace
{
    CommonUtilities::InputHandler ourInputHandler;

    constexpr float TRANSITION_SPEED = 0.7f;
    constexpr float TRANSITION_ACCELERATION = 1.5f;
    // Shown when a checkpoint is reached; cached so that the first one does not stall a frame.
    constexpr const char* PRELOADED_SPRITE = "Sprites/A_checkpointBreak.dds";

    void ReadSettings()
    {
        // A missing file leaves the defaults (LoadSettings reports it); a malformed one must not
        // end the program before it has started.
        try
        {
            Vra::LoadSettings("Game.json");
        }
        catch (const std::exception& anError)
        {
            std::cout << "Could not read settings/Game.json: " << anError.what() << std::endl;
        }
    }

    void InitFirstScreen(GameWorld& aWorld, const std::string& aScenePath, const FirstScreenMaker& aFirstScreen)
    {
        if (aFirstScreen)
        {
            aWorld.InitWithState(aFirstScreen(aWorld.GetSceneStateStack()), ourInputHandler);
        }
        else if (aScenePath.empty())
        {
            aWorld.InitMainMenu(ourInputHandler);
        }
        else
        {
            aWorld.InitWithScene(aScenePath, ourInputHandler);
        }
    }

    // Frames until the screens end or the quit message arrives; the game object goes with the scope.
    void RunFrames(Vra::Engine& anEngine, const std::string& aScenePath, const FirstScreenMaker& aFirstScreen)
    {
        GameWorld world;
        InitFirstScreen(world, aScenePath, aFirstScreen);
        CommonUtilities::Timer timer;
        Platform::ShowCursor(false);
        Transition& transition = *Transition::GetInstance();
        transition.Init(TRANSITION_SPEED, TRANSITION_ACCELERATION);
        anEngine.GetTextureManager()->GetTexture(PRELOADED_SPRITE, Vra::TextureSrgbMode::ForceSrgb, false);

        bool isRunning = anEngine.BeginFrame();
        while (isRunning)
        {
            timer.Update();
            ourInputHandler.Update();
            const float deltaTime = timer.GetDeltaTime();
            if (!world.Update(deltaTime, ourInputHandler))
            {
                // The screens have ended: this frame is presented without being drawn.
                anEngine.EndFrame();
                break;
            }
            world.Render();
            transition.Update(deltaTime);
            transition.Render();
            anEngine.EndFrame();
            isRunning = anEngine.BeginFrame();
        }
    }
}

CommonUtilities::InputHandler& GetInputHandler()
{
    return ourInputHandler;
}

int Go(const std::string& aScenePath)
{
    return Go(aScenePath, {});
}

int Go(const std::string& aScenePath, const FirstScreenMaker& aFirstScreen)
{
    ReadSettings();
    Vra::EngineConfiguration& configuration = Vra::GetEngineConfiguration();
    configuration.myMessageCallback = &HandleWindowMessage;
    configuration.myDebugFeatures = Vra::ToMask(Vra::DebugFeature::Filewatcher);
    if (!Vra::Engine::Start())
    {
        // A terminal waits for a key so the reason stays readable; the status tells scripts.
        Platform::SystemPause();
        return EXIT_FAILURE;
    }
    RunFrames(*Vra::Engine::GetInstance(), aScenePath, aFirstScreen);
    Vra::Engine::Shutdown();
    return EXIT_SUCCESS;
}

Platform::LResult HandleWindowMessage(Platform::WindowHandle /*aWindow*/, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam)
{
    if (ourInputHandler.HandleMessage(aMessage, aWParam, aLParam))
    {
        ourInputHandler.SetKeyboardMouseActive();
    }
    switch (aMessage)
    {
    case Platform::WM_DESTROY:
        Platform::PostQuitMessage(0);
        break;
    case Platform::WM_SIZE:
    {
        const auto packed = static_cast<std::uintptr_t>(aLParam);
        EventBus<ResizeEvent>::Broadcast({ Platform::LowWord(packed), Platform::HighWord(packed) });
        break;
    }
    case Platform::WM_SETFOCUS:
        Platform::ShowCursor(false);
        break;
    case Platform::WM_KILLFOCUS:
        Platform::ShowCursor(true);
        break;
    default:
        break;
    }
    return 0;
}
