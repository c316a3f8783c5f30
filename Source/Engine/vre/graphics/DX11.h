#pragma once
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "graphics/DepthBuffer.h"
#include "graphics/RenderTarget.h"
#include "gpu/GpuObjects.h"

#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

namespace Platform::Gpu
{
    class Adapter;
    class Device;
    class DeviceContext;
    class Factory;
    class SwapChain;
}

namespace Vra
{
    class WindowHandler;

    // The device, its immediate context and the window's swap chain with the back buffer and a
    // depth buffer of its size, published as process-wide statics. Loads compiled shaders by name
    // from the cooked folder into two caches. One at a time.
    class DX11
    {
    public:
        struct VertexShaderEntry
        {
            Platform::Gpu::Ref<Platform::Gpu::VertexShader> myShader;
            std::string myBytecode; // kept for input layouts
        };

        DX11();
        ~DX11();
        DX11(const DX11&) = delete;
        DX11& operator=(const DX11&) = delete;

        bool Init(WindowHandler& aWindow);
        // Clears the back buffer to the colour (given in sRGB, cleared linear) and the depth
        // buffer to 1, then binds the back buffer without depth.
        void BeginFrame(const Color& aClearColor);
        void EndFrame(bool aVsync);
        // Rebuilds the back buffer and the depth buffer at the window's client size.
        bool Resize();

        // The cached shader, loaded on first request from "<cooked folder>/<name>.cso"; none when
        // the file is missing or not a shader, and then nothing is cached.
        static const VertexShaderEntry* GetVertexShader(const char* aName);
        static Platform::Gpu::Ref<Platform::Gpu::PixelShader> GetPixelShader(const char* aName);
        static Vector2<std::uint32_t> GetBackBufferSize();
        static bool IsOnMainThread();

        // The adapter to create the device on: the one whose description names "NVIDIA" or else
        // "ATI" with the most dedicated memory, else adapter 0; none without a factory or adapters.
        static Platform::Gpu::Ref<Platform::Gpu::Adapter> ChooseAdapter(const Platform::Gpu::Factory* aFactory);

        static bool IsCreated;
        static Platform::Gpu::Ref<Platform::Gpu::Device> Device;
        static Platform::Gpu::Ref<Platform::Gpu::DeviceContext> Context;
        static Platform::Gpu::Ref<Platform::Gpu::SwapChain> SwapChain;
        static RenderTarget* BackBuffer;
        static DepthBuffer* Depth;

    private:
        bool CreateTargets();
        void ClearPublished();

        WindowHandler* myWindow = nullptr;
        Platform::Gpu::Ref<Platform::Gpu::Device> myDevice;
        Platform::Gpu::Ref<Platform::Gpu::DeviceContext> myContext;
        Platform::Gpu::Ref<Platform::Gpu::SwapChain> mySwapChain;
        std::optional<RenderTarget> myBackBuffer;
        std::optional<DepthBuffer> myDepthBuffer;

        static std::thread::id ourMainThread;
        static std::unordered_map<std::string, VertexShaderEntry> ourVertexShaders;
        static std::unordered_map<std::string, Platform::Gpu::Ref<Platform::Gpu::PixelShader>> ourPixelShaders;
    };

    // sRGB to linear for red, green and blue; alpha kept.
    Color SrgbToLinear(const Color& aColor);

    // A constant buffer of aSize bytes on the device, rewritten by the CPU through write-discard
    // maps; none when the device refuses it.
    Platform::Gpu::Ref<Platform::Gpu::Buffer> CreateDynamicConstantBuffer(std::uint32_t aSize);

    // A vertex buffer of aSize bytes rewritten by the CPU through maps, filled from someInitialData
    // when given; none when the device refuses it.
    Platform::Gpu::Ref<Platform::Gpu::Buffer> CreateDynamicVertexBuffer(std::uint32_t aSize, const void* someInitialData = nullptr);
}
