#pragma once
#include "drawers/SpriteBatchScope.h"
#include "drawers/SpriteInstanceData.h"
#include "gpu/GpuObjects.h"

#include <array>
#include <cstdint>
#include <memory>

namespace Vra
{
    class SpriteShader;

    // Draws textured quads in batches, one instanced draw call per BATCH_SIZE sprites.
    // Main thread only; at most one batch is open at a time.
    class SpriteDrawer
    {
    public:
        static constexpr std::uint32_t BATCH_SIZE = 1024;
        static constexpr std::uint32_t QUAD_VERTEX_COUNT = 6;

        // The quad's corners: x 0..1, y -1..0, with the corner index the shader places them by.
        struct QuadVertex
        {
            float myPosition[4];
            std::uint32_t myCornerIndex[4];
        };

        SpriteDrawer();
        ~SpriteDrawer();
        SpriteDrawer(const SpriteDrawer&) = delete;
        SpriteDrawer& operator=(const SpriteDrawer&) = delete;

        void Init();

        SpriteBatchScope BeginBatch(const SpriteSharedData& aSharedData);

        bool IsLoaded() const { return myIsLoaded; }
        bool IsInBatch() const { return myIsInBatch; }
        SpriteShader* GetDefaultShader() const { return myDefaultShader.get(); }

    private:
        friend class SpriteBatchScope;

        Platform::Gpu::Ref<Platform::Gpu::Buffer> myQuadVertexBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myInstanceBuffer;
        std::array<QuadVertex, QUAD_VERTEX_COUNT> myQuadVertices{};
        std::unique_ptr<SpriteShader> myDefaultShader;
        bool myIsLoaded = false;
        bool myIsInBatch = false;
    };

    static_assert(sizeof(SpriteDrawer::QuadVertex) == 32, "the sprite input layout reads 32-byte quad vertices");
}
