#pragma once
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace TestSupport
{
    // Copies one subresource of a texture into a staging texture and returns its bytes in the
    // format's memory order, rows packed, top row first.
    inline std::vector<std::uint8_t> ReadBack(Platform::Gpu::Device& aDevice, const Platform::Gpu::Ref<Platform::Gpu::Texture2D>& aTexture, std::uint32_t aSubresource = 0,
        Platform::Gpu::Format aStagingFormat = Platform::Gpu::Format::UNKNOWN)
    {
        using namespace Platform::Gpu;
        Texture2DDesc desc = aTexture->GetDesc();
        desc.myUsage = Usage::Staging;
        desc.myBindFlags = 0;
        desc.myMiscFlags &= RESOURCE_MISC_TEXTURECUBE;
        desc.myCpuAccessFlags = CPU_ACCESS_READ;
        if (aStagingFormat != Format::UNKNOWN)
        {
            desc.myFormat = aStagingFormat;
        }
        Ref<Texture2D> staging;
        EXPECT_TRUE(SUCCEEDED(aDevice.CreateTexture2D(desc, nullptr, &staging)));
        DeviceContext& context = *aDevice.GetImmediateContext();
        context.CopyResource(staging, aTexture);
        MappedSubresource mapped;
        EXPECT_TRUE(SUCCEEDED(context.Map(staging, aSubresource, MapType::Read, 0, &mapped)));
        const auto* bytes = static_cast<const std::uint8_t*>(mapped.myData);
        std::vector<std::uint8_t> result(bytes, bytes + mapped.myDepthPitch);
        context.Unmap(staging, aSubresource);
        return result;
    }

    // The bytes of a buffer, through a staging copy.
    inline std::vector<std::uint8_t> ReadBack(Platform::Gpu::Device& aDevice, const Platform::Gpu::Ref<Platform::Gpu::Buffer>& aBuffer)
    {
        using namespace Platform::Gpu;
        BufferDesc desc = aBuffer->GetDesc();
        desc.myUsage = Usage::Staging;
        desc.myBindFlags = 0;
        desc.myCpuAccessFlags = CPU_ACCESS_READ;
        Ref<Buffer> staging;
        EXPECT_TRUE(SUCCEEDED(aDevice.CreateBuffer(desc, nullptr, &staging)));
        DeviceContext& context = *aDevice.GetImmediateContext();
        context.CopyResource(staging, aBuffer);
        MappedSubresource mapped;
        EXPECT_TRUE(SUCCEEDED(context.Map(staging, 0, MapType::Read, 0, &mapped)));
        const auto* bytes = static_cast<const std::uint8_t*>(mapped.myData);
        std::vector<std::uint8_t> result(bytes, bytes + desc.myByteWidth);
        context.Unmap(staging, 0);
        return result;
    }
}
