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

        BufferDesc instances;
        instances.myByteWidth = BATCH_SIZE * sizeof(SpriteInstance);
        instances.myUsage = Usage::Dynamic;
        instances.myBindFlags = BIND_VERTEX_BUFFER;
        instances.myCpuAccessFlags = CPU_ACCESS_WRITE;
        if (FAILED(DX11::Device->CreateBuffer(instances, nullptr, &myInstanceBuffer)))
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
        BufferDesc quad;
        quad.myByteWidth = sizeof(myQuadVertices);
        quad.myUsage = Usage::Dynamic;
        quad.myBindFlags = BIND_VERTEX_BUFFER;
        quad.myCpuAccessFlags = CPU_ACCESS_WRITE;
        SubresourceData initialData;
        initialData.mySysMem = myQuadVertices.data();
        myIsLoaded = SUCCEEDED(DX11::Device->CreateBuffer(quad, &initialData, &myQuadVertexBuffer));
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
