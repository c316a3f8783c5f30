#include "gpu/Factory.h"

#include "gpu/impl/GlContext.h"

#include <epoxy/gl.h>

namespace Platform::Gpu
{
    namespace
    {
        constexpr GLenum GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX = 0x9047;
        constexpr GLenum VBO_FREE_MEMORY_ATI = 0x87FB;

        uint32_t VendorIdOf(const std::string& aVendor)
        {
            if (aVendor.find("NVIDIA") != std::string::npos)
            {
                return 0x10DE;
            }
            if (aVendor.find("ATI") != std::string::npos || aVendor.find("AMD") != std::string::npos)
            {
                return 0x1002;
            }
            if (aVendor.find("Intel") != std::string::npos)
            {
                return 0x8086;
            }
            return 0;
        }

        AdapterDesc DescribeCurrentRenderer()
        {
            AdapterDesc desc;
            const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
            const auto* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
            desc.myDescription = renderer ? renderer : "";
            desc.myVendorId = VendorIdOf(vendor ? vendor : "");
            GLint kilobytes[4] = {};
            if (epoxy_has_gl_extension("GL_NVX_gpu_memory_info"))
            {
                glGetIntegerv(GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX, kilobytes);
            }
            else if (epoxy_has_gl_extension("GL_ATI_meminfo"))
            {
                glGetIntegerv(VBO_FREE_MEMORY_ATI, kilobytes);
            }
            desc.myDedicatedVideoMemory = static_cast<uint64_t>(kilobytes[0]) * 1024;
            return desc;
        }
    }

    Result Adapter::GetDesc(AdapterDesc* aDesc) const
    {
        if (aDesc == nullptr)
        {
            return Result::InvalidArgument;
        }
        *aDesc = myDesc;
        return Result::Ok;
    }

    Result Factory::Create(Ref<Factory>* aFactory)
    {
        if (aFactory == nullptr)
        {
            return Result::InvalidArgument;
        }
        SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
        SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
        SDL_Window* window = impl::CreateHiddenWindow();
        if (window == nullptr)
        {
            return Result::Fail;
        }
        SDL_GLContext context = impl::CreateGlContext(window);
        Result result = Result::Fail;
        if (context != nullptr)
        {
            *aFactory = std::make_shared<Factory>(std::vector<AdapterDesc>{DescribeCurrentRenderer()});
            SDL_GL_MakeCurrent(window, nullptr);
            SDL_GL_DeleteContext(context);
            result = Result::Ok;
        }
        SDL_DestroyWindow(window);
        if (previousContext != nullptr)
        {
            SDL_GL_MakeCurrent(previousWindow, previousContext);
        }
        return result;
    }

    Result Factory::EnumAdapters(uint32_t anIndex, Ref<Adapter>* anAdapter) const
    {
        if (anIndex >= myAdapters.size())
        {
            return Result::NotFound;
        }
        if (anAdapter == nullptr)
        {
            return Result::InvalidArgument;
        }
        *anAdapter = std::make_shared<Adapter>(myAdapters[anIndex]);
        return Result::Ok;
    }
}
