#include "gpu/impl/DeviceState.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace Platform::Gpu::impl
{
    uint64_t NextObjectId()
    {
        static std::atomic<uint64_t> nextId{1};
        return nextId.fetch_add(1);
    }

    uint32_t FullMipCount(uint32_t aWidth, uint32_t aHeight)
    {
        uint32_t count = 1;
        uint32_t size = std::max(aWidth, aHeight);
        while (size > 1)
        {
            size /= 2;
            ++count;
        }
        return count;
    }

    namespace
    {
        void GLAPIENTRY ReportGlMessage(GLenum, GLenum aType, GLuint, GLenum, GLsizei, const GLchar* aMessage, const void*)
        {
            if (aType == GL_DEBUG_TYPE_ERROR)
            {
                std::fprintf(stderr, "GL: %s\n", aMessage);
            }
        }
    }

    DeviceState::DeviceState(SDL_Window* aWindow, SDL_GLContext aContext, bool anOwnsWindow)
        : myWindow(aWindow), myContext(aContext), myOwnsWindow(anOwnsWindow), myThread(std::this_thread::get_id())
    {
        MakeCurrent();
        const GLubyte* renderer = glGetString(GL_RENDERER);
        myRendererName = renderer ? reinterpret_cast<const char*>(renderer) : "";
        glCreateFramebuffers(1, &myDrawFramebuffer);
        glCreateFramebuffers(1, &myScratchFramebuffer);
        glCreateFramebuffers(1, &myReadFramebuffer);
        glCreateVertexArrays(1, &myEmptyVertexArray);
        glCreateSamplers(1, &myDefaultSampler);
        glSamplerParameteri(myDefaultSampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glSamplerParameteri(myDefaultSampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(myDefaultSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(myDefaultSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(myDefaultSampler, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
        // Render targets are addressed from the top-left with depth 0..1, as the render code
        // expects; presenting flips the picture into the window.
        glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
        glEnable(GL_FRAMEBUFFER_SRGB);
        glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
        // VRA_GL_DEBUG=1 reports the driver's errors on the error stream.
        if (const char* debug = std::getenv("VRA_GL_DEBUG"); debug != nullptr && debug[0] == '1')
        {
            glEnable(GL_DEBUG_OUTPUT);
            glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
            glDebugMessageCallback(ReportGlMessage, nullptr);
        }
    }

    DeviceState::~DeviceState()
    {
        Shutdown();
    }

    bool DeviceState::MakeCurrent()
    {
        if (!myIsAlive.load() || !IsOnDeviceThread())
        {
            return false;
        }
        if (SDL_GL_GetCurrentContext() != myContext)
        {
            return SDL_GL_MakeCurrent(myWindow, myContext) == 0;
        }
        return true;
    }

    void DeviceState::Shutdown()
    {
        if (!myIsAlive.load())
        {
            return;
        }
        if (MakeCurrent())
        {
            DeleteQueued();
            std::lock_guard lock(myProgramMutex);
            for (const auto& [key, program] : myPrograms)
            {
                glDeleteProgram(program);
            }
            myPrograms.clear();
        }
        myIsAlive.store(false);
        SDL_GL_MakeCurrent(myWindow, nullptr);
        SDL_GL_DeleteContext(myContext);
        if (myOwnsWindow)
        {
            SDL_DestroyWindow(myWindow);
        }
        myContext = nullptr;
    }

    void DeviceState::Release(GlObjectKind aKind, GLuint aName)
    {
        if (aName == 0 || !myIsAlive.load())
        {
            return;
        }
        if (MakeCurrent())
        {
            DeleteNow(aKind, aName);
            return;
        }
        std::lock_guard lock(myQueueMutex);
        myQueue.emplace_back(aKind, aName);
    }

    void DeviceState::DeleteQueued()
    {
        std::vector<std::pair<GlObjectKind, GLuint>> queued;
        {
            std::lock_guard lock(myQueueMutex);
            queued.swap(myQueue);
        }
        if (!MakeCurrent())
        {
            return;
        }
        for (const auto& [kind, name] : queued)
        {
            DeleteNow(kind, name);
        }
    }

    void DeviceState::DeleteNow(GlObjectKind aKind, GLuint aName)
    {
        switch (aKind)
        {
        case GlObjectKind::Buffer: glDeleteBuffers(1, &aName); break;
        case GlObjectKind::Texture: glDeleteTextures(1, &aName); break;
        case GlObjectKind::Sampler: glDeleteSamplers(1, &aName); break;
        case GlObjectKind::Shader: glDeleteShader(aName); break;
        case GlObjectKind::Program: glDeleteProgram(aName); break;
        case GlObjectKind::VertexArray: glDeleteVertexArrays(1, &aName); break;
        case GlObjectKind::Framebuffer: glDeleteFramebuffers(1, &aName); break;
        }
    }

    void DeviceState::ForgetShader(uint64_t aShaderId)
    {
        std::vector<GLuint> programs;
        {
            std::lock_guard lock(myProgramMutex);
            for (auto it = myPrograms.begin(); it != myPrograms.end();)
            {
                if (it->first.first == aShaderId || it->first.second == aShaderId)
                {
                    programs.push_back(it->second);
                    it = myPrograms.erase(it);
                }
                else
                {
                    ++it;
                }
            }
            std::erase_if(myFailedPrograms, [aShaderId](const auto& aKey) { return aKey.first == aShaderId || aKey.second == aShaderId; });
        }
        for (const GLuint program : programs)
        {
            Release(GlObjectKind::Program, program);
        }
    }

    GLuint DeviceState::GetProgram(Shader& aVertexShader, Shader& aPixelShader)
    {
        const std::pair key(aVertexShader.GetId(), aPixelShader.GetId());
        std::lock_guard lock(myProgramMutex);
        if (const auto found = myPrograms.find(key); found != myPrograms.end())
        {
            return found->second;
        }
        if (std::find(myFailedPrograms.begin(), myFailedPrograms.end(), key) != myFailedPrograms.end())
        {
            return 0;
        }
        if (!Backend::Realize(aVertexShader) || !Backend::Realize(aPixelShader))
        {
            myFailedPrograms.push_back(key);
            return 0;
        }
        const GLuint program = glCreateProgram();
        glAttachShader(program, Backend::GetName(aVertexShader));
        glAttachShader(program, Backend::GetName(aPixelShader));
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE)
        {
            char log[2048] = {};
            glGetProgramInfoLog(program, sizeof(log), nullptr, log);
            std::fprintf(stderr, "GPU: linking shaders failed: %s\n", log);
            glDeleteProgram(program);
            myFailedPrograms.push_back(key);
            return 0;
        }
        glDetachShader(program, Backend::GetName(aVertexShader));
        glDetachShader(program, Backend::GetName(aPixelShader));
        myPrograms.emplace(key, program);
        return program;
    }
}
