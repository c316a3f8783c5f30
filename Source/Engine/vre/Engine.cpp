#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

#include "filewatcher/CallbackLists.h"
#include "filewatcher/FileWatcher.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/RenderTarget.h"
#include "graphics/WindowHandler.h"
#include "graphics/TextureManager.h"
#include "model/ModelFactory.h"
#include "text/TextService.h"
#include "window/MessageQueue.h"
#include "window/SystemServices.h"
#include "window/Window.h"

#include <iostream>

namespace Vra
{
    Engine* Engine::ourInstance = nullptr;
    std::uint32_t Engine::ourDrawCallCount = 0;
    std::uint32_t Engine::ourLastFrameDrawCallCount = 0;

    bool Engine::Start()
    {
        if (ourInstance)
        {
            return false;
        }
        // Registered before the start runs: a failed start still refuses a second engine.
        ourInstance = new Engine();
        return ourInstance->InternalStart();
    }

    void Engine::Shutdown()
    {
        // First of all, engine or not: the factory's models hold GPU buffers, which must go
        // before the device does. Its reload callbacks stay in the file watcher until the engine
        // goes; they look the factory up when they run and do nothing once it is gone.
        ModelFactory::Destroy();
        if (!ourInstance)
        {
            return;
        }
        delete ourInstance;
        ourInstance = nullptr;
    }

    Engine::Engine() : myConfiguration(GetEngineConfiguration())
    {
        if (myConfiguration.myStartInFullscreen || myConfiguration.myStartMaximized)
        {
            const Vector2<std::uint32_t> screen{ static_cast<std::uint32_t>(Platform::GetSystemMetrics(Platform::SM_CXSCREEN)),
                                                 static_cast<std::uint32_t>(Platform::GetSystemMetrics(Platform::SM_CYSCREEN)) };
            myConfiguration.myWindowSize = screen;
            myConfiguration.myRenderSize = screen;
        }
        myCallbackLists = std::make_unique<CallbackLists>();
        myCallbackLists->AppendToFirstList(myConfiguration.myFirstExtraCallback);
        myCallbackLists->AppendToSecondList(myConfiguration.mySecondExtraCallback);
    }

    Engine::~Engine()
    {
        // Shut-down order: the watcher's thread stops first, the window goes last.
        myFileWatcher.reset();
        myCallbackLists.reset();
        myConfiguration = EngineConfiguration();
        myTextService.reset();
        myTextureManager.reset();
        myGraphicsEngine.reset();
        myDX11.reset();
        myWindowHandler.reset();
        WindowHandler::SetSizeMessageHandler({});
    }

    bool Engine::InternalStart()
    {
        myFileWatcher = std::make_unique<FileWatcher>([this] { return IsDebugFeatureOn(DebugFeature::Filewatcher); });

        myWindowHandler = std::make_unique<WindowHandler>();
        WindowHandler::SetSizeMessageHandler([] {
            if (ourInstance)
            {
                ourInstance->MarkResizePending();
            }
        });
        if (!myWindowHandler->Create(myConfiguration, myConfiguration.myInstanceHandle, myConfiguration.myWindowHandle))
        {
            std::cout << "Failed to start the engine: no window could be created" << std::endl;
            return false;
        }

        myDX11 = std::make_unique<DX11>();
        if (!myDX11->Init(*myWindowHandler))
        {
            std::cout << "Failed to start the engine: no OpenGL 4.5 device and swap chain for the window" << std::endl;
            myWindowHandler->Close();
            return false;
        }

        TextureManager::Services textureServices;
        textureServices.myDevice = DX11::Device.get();
        textureServices.myContext = DX11::Context.get();
        textureServices.myFileWatcher = myFileWatcher.get();
        textureServices.myIsOnMainThread = [] { return DX11::IsOnMainThread(); };
        textureServices.myRenderHeight = [this] { return myConfiguration.myRenderSize.y; };
        myTextureManager = std::make_unique<TextureManager>(std::move(textureServices));

        myGraphicsEngine = std::make_unique<GraphicsEngine>();
        if (!myGraphicsEngine->Init())
        {
            std::cout << "Failed to start the engine: the graphics engine could not be set up" << std::endl;
            myWindowHandler->Close();
            return false;
        }

        myTextureManager->CreateDefaultTextures();

        myTextService = std::make_unique<TextService>();
        myTextService->Init();
        myIsStarted = true;
        return true;
    }

    bool Engine::BeginFrame()
    {
        // An engine whose start failed stays registered but has nothing to run a frame with.
        if (myIsQuitSeen || !myIsStarted)
        {
            return false;
        }
        Platform::Message message;
        while (Platform::PeekMessage(message, nullptr, 0, 0, Platform::PM_REMOVE))
        {
            // Whatever follows the quit message stays queued.
            if (message.myId == Platform::WM_QUIT)
            {
                myIsQuitSeen = true;
                return false;
            }
            Platform::TranslateMessage(message);
            Platform::DispatchMessage(message);
        }

        myFileWatcher->FlushChanges();
        myDX11->BeginFrame(myConfiguration.myClearColor);
        myGraphicsEngine->GetGraphicsStateStack().BeginFrame();

        ourLastFrameDrawCallCount = ourDrawCallCount;
        ourDrawCallCount = 0;
        return true;
    }

    void Engine::EndFrame()
    {
        if (!myIsStarted)
        {
            return;
        }
        myDeltaTime = myStepTimer.Step();
        myTotalTime += myDeltaTime;

        myDX11->EndFrame(myConfiguration.myEnableVsync);

        if (myIsResizePending)
        {
            HandleResize();
            myIsResizePending = false;
        }
    }

    void Engine::HandleResize()
    {
        myDX11->Resize();
        if (DX11::BackBuffer)
        {
            DX11::BackBuffer->SetAsActiveTarget(nullptr);
        }
        myConfiguration.myRenderSize = DX11::GetBackBufferSize();
        myConfiguration.myWindowSize = OuterWindowSize();
    }

    Vector2<std::uint32_t> Engine::OuterWindowSize() const
    {
        // The client rectangle grown by the frame of the window's current style.
        if (!myConfiguration.myWindowHandle)
        {
            return myConfiguration.myWindowSize;
        }
        const Platform::WindowHandle window = *myConfiguration.myWindowHandle;
        Platform::Rect rectangle;
        if (!Platform::GetClientRect(window, rectangle))
        {
            return myConfiguration.myWindowSize;
        }
        const auto style = static_cast<std::uint32_t>(Platform::GetWindowLongPtr(window, Platform::GWL_STYLE));
        Platform::AdjustWindowRect(rectangle, style, false);
        return { static_cast<std::uint32_t>(rectangle.myRight - rectangle.myLeft), static_cast<std::uint32_t>(rectangle.myBottom - rectangle.myTop) };
    }

    bool Engine::IsFullscreen() const
    {
        return myConfiguration.myBorderless;
    }

    void Engine::ToggleFullscreen()
    {
        myConfiguration.myBorderless = !myConfiguration.myBorderless;
        myWindowHandler->SetFullscreen(myConfiguration.myBorderless);
        myIsResizePending = true;
    }

    void Engine::SetClearColor(const Color& aColor)
    {
        myConfiguration.myClearColor = aColor;
    }

    bool Engine::IsDebugFeatureOn(DebugFeature aFeature) const
    {
        const std::uint32_t mask = myConfiguration.myDebugFeatures;
        const std::uint32_t all = ToMask(DebugFeature::All);
        if ((mask & all) == all)
        {
            return true;
        }
        return (mask & ToMask(aFeature)) != 0;
    }
}
