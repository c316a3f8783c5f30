#pragma once
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "engine/StepTimer.h"
#include "settings/EngineConfiguration.h"

#include <cstdint>
#include <memory>

namespace Vra
{
    class WindowHandler;
    class DX11;
    class GraphicsEngine;
    class TextureManager;
    class TextService;
    class CallbackLists;
    class FileWatcher;

    // The one engine: owns the window, the device, the drawers, the texture manager, the text
    // service and the file watcher, and runs the frame around the game's update and render.
    class Engine
    {
    public:
        // False when an engine exists already or the start fails. The engine is registered before
        // it starts, so after a failed start a second Start is refused too.
        static bool Start();
        // Destroys the engine; safe to call when there is none.
        static void Shutdown();
        static Engine* GetInstance() { return ourInstance; }

        // Pumps the window messages, runs queued reloads and clears; false once quit was seen.
        bool BeginFrame();
        // Steps the clock, presents and follows a pending resize.
        void EndFrame();

        bool IsFullscreen() const;
        void ToggleFullscreen();
        void SetClearColor(const Color& aColor);
        bool IsDebugFeatureOn(DebugFeature aFeature) const;
        // Set by the window procedure on a size message; the next EndFrame follows it.
        void MarkResizePending() { myIsResizePending = true; }

        GraphicsEngine* GetGraphicsEngine() const { return myGraphicsEngine.get(); }
        TextureManager* GetTextureManager() const { return myTextureManager.get(); }
        TextService* GetTextService() const { return myTextService.get(); }
        FileWatcher* GetFileWatcher() const { return myFileWatcher.get(); }
        WindowHandler* GetWindowHandler() const { return myWindowHandler.get(); }
        CallbackLists* GetCallbackLists() const { return myCallbackLists.get(); }
        const EngineConfiguration& GetConfiguration() const { return myConfiguration; }
        Vector2<std::uint32_t> GetRenderSize() const { return myConfiguration.myRenderSize; }
        float GetDeltaTime() const { return myDeltaTime; }
        float GetTotalTime() const { return myTotalTime; }
        bool IsResizePending() const { return myIsResizePending; }

        // Every draw call the engine issues counts here; BeginFrame rolls the count into the last
        // frame's.
        static void CountDrawCall() { ++ourDrawCallCount; }
        static std::uint32_t GetDrawCallCount() { return ourDrawCallCount; }
        static std::uint32_t GetLastFrameDrawCallCount() { return ourLastFrameDrawCallCount; }

        ~Engine();
        Engine(const Engine&) = delete;
        Engine& operator=(const Engine&) = delete;

    private:
        Engine();
        bool InternalStart();
        void HandleResize();
        Vector2<std::uint32_t> OuterWindowSize() const;

        static Engine* ourInstance;
        static std::uint32_t ourDrawCallCount;
        static std::uint32_t ourLastFrameDrawCallCount;

        std::unique_ptr<WindowHandler> myWindowHandler;
        std::unique_ptr<DX11> myDX11;
        std::unique_ptr<GraphicsEngine> myGraphicsEngine;
        std::unique_ptr<TextureManager> myTextureManager;
        std::unique_ptr<TextService> myTextService;
        EngineConfiguration myConfiguration;
        std::unique_ptr<CallbackLists> myCallbackLists;
        std::unique_ptr<FileWatcher> myFileWatcher;
        bool myIsResizePending = false;
        float myTotalTime = 0.0f;
        float myDeltaTime = 0.0f;
        StepTimer myStepTimer;
        bool myIsQuitSeen = false;
        bool myIsStarted = false;
    };
}
