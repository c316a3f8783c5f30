#include "graphics/Shader.h"

#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

#include <cstdlib>

namespace Vra
{
    using namespace Platform::Gpu;

    Shader::Shader() : myId(std::rand() % 100) {}

    Shader::~Shader() = default;

    bool Shader::Init()
    {
        return false;
    }

    bool Shader::CreateInputLayout(const std::string&)
    {
        return false;
    }

    bool Shader::LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName, const LayoutCallback& aLayoutCallback)
    {
        myIsLoaded = false;
        myVertexShaderName = aVertexShaderName ? aVertexShaderName : "";
        myPixelShaderName = aPixelShaderName ? aPixelShaderName : "";

        myVertexShader = DX11::GetVertexShader(myVertexShaderName.c_str());
        if (!myVertexShader)
        {
            return false;
        }
        myPixelShader = DX11::GetPixelShader(myPixelShaderName.c_str());
        if (!myPixelShader)
        {
            return false;
        }

        myInputLayout.reset();
        if (aLayoutCallback)
        {
            aLayoutCallback(myVertexShader->myBytecode);
            myIsLoaded = true;
            return true;
        }
        if (CreateInputLayout(myVertexShader->myBytecode) || CreateDefaultInputLayout(myVertexShader->myBytecode))
        {
            myIsLoaded = true;
            return true;
        }
        return false;
    }

    bool Shader::CreateDefaultInputLayout(const std::string& aBytecode)
    {
        const InputElementDesc layout[] = {
            { "POSITION", 0, Format::R32G32B32_FLOAT, 0, 0, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 0, Format::R32G32_FLOAT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 1, Format::R32G32_FLOAT, 1, 0, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 2, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 3, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 4, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 5, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
        };
        const Result result = DX11::Device->CreateInputLayout(layout, 7, aBytecode.data(), aBytecode.size(), &myInputLayout);
        return SUCCEEDED(result);
    }

    bool Shader::Bind()
    {
        if (!myVertexShader || !myPixelShader || !myIsLoaded)
        {
            return false;
        }
        DeviceContext& context = *DX11::Context;
        context.VSSetShader(myVertexShader->myShader);
        context.PSSetShader(myPixelShader);
        context.IASetInputLayout(myInputLayout);
        context.IASetPrimitiveTopology(PrimitiveTopology::TriangleList);
        Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack().ApplyState(false);
        return true;
    }
}
