#include "graphics/DX11.h"

#include "Assert.h"
#include "graphics/WindowHandler.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/Factory.h"
#include "gpu/SwapChain.h"
#include "settings/Settings.h"

#include <fstream>
#include <iterator>

namespace Vra
{
    using namespace Platform::Gpu;

    bool DX11::IsCreated = false;
    Ref<Device> DX11::Device;
    Ref<DeviceContext> DX11::Context;
    Ref<SwapChain> DX11::SwapChain;
    RenderTarget* DX11::BackBuffer = nullptr;
    DepthBuffer* DX11::Depth = nullptr;
    std::thread::id DX11::ourMainThread;
    std::unordered_map<std::string, DX11::VertexShaderEntry> DX11::ourVertexShaders;
    std::unordered_map<std::string, Ref<PixelShader>> DX11::ourPixelShaders;

    namespace
    {
        bool ReadShaderFile(const char* aName, std::string& someBytes)
        {
            if (aName == nullptr)
            {
                return false;
            }
            const std::filesystem::path path = CookedAssetsPath() / (std::string(aName) + ".cso");
            std::ifstream file(path, std::ios::binary);
            if (!file)
            {
                return false;
            }
            someBytes.assign(std::istreambuf_iterator<char>(file), {});
            return !someBytes.empty();
        }
    }

    Color SrgbToLinear(const Color& aColor)
    {
        return {SrgbToLinear(aColor.r), SrgbToLinear(aColor.g), SrgbToLinear(aColor.b), aColor.a};
    }

    namespace
    {
        Ref<Buffer> CreateDynamicBuffer(std::uint32_t aSize, std::uint32_t aBindFlags, const void* someInitialData)
        {
            BufferDesc description;
            description.myByteWidth = aSize;
            description.myUsage = Usage::Dynamic;
            description.myBindFlags = aBindFlags;
            description.myCpuAccessFlags = CPU_ACCESS_WRITE;
            SubresourceData initialData;
            initialData.mySysMem = someInitialData;
            Ref<Buffer> buffer;
            if (FAILED(DX11::Device->CreateBuffer(description, someInitialData ? &initialData : nullptr, &buffer)))
            {
                return nullptr;
            }
            return buffer;
        }
    }

    Ref<Buffer> CreateDynamicConstantBuffer(std::uint32_t aSize)
    {
        return CreateDynamicBuffer(aSize, BIND_CONSTANT_BUFFER, nullptr);
    }

    Ref<Buffer> CreateDynamicVertexBuffer(std::uint32_t aSize, const void* someInitialData)
    {
        return CreateDynamicBuffer(aSize, BIND_VERTEX_BUFFER, someInitialData);
    }

    DX11::DX11()
    {
        CU_ASSERT(IsCreated == false);
        IsCreated = true;
    }

    DX11::~DX11()
    {
        CU_ASSERT(IsCreated == true);
        // Shaders and targets belong to this device: nothing of it may outlive it in the statics.
        ourVertexShaders.clear();
        ourPixelShaders.clear();
        ClearPublished();
        myBackBuffer.reset();
        myDepthBuffer.reset();
        SwapChain.reset();
        Context.reset();
        Device.reset();
        mySwapChain.reset();
        myContext.reset();
        myDevice.reset();
        IsCreated = false;
    }

    Ref<Adapter> DX11::ChooseAdapter(const Factory* aFactory)
    {
        if (aFactory == nullptr)
        {
            return nullptr;
        }
        std::vector<Ref<Adapter>> adapters;
        for (uint32_t index = 0;; ++index)
        {
            Ref<Adapter> adapter;
            if (aFactory->EnumAdapters(index, &adapter) == Result::NotFound)
            {
                break;
            }
            adapters.push_back(adapter);
        }
        if (adapters.empty())
        {
            return nullptr;
        }
        std::size_t chosen = 0;
        int32_t bestMemory = 0;
        for (std::size_t index = 0; index < adapters.size(); ++index)
        {
            AdapterDesc desc;
            if (!adapters[index] || FAILED(adapters[index]->GetDesc(&desc)))
            {
                continue;
            }
            const bool isNamed = desc.myDescription.find("NVIDIA") != std::string::npos || desc.myDescription.find("ATI") != std::string::npos;
            const auto memory = static_cast<int32_t>(desc.myDedicatedVideoMemory >> 20);
            if (isNamed && memory > bestMemory)
            {
                chosen = index;
                bestMemory = memory;
            }
        }
        AdapterDesc desc;
        if (!adapters[chosen] || FAILED(adapters[chosen]->GetDesc(&desc)))
        {
            return nullptr;
        }
        return adapters[chosen];
    }

