#include "GpuTestSupport.h"

#include "gpu/Factory.h"
#include "window/Window.h"

using namespace Platform::Gpu;

namespace
{
    Platform::LResult PlainProcedure(Platform::WindowHandle aWindow, std::uint32_t aMessage, Platform::WParam aWParam, Platform::LParam aLParam)
    {
        return Platform::DefWindowProc(aWindow, aMessage, aWParam, aLParam);
    }

    Platform::WindowHandle MakeWindow(int aWidth, int aHeight)
    {
        Platform::WindowClass windowClass;
        windowClass.myProcedure = PlainProcedure;
        windowClass.myClassName = "SwapChainTestWindow";
        Platform::RegisterClassEx(windowClass);
        return Platform::CreateWindowEx(0, "SwapChainTestWindow", "", Platform::WS_OVERLAPPEDWINDOW, 0, 0, aWidth, aHeight, nullptr, nullptr, nullptr, nullptr);
    }
}

TEST(SwapChain, BufferTakesTheClientSizeAndFollowsAResize)
{
    Platform::WindowHandle window = MakeWindow(96, 64);
    ASSERT_NE(window, nullptr);
    SwapChainDesc desc;
    desc.myOutputWindow = window;
    Ref<SwapChain> swapChain;
    Ref<Device> device;
    Ref<DeviceContext> context;
    ASSERT_TRUE(SUCCEEDED(CreateDeviceAndSwapChain(nullptr, desc, &swapChain, &device, &context)));

    Ref<Texture2D> buffer;
    ASSERT_TRUE(SUCCEEDED(swapChain->GetBuffer(0, &buffer)));
    EXPECT_EQ(buffer->GetDesc().myWidth, 96u);
    EXPECT_EQ(buffer->GetDesc().myHeight, 64u);
    EXPECT_EQ(buffer->GetDesc().myFormat, Format::B8G8R8A8_UNORM);
    EXPECT_EQ(swapChain->GetBuffer(1, &buffer), Result::InvalidArgument);

    Ref<RenderTargetView> view;
    ASSERT_TRUE(SUCCEEDED(device->CreateRenderTargetView(buffer, nullptr, &view)));
    const float color[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    context->ClearRenderTargetView(view, color);
    EXPECT_TRUE(SUCCEEDED(swapChain->Present(0, 0)));
    EXPECT_EQ(GpuTestSupport::ReadBack(*device, buffer)[0], 255) << "blue comes first in the buffer's bytes";

    Platform::SetWindowPos(window, nullptr, 0, 0, 50, 40, Platform::SWP_NOMOVE);
    view.reset();
    buffer.reset();
    ASSERT_TRUE(SUCCEEDED(swapChain->ResizeBuffers(0, 0, 0, Format::UNKNOWN, 0)));
    ASSERT_TRUE(SUCCEEDED(swapChain->GetBuffer(0, &buffer)));
    EXPECT_EQ(buffer->GetDesc().myWidth, 50u);
    EXPECT_EQ(buffer->GetDesc().myHeight, 40u);
    EXPECT_EQ(swapChain->GetPresentCount(), 1u);

    buffer.reset();
    swapChain.reset();
    context.reset();
    device.reset();
    Platform::DestroyWindow(window);
}

TEST(SwapChain, WindowWithoutOneFails)
{
    SwapChainDesc desc;
    Ref<SwapChain> swapChain;
    EXPECT_EQ(CreateDeviceAndSwapChain(nullptr, desc, &swapChain, nullptr, nullptr), Result::InvalidArgument);
}

TEST(Factory, OffersTheGlRendererAsTheOnlyAdapter)
{
    Ref<Factory> factory;
    ASSERT_TRUE(SUCCEEDED(Factory::Create(&factory)));
    Ref<Adapter> adapter;
    ASSERT_TRUE(SUCCEEDED(factory->EnumAdapters(0, &adapter)));
    AdapterDesc desc;
    ASSERT_TRUE(SUCCEEDED(adapter->GetDesc(&desc)));
    EXPECT_FALSE(desc.myDescription.empty());
    EXPECT_EQ(factory->EnumAdapters(1, &adapter), Result::NotFound);
}
