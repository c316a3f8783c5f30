#pragma once
#include "drawers/SpriteInstanceBuilder.h"
#include "drawers/SpriteInstanceData.h"

#include <cstddef>
#include <cstdint>

namespace Vra
{
    class SpriteDrawer;

    // An open sprite batch. Sprites are written straight into the mapped instance buffer; every
    // BATCH_SIZE of them are drawn and the buffer is mapped afresh, and the rest are drawn when the
    // scope ends.
    class SpriteBatchScope
    {
    public:
        SpriteBatchScope(SpriteBatchScope&& aOther) noexcept;
        SpriteBatchScope& operator=(SpriteBatchScope&&) = delete;
        SpriteBatchScope(const SpriteBatchScope&) = delete;
        SpriteBatchScope& operator=(const SpriteBatchScope&) = delete;
        ~SpriteBatchScope();

        void Draw(const Sprite2DInstanceData& aSprite);
        void Draw(const Sprite3DInstanceData& aSprite);
        void Draw(const Sprite2DInstanceData* someSprites, std::size_t aCount);
        void Draw(const Sprite3DInstanceData* someSprites, std::size_t aCount);

    private:
        friend class SpriteDrawer;

        explicit SpriteBatchScope(SpriteDrawer& aSpriteDrawer);

        void MapInstanceBuffer();
        void Flush();
        template <typename SpriteData>
        void DrawRecords(const SpriteData* someSprites, std::size_t aCount);

        SpriteDrawer* mySpriteDrawer;
        SpriteInstance* myMappedInstances = nullptr;
        std::uint64_t myInstanceCount = 0;
        impl::SpriteInstanceBuilder myBuilder;
    };
}
