#include "drawers/CustomShapeDrawer.h"

#include "graphics/DX11.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

namespace Vra
{
    using namespace Platform::Gpu;

    bool CustomShapeDrawer::Init()
    {
        myMaxVertexCount = MAX_VERTEX_COUNT;

        myConstantBuffer = CreateDynamicConstantBuffer(CONSTANT_BUFFER_SIZE);
        if (!myConstantBuffer)
        {
            return false;
        }

        LoadShaders("shaders/custom_shape_VS", "shaders/custom_shape_PS", {});

        myVertexBuffer = CreateDynamicVertexBuffer(myMaxVertexCount * VERTEX_SIZE);
        return true;
    }

    bool CustomShapeDrawer::CreateInputLayout(const std::string& aBytecode)
    {
        const InputElementDesc layout[] = {
            { "POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 0, Format::R32G32B32A32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 1, Format::R32G32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0 },
        };
        return SUCCEEDED(DX11::Device->CreateInputLayout(layout, 3, aBytecode.data(), aBytecode.size(), &myInputLayout));
    }
}
