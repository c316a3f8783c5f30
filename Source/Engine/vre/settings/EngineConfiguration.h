#pragma once
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "window/WindowMessages.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Vra
{
    // Bits of the configuration's debug-feature mask.
    enum class DebugFeature : std::uint32_t
    {
        None = 0,
        Fps = 1,
        Mem = 2,
        Drawcalls = 4,
        Cpu = 8,
        FpsGraph = 16,
        Filewatcher = 32,
        OptimizeWarnings = 64,
        MemoryTrackingStackTraces = 128,
        MemoryTrackingAllAllocations = 256,
        All = 511,
    };

    constexpr std::uint32_t ToMask(DebugFeature aFeature) { return static_cast<std::uint32_t>(aFeature); }

    enum class MultisamplingLevel : std::uint8_t
    {
        Off = 0,
        Low = 1,
        Medium = 2,
        High = 3,
    };

    // Handed every window message before the engine's own handling.
    using WindowMessageCallback =
        std::function<Platform::LResult(Platform::WindowHandle, std::uint32_t, Platform::WParam, Platform::LParam)>;

    inline constexpr const char* DEFAULT_WINDOW_TITLE = "Vra";

    // What the engine starts from. Sizes are (x = width, y = height) in pixels.
    struct EngineConfiguration
    {
        WindowMessageCallback myMessageCallback;
        std::function<void()> myFirstExtraCallback;
        std::function<void()> mySecondExtraCallback;
        Vector2<std::uint32_t> myWindowSize{ 1280, 720 };
        Vector2<std::uint32_t> myRenderSize{ 1280, 720 };
        std::uint32_t myDebugFeatures = ToMask(DebugFeature::Fps) | ToMask(DebugFeature::Mem);
        Color myClearColor{ 3.0f / 255.0f, 153.0f / 255.0f, 176.0f / 255.0f, 1.0f };
        // When set before the engine starts, the engine adopts that window instead of creating one.
        Platform::WindowHandle* myWindowHandle = nullptr;
        Platform::InstanceHandle myInstanceHandle = nullptr;
        std::string myTitle = DEFAULT_WINDOW_TITLE; // UTF-8
        bool myEnableVsync = false;
        bool myStartInFullscreen = false;
        bool myStartMaximized = false;
        bool myBorderless = false; // the engine's fullscreen flag
        MultisamplingLevel myMultisampling = MultisamplingLevel::Off;
    };

    // The process-wide configuration, usable before the engine exists.
    EngineConfiguration& GetEngineConfiguration();
}
