#include "gpu/SwapChain.h"

#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/impl/DeviceState.h"
#include "gpu/impl/GlContext.h"
#include "window/impl/SdlWindow.h"

namespace Platform::Gpu
{
    namespace
    {
        Result MakeBuffer(Device& aDevice, const SwapChainDesc& aDesc, Ref<Texture2D>* aBuffer)
        {
            Texture2DDesc desc;
            desc.myWidth = aDesc.myWidth;
            desc.myHeight = aDesc.myHeight;
            desc.myFormat = aDesc.myFormat;
            desc.myBindFlags = BIND_RENDER_TARGET | BIND_SHADER_RESOURCE;
            return aDevice.CreateTexture2D(desc, nullptr, aBuffer);
        }

        void DrawableSize(SDL_Window* aWindow, uint32_t& aWidth, uint32_t& aHeight)
        {
            int width = 0;
            int height = 0;
            SDL_GL_GetDrawableSize(aWindow, &width, &height);
            aWidth = static_cast<uint32_t>(std::max(width, 1));
            aHeight = static_cast<uint32_t>(std::max(height, 1));
        }

        Result Publish(Ref<Device> aDevice, Ref<Device>* aDeviceOut, Ref<DeviceContext>* aContextOut)
        {
            if (aContextOut)
            {
                *aContextOut = aDevice->GetImmediateContext();
            }
            if (aDeviceOut)
            {
                *aDeviceOut = std::move(aDevice);
            }
            return Result::Ok;
        }
    }

    SwapChain::SwapChain(Ref<Device> aDevice, const SwapChainDesc& aDesc, Ref<Texture2D> aBuffer)
        : myDevice(std::move(aDevice)), myDesc(aDesc), myBuffer(std::move(aBuffer))
    {
    }

    SwapChain::~SwapChain() = default;

    Result SwapChain::GetBuffer(uint32_t anIndex, Ref<Texture2D>* aBuffer) const
    {
        if (anIndex != 0 || aBuffer == nullptr || !myBuffer)
        {
            return Result::InvalidArgument;
        }
        *aBuffer = myBuffer;
        return Result::Ok;
    }

    Result SwapChain::GetDesc(SwapChainDesc* aDesc) const
    {
        if (aDesc == nullptr)
        {
            return Result::InvalidArgument;
        }
        *aDesc = myDesc;
        return Result::Ok;
    }

    Result SwapChain::Present(uint32_t aSyncInterval, uint32_t)
    {
        impl::DeviceState& state = *myDevice->GetState();
        if (!state.MakeCurrent() || !myBuffer || !impl::Backend::Realize(*myBuffer))
        {
            return Result::Fail;
        }
        SDL_Window* window = Platform::impl::GetSdlWindow(myDesc.myOutputWindow);
        uint32_t width = 0;
        uint32_t height = 0;
        DrawableSize(window, width, height);
        const GLuint readFramebuffer = state.myReadFramebuffer;
        glNamedFramebufferTexture(readFramebuffer, GL_COLOR_ATTACHMENT0, impl::Backend::GetName(*myBuffer), 0);
        glNamedFramebufferReadBuffer(readFramebuffer, GL_COLOR_ATTACHMENT0);
        glDisable(GL_FRAMEBUFFER_SRGB);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        // The buffer holds its top row first; the window shows its bottom row first.
        const auto& desc = myBuffer->GetDesc();
        glBlitNamedFramebuffer(readFramebuffer, 0, 0, 0, static_cast<GLint>(desc.myWidth), static_cast<GLint>(desc.myHeight), 0, static_cast<GLint>(height), static_cast<GLint>(width), 0,
            GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glEnable(GL_FRAMEBUFFER_SRGB);
        glNamedFramebufferTexture(readFramebuffer, GL_COLOR_ATTACHMENT0, 0, 0);
        SDL_GL_SetSwapInterval(aSyncInterval > 0 ? 1 : 0);
        SDL_GL_SwapWindow(window);
        state.DeleteQueued();
        ++myPresentCount;
        return Result::Ok;
    }

    Result SwapChain::ResizeBuffers(uint32_t aBufferCount, uint32_t aWidth, uint32_t aHeight, Format aFormat, uint32_t)
    {
        SwapChainDesc desc = myDesc;
        if (aBufferCount != 0)
        {
            desc.myBufferCount = aBufferCount;
        }
        if (aFormat != Format::UNKNOWN)
        {
            desc.myFormat = aFormat;
        }
        desc.myWidth = aWidth;
        desc.myHeight = aHeight;
        if (desc.myWidth == 0 || desc.myHeight == 0)
        {
            DrawableSize(Platform::impl::GetSdlWindow(desc.myOutputWindow), desc.myWidth, desc.myHeight);
        }
        Ref<Texture2D> buffer;
        if (const Result result = MakeBuffer(*myDevice, desc, &buffer); FAILED(result))
        {
            return result;
        }
        myBuffer = std::move(buffer);
        myDesc = desc;
        return Result::Ok;
    }

    Result CreateDevice(const Adapter*, Ref<Device>* aDevice, Ref<DeviceContext>* aContext)
    {
        SDL_Window* window = impl::CreateHiddenWindow();
        if (window == nullptr)
        {
            return Result::Fail;
        }
        SDL_GLContext context = impl::CreateGlContext(window);
        if (context == nullptr)
        {
            SDL_DestroyWindow(window);
            return Result::Fail;
        }
        auto state = std::make_shared<impl::DeviceState>(window, context, true);
        return Publish(std::make_shared<Device>(std::move(state)), aDevice, aContext);
    }

    Result CreateDeviceAndSwapChain(const Adapter*, const SwapChainDesc& aDesc, Ref<SwapChain>* aSwapChain, Ref<Device>* aDevice, Ref<DeviceContext>* aContext)
    {
        SDL_Window* window = Platform::impl::GetSdlWindow(aDesc.myOutputWindow);
        if (window == nullptr || aSwapChain == nullptr)
        {
            return Result::InvalidArgument;
        }
        SDL_GLContext context = impl::CreateGlContext(window);
        if (context == nullptr)
        {
            return Result::Fail;
        }
        auto device = std::make_shared<Device>(std::make_shared<impl::DeviceState>(window, context, false));
        SwapChainDesc desc = aDesc;
        if (desc.myWidth == 0 || desc.myHeight == 0)
        {
            DrawableSize(window, desc.myWidth, desc.myHeight);
        }
        Ref<Texture2D> buffer;
        if (const Result result = MakeBuffer(*device, desc, &buffer); FAILED(result))
        {
            return result;
        }
        *aSwapChain = std::make_shared<SwapChain>(device, desc, std::move(buffer));
        return Publish(std::move(device), aDevice, aContext);
    }
}
