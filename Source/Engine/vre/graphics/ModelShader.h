#pragma once
#include "Math/Matrix4x4.h"
#include "graphics/Shader.h"

#include <cstdint>

namespace Vra
{
    class TextureResource;
    struct MeshData;

    // Draws one mesh: textures at pixel-shader slots 1 to 4, the joint matrices at constant
    // buffer 5 and the object transform at constant buffer 4.
    class ModelShader : public Shader
    {
    public:
        static constexpr std::uint32_t MAX_JOINTS = 128;
        static constexpr std::uint32_t JOINT_BUFFER_SIZE = MAX_JOINTS * sizeof(Matrix4x4);
        static constexpr std::uint32_t OBJECT_BUFFER_SIZE = sizeof(Matrix4x4);
        static constexpr std::uint32_t OBJECT_BUFFER_SLOT = 4;
        static constexpr std::uint32_t JOINT_BUFFER_SLOT = 5;

        // The default static model shader.
        bool Init() override;
        bool LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName);

        // someTextures: four slots, read up to the first empty one. someJoints: 128 matrices or null,
        // of which the first aJointCount are the skeleton's and reach the GPU; a draw without joints
        // sends none (the joint buffer stays bound).
        void Render(TextureResource* const someTextures[4], const MeshData& aMesh, const Matrix4x4& aTransform,
                    const Matrix4x4* someJoints, std::uint32_t aJointCount = MAX_JOINTS);

    protected:
        bool CreateInputLayout(const std::string& aBytecode) override;

    private:
        void CreateConstantBuffers();

        Platform::Gpu::Ref<Platform::Gpu::Buffer> myJointBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myObjectBuffer;
    };
}
