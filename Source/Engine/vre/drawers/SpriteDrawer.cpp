#include "drawers/SpriteDrawer.h"

#include "Assert.h"
#include "graphics/DX11.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "graphics/SpriteShader.h"

namespace Vra
{
    using namespace Platform::Gpu;

    SpriteDrawer::SpriteDrawer() = default;

    SpriteDrawer::~SpriteDrawer() = default;

    void SpriteDrawer::Init()
    {
        myIsLoaded = false;

        myInstanceBuffer = CreateDynamicVertexBuffer(BATCH_SIZE * sizeof(SpriteInstance));
        if (!myInstanceBuffer)
        {
            return;
        }

        myDefaultShader = std::make_unique<SpriteShader>();
        if (!myDefaultShader->LoadShaders("shaders/instanced_sprite_shader_VS", "shaders/model_shader_vertex_color_textured_PS"))
        {
            return;
        }

        myQuadVertices = { {
            { { 0.0f, -1.0f, 0.0f, 1.0f }, { 0, 0, 0, 0 } },
            { { 0.0f, 0.0f, 0.0f, 1.0f }, { 1, 0, 0, 0 } },
            { { 1.0f, -1.0f, 0.0f, 1.0f }, { 2, 0, 0, 0 } },
            { { 1.0f, 0.0f, 0.0f, 1.0f }, { 3, 0, 0, 0 } },
            { { 1.0f, -1.0f, 0.0f, 1.0f }, { 4, 0, 0, 0 } },
            { { 0.0f, 0.0f, 0.0f, 1.0f }, { 5, 0, 0, 0 } },
        } };
        myQuadVertexBuffer = CreateDynamicVertexBuffer(sizeof(myQuadVertices), myQuadVertices.data());
        myIsLoaded = myQuadVertexBuffer != nullptr;
    }

    SpriteBatchScope SpriteDrawer::BeginBatch(const SpriteSharedData& aSharedData)
    {
        CU_ASSERT(myIsLoaded);
        CU_ASSERT(!myIsInBatch);
        myIsInBatch = true;

        SpriteShader* shader = aSharedData.myCustomShader ? aSharedData.myCustomShader : myDefaultShader.get();
        shader->BindForBatch(aSharedData);

        const Ref<Buffer> buffers[2] = { myQuadVertexBuffer, myInstanceBuffer };
        const std::uint32_t strides[2] = { sizeof(QuadVertex), sizeof(SpriteInstance) };
        const std::uint32_t offsets[2] = { 0, 0 };
        DX11::Context->IASetVertexBuffers(0, 2, buffers, strides, offsets);

        SpriteBatchScope scope(*this);
        scope.MapInstanceBuffer();
        return scope;
    }
}
