#pragma once
#include "gpu/GpuObjects.h"
#include "gpu/GpuTypes.h"
#include "window/WindowMessages.h"

namespace Platform::Gpu
{
    class Adapter;
    class Device;
    class DeviceContext;

    enum class SwapEffect : uint32_t { Discard = 0, Sequential = 1, FlipSequential = 3, FlipDiscard = 4 };

    constexpr uint32_t USAGE_RENDER_TARGET_OUTPUT = 0x20;

    struct SwapChainDesc
    {
        // 0 by 0 takes the window's client size.
        uint32_t myWidth = 0;
        uint32_t myHeight = 0;
        uint32_t myRefreshNumerator = 0;
        uint32_t myRefreshDenominator = 0;
        Format myFormat = Format::B8G8R8A8_UNORM;
        SampleDesc mySampleDesc;
        uint32_t myBufferUsage = USAGE_RENDER_TARGET_OUTPUT;
        uint32_t myBufferCount = 1;
        WindowHandle myOutputWindow = nullptr;
        bool myWindowed = true;
        SwapEffect mySwapEffect = SwapEffect::Discard;
        uint32_t myFlags = 0;
    };

    // Buffer 0 is a real texture that render code targets; Present shows it in the window.
    class SwapChain
    {
    public:
        SwapChain(Ref<Device> aDevice, const SwapChainDesc& aDesc, Ref<Texture2D> aBuffer);
        ~SwapChain();
        SwapChain(const SwapChain&) = delete;
        SwapChain& operator=(const SwapChain&) = delete;

        Result GetBuffer(uint32_t anIndex, Ref<Texture2D>* aBuffer) const;
        Result GetDesc(SwapChainDesc* aDesc) const;
        // aSyncInterval 0 shows at once, 1 waits for a vertical blank.
        Result Present(uint32_t aSyncInterval, uint32_t someFlags);
        // 0 keeps the buffer count, 0 by 0 takes the window's client size, UNKNOWN keeps the format.
        Result ResizeBuffers(uint32_t aBufferCount, uint32_t aWidth, uint32_t aHeight, Format aFormat, uint32_t someFlags);
        uint32_t GetPresentCount() const { return myPresentCount; }

    private:
        Ref<Device> myDevice;
        SwapChainDesc myDesc;
        Ref<Texture2D> myBuffer;
        uint32_t myPresentCount = 0;
    };

    // Makes the device and its immediate context on the given adapter (null: the default one),
    // with a GL context of its own on a hidden window.
    Result CreateDevice(const Adapter* anAdapter, Ref<Device>* aDevice, Ref<DeviceContext>* aContext);
    // As CreateDevice, on the swap chain's window, which must be one the window layer made.
    Result CreateDeviceAndSwapChain(const Adapter* anAdapter, const SwapChainDesc& aDesc, Ref<SwapChain>* aSwapChain, Ref<Device>* aDevice, Ref<DeviceContext>* aContext);
}
