#include "graphics/SpriteShader.h"

#include "Assert.h"
#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "drawers/SpriteInstanceData.h"
#include "graphics/DX11.h"
#include "graphics/TextureResource.h"
#include "graphics/TextureManager.h"

#include <cstring>

namespace Vra
{
    using namespace Platform::Gpu;

    bool SpriteShader::CreateInputLayout(const std::string& aBytecode)
    {
        const InputElementDesc layout[] = {
            { "POSITION", 0, Format::R32G32B32A32_FLOAT, 0, 0, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 0, Format::R32G32B32A32_UINT, 0, APPEND_ALIGNED_ELEMENT, InputClassification::PerVertexData, 0 },
            { "TEXCOORD", 1, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 2, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 3, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 4, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 5, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 6, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
            { "TEXCOORD", 7, Format::R32G32B32A32_FLOAT, 1, APPEND_ALIGNED_ELEMENT, InputClassification::PerInstanceData, 1 },
        };
        DX11::Device->CreateInputLayout(layout, 9, aBytecode.data(), aBytecode.size(), &myInputLayout);
        return true;
    }

    bool SpriteShader::LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName)
    {
        if (!Shader::LoadShaders(aVertexShaderName, aPixelShaderName, {}))
        {
            return false;
        }

        myCustomConstantBuffer = CreateDynamicConstantBuffer(CUSTOM_CONSTANT_BUFFER_SIZE);
        if (!myCustomConstantBuffer)
        {
            return false;
        }

        TextureManager& textures = *Engine::GetInstance()->GetTextureManager();
        myDefaultNormalTexture = textures.GetTexture("Textures/T_Default_n.dds", TextureSrgbMode::ForceSrgb);
        myDefaultMaterialTexture = textures.GetTexture("Textures/T_Default_m.dds", TextureSrgbMode::ForceSrgb);
        myDefaultEffectsTexture = textures.GetTexture("Textures/T_Default_fx.dds", TextureSrgbMode::ForceSrgb);
        return true;
    }

    bool SpriteShader::BindForBatch(const SpriteSharedData& aSharedData)
    {
        if (!Bind())
        {
            return false;
        }

        TextureResource* colorTexture = aSharedData.myColorTexture;
        if (!colorTexture)
        {
            colorTexture = Engine::GetInstance()->GetTextureManager()->GetDefaultTexture();
        }
        TextureResource* const textures[4] = {
            colorTexture,
            aSharedData.myNormalTexture ? aSharedData.myNormalTexture : myDefaultNormalTexture,
            aSharedData.myMaterialTexture ? aSharedData.myMaterialTexture : myDefaultMaterialTexture,
            aSharedData.myEffectsTexture ? aSharedData.myEffectsTexture : myDefaultEffectsTexture,
        };
        Ref<ShaderResourceView> views[4];
        for (int slot = 0; slot < 4; ++slot)
        {
            if (textures[slot])
            {
                views[slot] = textures[slot]->mySRV;
            }
        }
        DeviceContext& context = *DX11::Context;
        context.PSSetShaderResources(1, 4, views);

        if (myCustomConstantBuffer)
        {
            MappedSubresource mapped;
            if (FAILED(context.Map(myCustomConstantBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
            {
                return false;
            }
            const int constantCount = myLastCustomConstantIndex + 1;
            if (constantCount > 0)
            {
                std::memcpy(mapped.myData, myCustomConstants.data(), sizeof(myCustomConstants[0]) * constantCount);
            }
            context.Unmap(myCustomConstantBuffer, 0);
            context.VSSetConstantBuffers(myConstantBufferSlot, 1, &myCustomConstantBuffer);
            context.PSSetConstantBuffers(myConstantBufferSlot, 1, &myCustomConstantBuffer);
        }

        for (int index = 0; index < myCustomTextureCount; ++index)
        {
            const CustomTextureBinding& binding = myCustomTextures[index];
            if (binding.myTexture)
            {
                const Ref<ShaderResourceView> view = binding.myTexture->mySRV;
                context.PSSetShaderResources(binding.mySlot, 1, &view);
            }
        }
        return true;
    }

    void SpriteShader::SetCustomConstant(int anIndex, const std::array<float, 4>& aValue)
    {
        CU_ASSERT(anIndex >= 0 && anIndex < MAX_CUSTOM_CONSTANTS);
        myCustomConstants[anIndex] = aValue;
        if (anIndex > myLastCustomConstantIndex)
        {
            myLastCustomConstantIndex = anIndex;
        }
    }

    void SpriteShader::SetCustomTexture(int anIndex, TextureResource* aTexture, std::uint32_t aSlot)
    {
        CU_ASSERT(anIndex >= 0 && anIndex < MAX_CUSTOM_TEXTURES);
        myCustomTextures[anIndex] = { aTexture, aSlot };
        if (anIndex + 1 > myCustomTextureCount)
        {
            myCustomTextureCount = anIndex + 1;
        }
    }
}
