#include "drawers/LineDrawer.h"

#include "graphics/DX11.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"

namespace Vra
{
    using namespace Platform::Gpu;

    bool LineDrawer::Init()
    {
        LoadShaders("shaders/lineshader_VS", "shaders/lineshader_PS", {});

        myLinePoints = {};
        myLinePoints[0].myPosition[0] = -0.5f;
        myLinePoints[0].myPosition[1] = 0.5f;
        myLinePoints[1].myPosition[0] = -0.5f;
        myLinePoints[1].myPosition[1] = -0.5f;
        myLinePoints[1].myPosition[2] = 0.0f;

        myVertexBuffer = CreateDynamicVertexBuffer(VERTEX_BUFFER_SIZE);
        return true;
    }

    bool LineDrawer::CreateInputLayout(const std::string& aBytecode)
    {
        const InputElementDesc layout[] = {
            { "POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 0, Format::R32G32B32A32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0 },
        };
        return SUCCEEDED(DX11::Device->CreateInputLayout(layout, 2, aBytecode.data(), aBytecode.size(), &myInputLayout));
    }
}
