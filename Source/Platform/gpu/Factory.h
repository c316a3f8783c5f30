#pragma once
#include "gpu/GpuTypes.h"

#include <string>
#include <vector>

namespace Platform::Gpu
{
    struct AdapterDesc
    {
        std::string myDescription;
        uint32_t myVendorId = 0;
        uint64_t myDedicatedVideoMemory = 0; // bytes; 0 where the driver does not tell
        uint64_t myDedicatedSystemMemory = 0;
        uint64_t mySharedSystemMemory = 0;
    };

    class Adapter
    {
    public:
        explicit Adapter(AdapterDesc aDesc) : myDesc(std::move(aDesc)) {}
        Result GetDesc(AdapterDesc* aDesc) const;

    private:
        AdapterDesc myDesc;
    };

    // Lists the adapters the system offers: here the one GL renderer, adapter 0.
    class Factory
    {
    public:
        // Asks the GL driver for its renderer (through a hidden window); fails when no GL 4.5
        // context can be had.
        static Result Create(Ref<Factory>* aFactory);

        explicit Factory(std::vector<AdapterDesc> someAdapters) : myAdapters(std::move(someAdapters)) {}
        // Result::NotFound past the last adapter.
        Result EnumAdapters(uint32_t anIndex, Ref<Adapter>* anAdapter) const;

    private:
        std::vector<AdapterDesc> myAdapters;
    };
}
