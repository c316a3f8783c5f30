#pragma once
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/SwapChain.h"
#include "FileBytes.h"
#include "GpuReadBack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace GpuTestSupport
{
    using namespace Platform::Gpu;

    // Contents of a cooked test shader (built into <build>/tests/cooked).
    inline std::string ReadCookedShader(const std::string& aName)
    {
        return TestSupport::ReadFileBytes("cooked/" + aName + ".cso");
    }

    using TestSupport::ReadBack;

    class GpuTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(SUCCEEDED(CreateDevice(nullptr, &myDevice, &myContext)));
        }

        void TearDown() override
        {
            myContext.reset();
            myDevice.reset();
        }

        Ref<Texture2D> MakeTarget(uint32_t aWidth, uint32_t aHeight, Format aFormat = Format::R8G8B8A8_UNORM)
        {
            Texture2DDesc desc;
            desc.myWidth = aWidth;
            desc.myHeight = aHeight;
            desc.myFormat = aFormat;
            desc.myBindFlags = BIND_RENDER_TARGET | BIND_SHADER_RESOURCE;
            Ref<Texture2D> texture;
            EXPECT_TRUE(SUCCEEDED(myDevice->CreateTexture2D(desc, nullptr, &texture)));
            return texture;
        }

        Ref<RenderTargetView> MakeTargetView(const Ref<Texture2D>& aTexture)
        {
            Ref<RenderTargetView> view;
            EXPECT_TRUE(SUCCEEDED(myDevice->CreateRenderTargetView(aTexture, nullptr, &view)));
            return view;
        }

        Ref<Device> myDevice;
        Ref<DeviceContext> myContext;
    };
}
