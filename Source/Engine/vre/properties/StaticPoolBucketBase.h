#pragma once
#include <cstdint>

namespace Vra::impl
{
    constexpr std::uint32_t POOL_BUCKET_SLOT_COUNT = 1024;
    // A slot with this count is permanent: it is never counted up or down again.
    constexpr std::uint32_t PERMANENT_REFERENCE_COUNT = 0x7fffffff;

    class StaticPoolBucketBase;

    struct PoolHandle
    {
        StaticPoolBucketBase* myBucket = nullptr;
        void* myObject = nullptr;
    };

    // A bucket of a pool, reachable without knowing the pool's object type.
    class StaticPoolBucketBase
    {
    public:
        virtual void Release(int anIndex) = 0;
        // Copies slot anIndex into a newly taken slot, releases anIndex and returns the new slot.
        virtual PoolHandle Clone(int anIndex) = 0;
        virtual ~StaticPoolBucketBase() = default;
    };
}
