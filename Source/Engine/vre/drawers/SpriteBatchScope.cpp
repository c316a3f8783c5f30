#include "drawers/SpriteBatchScope.h"

#include "Assert.h"
#include "Engine.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"

namespace Vra
{
    using namespace Platform::Gpu;

    namespace
    {
        const Matrix4x4& CurrentTransform()
        {
            return Engine::GetInstance()->GetGraphicsEngine()->GetGraphicsStateStack().GetTransform();
        }
    }

    SpriteBatchScope::SpriteBatchScope(SpriteDrawer& aSpriteDrawer) : mySpriteDrawer(&aSpriteDrawer) {}

    SpriteBatchScope::SpriteBatchScope(SpriteBatchScope&& aOther) noexcept
        : mySpriteDrawer(aOther.mySpriteDrawer),
          myMappedInstances(aOther.myMappedInstances),
          myInstanceCount(aOther.myInstanceCount),
          myBuilder(aOther.myBuilder)
    {
        aOther.mySpriteDrawer = nullptr;
        aOther.myMappedInstances = nullptr;
        aOther.myInstanceCount = 0;
    }

    SpriteBatchScope::~SpriteBatchScope()
    {
        if (!mySpriteDrawer)
        {
            return;
        }
        Flush();
        CU_ASSERT_MSG(mySpriteDrawer->myIsInBatch, "myIsInBatch");
        mySpriteDrawer->myIsInBatch = false;
        mySpriteDrawer = nullptr;
    }

    void SpriteBatchScope::MapInstanceBuffer()
    {
        CU_ASSERT(mySpriteDrawer);
        CU_ASSERT(myInstanceCount == 0);
        MappedSubresource mapped;
        if (SUCCEEDED(DX11::Context->Map(mySpriteDrawer->myInstanceBuffer, 0, MapType::WriteDiscard, 0, &mapped)))
        {
            myMappedInstances = static_cast<SpriteInstance*>(mapped.myData);
        }
    }

    void SpriteBatchScope::Flush()
    {
        CU_ASSERT(mySpriteDrawer);
        DeviceContext& context = *DX11::Context;
        if (myMappedInstances)
        {
            context.Unmap(mySpriteDrawer->myInstanceBuffer, 0);
        }
        Engine::CountDrawCall();
        context.DrawInstanced(SpriteDrawer::QUAD_VERTEX_COUNT, static_cast<std::uint32_t>(myInstanceCount), 0, 0);
        myMappedInstances = nullptr;
        myInstanceCount = 0;
    }

    template <typename SpriteData>
    void SpriteBatchScope::DrawRecords(const SpriteData* someSprites, std::size_t aCount)
    {
        CU_ASSERT_MSG(myInstanceCount < SpriteDrawer::BATCH_SIZE, "myInstanceCount < BATCH_SIZE");
        const Matrix4x4& transform = CurrentTransform();
        for (std::size_t index = 0; index < aCount; ++index)
        {
            const SpriteData& sprite = someSprites[index];
            // Without a mapped buffer (a failed map) there is nowhere to write: the sprite is dropped.
            if (sprite.myIsHidden || !myMappedInstances)
            {
                continue;
            }
            myBuilder.Build(sprite, transform, myMappedInstances[myInstanceCount]);
            ++myInstanceCount;
            if (myInstanceCount == SpriteDrawer::BATCH_SIZE)
            {
                Flush();
                MapInstanceBuffer();
            }
        }
    }

    void SpriteBatchScope::Draw(const Sprite2DInstanceData& aSprite)
    {
        DrawRecords(&aSprite, 1);
    }

    void SpriteBatchScope::Draw(const Sprite3DInstanceData& aSprite)
    {
        DrawRecords(&aSprite, 1);
    }

    void SpriteBatchScope::Draw(const Sprite2DInstanceData* someSprites, std::size_t aCount)
    {
        DrawRecords(someSprites, aCount);
    }

    void SpriteBatchScope::Draw(const Sprite3DInstanceData* someSprites, std::size_t aCount)
    {
        DrawRecords(someSprites, aCount);
    }
}
