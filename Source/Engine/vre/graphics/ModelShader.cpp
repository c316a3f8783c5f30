#include "graphics/ModelShader.h"

#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/TextureResource.h"
#include "model/MeshData.h"

#include <algorithm>
#include <cstring>

namespace Vra
{
    using namespace Platform::Gpu;

    void ModelShader::CreateConstantBuffers()
    {
        myJointBuffer = CreateDynamicConstantBuffer(JOINT_BUFFER_SIZE);
        myObjectBuffer = CreateDynamicConstantBuffer(OBJECT_BUFFER_SIZE);
    }

    bool ModelShader::Init()
    {
        return LoadShaders("shaders/model_shader_VS", "shaders/model_shader_PS");
    }

    bool ModelShader::LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName)
    {
        CreateConstantBuffers();
        return Shader::LoadShaders(aVertexShaderName, aPixelShaderName, {});
    }

    bool ModelShader::CreateInputLayout(const std::string& aBytecode)
    {
        constexpr auto append = APPEND_ALIGNED_ELEMENT;
        constexpr auto perVertex = InputClassification::PerVertexData;
        const InputElementDesc layout[] = {
            { "POSITION", 0, Format::R32G32B32A32_FLOAT, 0, 0, perVertex, 0 },
            { "COLOR", 0, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
            { "COLOR", 1, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
            { "COLOR", 2, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
            { "COLOR", 3, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
            { "TEXCOORD", 0, Format::R32G32_FLOAT, 0, append, perVertex, 0 },
            { "TEXCOORD", 1, Format::R32G32_FLOAT, 0, append, perVertex, 0 },
            { "TEXCOORD", 2, Format::R32G32_FLOAT, 0, append, perVertex, 0 },
            { "TEXCOORD", 3, Format::R32G32_FLOAT, 0, append, perVertex, 0 },
            { "NORMAL", 0, Format::R32G32B32_FLOAT, 0, append, perVertex, 0 },
            { "TANGENT", 0, Format::R32G32B32_FLOAT, 0, append, perVertex, 0 },
            { "BINORMAL", 0, Format::R32G32B32_FLOAT, 0, append, perVertex, 0 },
            { "BONES", 0, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
            { "WEIGHTS", 0, Format::R32G32B32A32_FLOAT, 0, append, perVertex, 0 },
        };
        DX11::Device->CreateInputLayout(layout, 14, aBytecode.data(), aBytecode.size(), &myInputLayout);
        return true;
    }

    void ModelShader::Render(TextureResource* const someTextures[4], const MeshData& aMesh, const Matrix4x4& aTransform,
                             const Matrix4x4* someJoints, std::uint32_t aJointCount)
    {
        DeviceContext& context = *DX11::Context;

        Ref<ShaderResourceView> views[4];
        std::uint32_t viewCount = 0;
        while (viewCount < 4 && someTextures[viewCount])
        {
            views[viewCount] = someTextures[viewCount]->mySRV;
            ++viewCount;
        }
        if (viewCount > 0)
        {
            context.PSSetShaderResources(1, viewCount, views);
        }

        if (!myIsLoaded)
        {
            return;
        }
        Bind();

        if (!myJointBuffer)
        {
            return;
        }
        // Only the skeleton's own joints go up: the vertices index no others, and a static draw's
        // shader reads none.
        const std::uint32_t jointBytes = someJoints ? std::min(aJointCount, MAX_JOINTS) * static_cast<std::uint32_t>(sizeof(Matrix4x4)) : 0;
        MappedSubresource mapped;
        if (jointBytes > 0)
        {
            if (FAILED(context.Map(myJointBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
            {
                return;
            }
            std::memcpy(mapped.myData, someJoints, jointBytes);
            context.Unmap(myJointBuffer, 0, jointBytes);
        }
        context.VSSetConstantBuffers(JOINT_BUFFER_SLOT, 1, &myJointBuffer);

        if (!myObjectBuffer || FAILED(context.Map(myObjectBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
        {
            return;
        }
        const Matrix4x4 world = aTransform * Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack().GetTransform();
        std::memcpy(mapped.myData, world.GetData(), OBJECT_BUFFER_SIZE);
        context.Unmap(myObjectBuffer, 0);
        context.VSSetConstantBuffers(OBJECT_BUFFER_SLOT, 1, &myObjectBuffer);
        context.PSSetConstantBuffers(OBJECT_BUFFER_SLOT, 1, &myObjectBuffer);

        context.IASetIndexBuffer(aMesh.myIndexBuffer, Format::R32_UINT, 0);
        const std::uint32_t stride = aMesh.myStride;
        const std::uint32_t offset = 0;
        context.IASetVertexBuffers(0, 1, &aMesh.myVertexBuffer, &stride, &offset);

        Engine::CountDrawCall();
        context.DrawIndexed(aMesh.myIndexCount, 0, 0);
    }
}