    bool DX11::Init(WindowHandler& aWindow)
    {
        myWindow = &aWindow;
        SwapChainDesc desc;
        desc.myWidth = 0;
        desc.myHeight = 0;
        desc.myRefreshNumerator = 0;
        desc.myRefreshDenominator = 0;
        desc.myFormat = Format::B8G8R8A8_UNORM;
        desc.mySampleDesc = {1, 0};
        desc.myBufferUsage = USAGE_RENDER_TARGET_OUTPUT;
        desc.myBufferCount = 1;
        desc.myOutputWindow = aWindow.GetWindowHandle();
        desc.myWindowed = true;
        desc.mySwapEffect = SwapEffect::Discard;
        desc.myFlags = 0;

        Ref<Factory> factory;
        if (FAILED(Factory::Create(&factory)))
        {
            factory.reset();
        }
        const Ref<Adapter> adapter = ChooseAdapter(factory.get());
        if (!adapter)
        {
            return false;
        }
        if (FAILED(CreateDeviceAndSwapChain(adapter.get(), desc, &mySwapChain, &myDevice, &myContext)))
        {
            return false;
        }
        Device = myDevice;
        Context = myContext;
        SwapChain = mySwapChain;
        if (!CreateTargets())
        {
            return false;
        }
        ourMainThread = std::this_thread::get_id();
        return true;
    }

    bool DX11::CreateTargets()
    {
        Ref<Texture2D> buffer;
        if (FAILED(mySwapChain->GetBuffer(0, &buffer)) || !buffer)
        {
            return false;
        }
        myBackBuffer.emplace(buffer, Format::B8G8R8A8_UNORM_SRGB);
        const Vector2<std::uint32_t> size{buffer->GetDesc().myWidth, buffer->GetDesc().myHeight};
        buffer.reset();
        myDepthBuffer = DepthBuffer::Create(size);
        myBackBuffer->SetAsActiveTarget(&*myDepthBuffer);
        BackBuffer = &*myBackBuffer;
        Depth = &*myDepthBuffer;
        return true;
    }

    void DX11::ClearPublished()
    {
        BackBuffer = nullptr;
        Depth = nullptr;
    }

    void DX11::BeginFrame(const Color& aClearColor)
    {
        if (!myBackBuffer || !myDepthBuffer)
        {
            return;
        }
        myBackBuffer->Clear(SrgbToLinear(aClearColor));
        myDepthBuffer->Clear(1.0f, 0);
        myBackBuffer->SetAsActiveTarget(nullptr);
    }

    void DX11::EndFrame(bool aVsync)
    {
        if (mySwapChain)
        {
            mySwapChain->Present(aVsync ? 1 : 0, 0);
        }
    }

    bool DX11::Resize()
    {
        if (myContext)
        {
            const Ref<RenderTargetView> none;
            myContext->OMSetRenderTargets(1, &none, nullptr);
            myContext->OMSetDepthStencilState(nullptr, 0);
            myContext->ClearState();
        }
        if (!mySwapChain)
        {
            return false;
        }
        ClearPublished();
        myBackBuffer.reset();
        myDepthBuffer.reset();
        myContext->Flush();
        if (FAILED(mySwapChain->ResizeBuffers(0, 0, 0, Format::UNKNOWN, 0)))
        {
            return false;
        }
        return CreateTargets();
    }

    const DX11::VertexShaderEntry* DX11::GetVertexShader(const char* aName)
    {
        const std::string name = aName ? aName : "";
        if (const auto found = ourVertexShaders.find(name); found != ourVertexShaders.end())
        {
            return &found->second;
        }
        VertexShaderEntry& entry = ourVertexShaders[name];
        if (Device && ReadShaderFile(aName, entry.myBytecode) && SUCCEEDED(Device->CreateVertexShader(entry.myBytecode.data(), entry.myBytecode.size(), &entry.myShader)))
        {
            return &entry;
        }
        ourVertexShaders.erase(name);
        return nullptr;
    }

    Ref<PixelShader> DX11::GetPixelShader(const char* aName)
    {
        const std::string name = aName ? aName : "";
        if (const auto found = ourPixelShaders.find(name); found != ourPixelShaders.end())
        {
            return found->second;
        }
        Ref<PixelShader>& entry = ourPixelShaders[name];
        std::string bytes;
        if (Device && ReadShaderFile(aName, bytes) && SUCCEEDED(Device->CreatePixelShader(bytes.data(), bytes.size(), &entry)))
        {
            return entry;
        }
        ourPixelShaders.erase(name);
        return nullptr;
    }

    Vector2<std::uint32_t> DX11::GetBackBufferSize()
    {
        return BackBuffer ? BackBuffer->GetSize() : Vector2<std::uint32_t>{0, 0};
    }

    bool DX11::IsOnMainThread()
    {
        return std::this_thread::get_id() == ourMainThread;
    }
}
