#pragma once
#include "graphics/Shader.h"

#include <array>
#include <cstdint>

namespace Vra
{
    // Line segments: holds the GPU resources for them.
    class LineDrawer : public Shader
    {
    public:
        static constexpr std::uint32_t VERTEX_BUFFER_SIZE = 72000;

        struct LinePoint
        {
            float myPosition[4];
            float myColor[4];
            std::uint32_t myFlags;
        };

        bool Init() override;

        const std::array<LinePoint, 2>& GetLinePoints() const { return myLinePoints; }
        const Platform::Gpu::Ref<Platform::Gpu::Buffer>& GetVertexBuffer() const { return myVertexBuffer; }

    protected:
        bool CreateInputLayout(const std::string& aBytecode) override;

    private:
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myVertexBuffer;
        std::array<LinePoint, 2> myLinePoints{};
    };
}
