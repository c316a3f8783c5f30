#pragma once
#include "gpu/GpuObjects.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace Platform::Gpu::impl
{
    enum class GlObjectKind { Buffer, Texture, Sampler, Shader, Program, VertexArray, Framebuffer };

    // What every object of one device shares: the GL context and the thread that owns it, the
    // GL objects waiting for deletion and the linked programs.
    class DeviceState
    {
    public:
        DeviceState(SDL_Window* aWindow, SDL_GLContext aContext, bool anOwnsWindow);
        ~DeviceState();

        bool IsOnDeviceThread() const { return std::this_thread::get_id() == myThread; }
        // Makes the context current on this thread when it is the device thread and the context
        // still exists; false otherwise (no GL call may follow then).
        bool MakeCurrent();
        bool IsAlive() const { return myIsAlive.load(); }
        // Destroys the GL context; objects released afterwards have nothing left to delete.
        void Shutdown();

        // Deletes at once on the device thread, else queues the name for the next Flush.
        void Release(GlObjectKind aKind, GLuint aName);
        void DeleteQueued();
        void ForgetShader(uint64_t aShaderId);

        // The program linking a vertex and a pixel shader, linked on first use; 0 when linking fails.
        GLuint GetProgram(Shader& aVertexShader, Shader& aPixelShader);

        SDL_Window* GetWindow() const { return myWindow; }
        const std::string& GetRendererName() const { return myRendererName; }

        GLuint myDrawFramebuffer = 0;
        GLuint myScratchFramebuffer = 0;
        GLuint myReadFramebuffer = 0;
        GLuint myEmptyVertexArray = 0;
        GLuint myDefaultSampler = 0;

    private:
        void DeleteNow(GlObjectKind aKind, GLuint aName);

        SDL_Window* myWindow;
        SDL_GLContext myContext;
        bool myOwnsWindow;
        std::thread::id myThread;
        std::atomic<bool> myIsAlive{true};
        std::string myRendererName;

        std::mutex myQueueMutex;
        std::vector<std::pair<GlObjectKind, GLuint>> myQueue;

        std::mutex myProgramMutex;
        std::map<std::pair<uint64_t, uint64_t>, GLuint> myPrograms;
        std::vector<std::pair<uint64_t, uint64_t>> myFailedPrograms;
    };

    uint64_t NextObjectId();

    // The GL side of the objects: made on the device thread when first needed.
    class Backend
    {
    public:
        static bool Realize(Buffer& aBuffer);
        static bool Realize(Texture2D& aTexture);
        // Realizes a texture made on the device thread straight from its creator's memory, one
        // entry per subresource (an entry without memory, or no array, leaves it undefined).
        static bool Realize(Texture2D& aTexture, const SubresourceData* someInitialData);
        static bool Realize(ShaderResourceView& aView);
        static bool Realize(RenderTargetView& aView);
        static bool Realize(DepthStencilView& aView);
        static bool Realize(SamplerState& aSampler);
        static bool Realize(Shader& aShader);
        static bool Realize(InputLayout& aLayout);

        static GLuint GetName(const DeviceChild& anObject) { return anObject.myGlName; }
        static GLenum GetTarget(const Texture2D& aTexture) { return aTexture.myGlTarget; }
        static GLenum GetTarget(const ShaderResourceView& aView) { return aView.myGlTarget; }

        // Texture contents in the format's own memory layout, one subresource.
        static Texture2D::Subresource& GetSubresource(Texture2D& aTexture, uint32_t anIndex) { return aTexture.mySubresources[anIndex]; }
        static std::shared_ptr<const void>& GetTakenStorage(Texture2D& aTexture) { return aTexture.myTakenStorage; }
        static std::vector<std::byte>& GetShadow(Buffer& aBuffer) { return aBuffer.myShadow; }
        static bool& IsMapped(Buffer& aBuffer) { return aBuffer.myIsMapped; }
        // Marks a dynamic buffer's shadow as newer than its GL store (after a write-discard map).
        // aWrittenBytes: the leading bytes of the shadow that hold new contents; the rest is not read.
        static void MarkStoreStale(Buffer& aBuffer, uint32_t aWrittenBytes = UINT32_MAX);
        // Realizes the buffer and makes at least its first aByteCount bytes current in GL (all of
        // them by default); false when the buffer cannot be realized.
        // aSentBytes, when given, grows by the bytes sent.
        static bool Sync(Buffer& aBuffer, uint32_t aByteCount = UINT32_MAX, uint64_t* aSentBytes = nullptr);
        static void SetPendingData(Buffer& aBuffer) { aBuffer.myHasPendingData = true; }
        static void UploadSubresource(Texture2D& aTexture, uint32_t aSubresource, const void* aData, uint32_t aRowPitch);
        static void UploadRegion(Texture2D& aTexture, uint32_t aSubresource, const Box& aBox, const void* aData, uint32_t aRowPitch);
        static void DownloadSubresource(Texture2D& aTexture, uint32_t aSubresource, std::vector<std::byte>& someBytes);
        // Attaches a render-target or depth view to a framebuffer; false when it cannot be.
        static bool Attach(GLuint aFramebuffer, GLenum anAttachment, RenderTargetView& aView);
        static bool Attach(GLuint aFramebuffer, DepthStencilView& aView);

        static bool HasStencil(const DepthStencilView& aView);
        static bool CompileFailed(const Shader& aShader) { return aShader.myCompileFailed; }
        static const std::vector<uint32_t>& GetStepRates(const InputLayout& aLayout) { return aLayout.mySlotStepRates; }
        static const std::vector<uint32_t>& GetSlotExtents(const InputLayout& aLayout) { return aLayout.mySlotExtents; }
    };

    // Mip count of a full chain for the given size.
    uint32_t FullMipCount(uint32_t aWidth, uint32_t aHeight);

    // Rows of aRowBytes from a source aRowPitch apart (0: packed already), one after the other.
    std::vector<std::byte> PackRows(const void* aData, uint32_t aRowPitch, uint32_t aRowBytes, uint32_t aRows);
}
