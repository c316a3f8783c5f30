#pragma once
#include "graphics/Shader.h"

#include <array>
#include <cstdint>

namespace Vra
{
    class TextureResource;
    struct SpriteSharedData;

    // The instanced sprite pair: a quad from the corner index and the instance's world matrix,
    // textures at pixel-shader slots 1 to 4 and optional constants of its own.
    class SpriteShader : public Shader
    {
    public:
        static constexpr int MAX_CUSTOM_CONSTANTS = 8;
        static constexpr int MAX_CUSTOM_TEXTURES = 2;
        static constexpr std::uint32_t CUSTOM_CONSTANT_BUFFER_SIZE = 1024;

        struct CustomTextureBinding
        {
            TextureResource* myTexture = nullptr;
            std::uint32_t mySlot = 0;
        };

        bool LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName);

        // Binds the shader and the batch's textures, defaults where the batch has none.
        bool BindForBatch(const SpriteSharedData& aSharedData);

        // Constants the custom pixel or vertex shader reads at the constant-buffer slot.
        void SetCustomConstant(int anIndex, const std::array<float, 4>& aValue);
        void SetCustomTexture(int anIndex, TextureResource* aTexture, std::uint32_t aSlot);

    protected:
        bool CreateInputLayout(const std::string& aBytecode) override;

    private:
        TextureResource* myDefaultNormalTexture = nullptr;
        TextureResource* myDefaultMaterialTexture = nullptr;
        TextureResource* myDefaultEffectsTexture = nullptr;
        std::array<std::array<float, 4>, MAX_CUSTOM_CONSTANTS> myCustomConstants{};
        int myLastCustomConstantIndex = -1;
        int myCustomTextureCount = 0;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myCustomConstantBuffer;
        std::uint32_t myConstantBufferSlot = 5;
        std::array<CustomTextureBinding, MAX_CUSTOM_TEXTURES> myCustomTextures{};
    };
}
