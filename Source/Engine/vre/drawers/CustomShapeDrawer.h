#pragma once
#include "graphics/Shader.h"

#include <cstdint>

namespace Vra
{
    // Coloured, textured triangles of caller-supplied vertices: holds the GPU resources for them.
    class CustomShapeDrawer : public Shader
    {
    public:
        static constexpr std::uint32_t MAX_VERTEX_COUNT = 69984;
        static constexpr std::uint32_t VERTEX_SIZE = 36;
        static constexpr std::uint32_t CONSTANT_BUFFER_SIZE = 64;

        // Position (3 floats), colour (4 floats), texture coordinate (2 floats).
        struct Vertex
        {
            float myPosition[3];
            float myColor[4];
            float myTexCoord[2];
        };

        bool Init() override;

        std::uint32_t GetMaxVertexCount() const { return myMaxVertexCount; }
        const Platform::Gpu::Ref<Platform::Gpu::Buffer>& GetVertexBuffer() const { return myVertexBuffer; }
        const Platform::Gpu::Ref<Platform::Gpu::Buffer>& GetConstantBuffer() const { return myConstantBuffer; }

    protected:
        bool CreateInputLayout(const std::string& aBytecode) override;

    private:
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myVertexBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myConstantBuffer;
        std::uint32_t myMaxVertexCount = 0;
    };

    static_assert(sizeof(CustomShapeDrawer::Vertex) == CustomShapeDrawer::VERTEX_SIZE);
}
