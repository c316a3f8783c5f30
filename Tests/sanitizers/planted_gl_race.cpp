// Races of our own on the GL driver's path: a vertex buffer's source data written by one of our
// threads while the device thread hands it to the driver (UpdateSubresource), and a staging
// buffer's mapped bytes read by one of our threads while a read-back map makes the driver fill
// them; in both, one side of the race runs inside the driver's code. Beside them, an object of
// ours with a condition variable deleted while another thread still notifies it, the fault a
// suppression of the driver's fence destruction would hide. The race detector must report all
// three, and nothing else: the driver's own start-up stays quiet the way the tsan preset runs it
// (Tests/tsan.supp). Run headless with SDL_VIDEODRIVER=offscreen.
//
// The two sides are put in order by relaxed atomics, which the detector does not count as
// synchronisation: each race is reported on every run, never by chance.
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/SwapChain.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <thread>

namespace
{
    namespace Gpu = Platform::Gpu;

    constexpr std::size_t FLOAT_COUNT = 256;

    struct Notifier
    {
        std::condition_variable myCondition;
    };

    std::array<float, FLOAT_COUNT> theVertices{};
    std::atomic<int> theStep{0};
    volatile float theSum = 0.0f;

    void WaitForStep(int aStep)
    {
        while (theStep.load(std::memory_order_relaxed) < aStep)
        {
            std::this_thread::yield();
        }
    }

    // The functions below are kept out of line so that each report names one of them.
    [[gnu::noinline]] void PlantedRaceWriteVertices()
    {
        for (std::size_t index = 0; index < FLOAT_COUNT; ++index)
        {
            theVertices[index] = static_cast<float>(index);
        }
    }

    [[gnu::noinline]] void PlantedRaceUploadVertices(Gpu::DeviceContext& aContext, const Gpu::Ref<Gpu::Buffer>& aBuffer)
    {
        aContext.UpdateSubresource(aBuffer, 0, nullptr, theVertices.data(), 0, 0);
        aContext.Flush();
    }

    [[gnu::noinline]] void PlantedRaceReadMappedBytes(const float* someBytes)
    {
        float sum = 0.0f;
        for (std::size_t index = 0; index < FLOAT_COUNT; ++index)
        {
            sum += someBytes[index];
        }
        theSum = sum;
    }

    [[gnu::noinline]] bool PlantedRaceReadBack(Gpu::DeviceContext& aContext, const Gpu::Ref<Gpu::Buffer>& aBuffer)
    {
        Gpu::MappedSubresource mapped;
        if (FAILED(aContext.Map(aBuffer, 0, Gpu::MapType::Read, 0, &mapped)))
        {
            return false;
        }
        aContext.Unmap(aBuffer, 0);
        return true;
    }

    [[gnu::noinline]] void PlantedRaceNotify(Notifier& aNotifier)
    {
        aNotifier.myCondition.notify_all();
    }

    [[gnu::noinline]] void PlantedRaceDeleteNotifier(Notifier* aNotifier)
    {
        delete aNotifier;
    }

    Gpu::Ref<Gpu::Buffer> MakeBuffer(Gpu::Device& aDevice, Gpu::Usage aUsage, uint32_t someBindFlags, uint32_t someCpuFlags)
    {
        Gpu::BufferDesc desc;
        desc.myByteWidth = static_cast<uint32_t>(FLOAT_COUNT * sizeof(float));
        desc.myUsage = aUsage;
        desc.myBindFlags = someBindFlags;
        desc.myCpuAccessFlags = someCpuFlags;
        Gpu::Ref<Gpu::Buffer> buffer;
        return SUCCEEDED(aDevice.CreateBuffer(desc, nullptr, &buffer)) ? buffer : nullptr;
    }
}

int main()
{
    Gpu::Ref<Gpu::Device> device;
    Gpu::Ref<Gpu::DeviceContext> context;
    if (FAILED(Gpu::CreateDevice(nullptr, &device, &context)))
    {
        std::fprintf(stderr, "no GL device\n");
        return 2;
    }
    const Gpu::Ref<Gpu::Buffer> vertices = MakeBuffer(*device, Gpu::Usage::Default, Gpu::BIND_VERTEX_BUFFER, 0);
    const Gpu::Ref<Gpu::Buffer> staging = MakeBuffer(*device, Gpu::Usage::Staging, 0, Gpu::CPU_ACCESS_READ);
    Gpu::MappedSubresource mapped;
    if (!vertices || !staging || FAILED(context->Map(staging, 0, Gpu::MapType::Read, 0, &mapped)))
    {
        std::fprintf(stderr, "no buffers\n");
        return 2;
    }
    context->Unmap(staging, 0);
    const auto* stagingBytes = static_cast<const float*>(mapped.myData);

    auto* notifier = new Notifier;

    // Our thread writes the vertices, then the driver reads them; our thread reads the staging
    // bytes, then the driver writes them; our thread notifies, then the notifier goes. Nothing
    // orders any pair.
    std::thread other([stagingBytes, notifier] {
        PlantedRaceWriteVertices();
        PlantedRaceReadMappedBytes(stagingBytes);
        PlantedRaceNotify(*notifier);
        theStep.store(1, std::memory_order_relaxed);
        WaitForStep(2);
    });
    WaitForStep(1);
    PlantedRaceUploadVertices(*context, vertices);
    const bool readBack = PlantedRaceReadBack(*context, staging);
    PlantedRaceDeleteNotifier(notifier);
    theStep.store(2, std::memory_order_relaxed);
    other.join();
    if (!readBack)
    {
        std::fprintf(stderr, "read-back map failed\n");
        return 2;
    }
    return 0;
}
