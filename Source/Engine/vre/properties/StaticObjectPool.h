#pragma once
#include "properties/StaticPoolBucketBase.h"

#include "Assert.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

namespace Vra::impl
{
    // Process-wide pool of T values in fixed buckets of 1024 reference-counted slots. Slot 0 of the
    // first bucket permanently holds T's default value. Handles stay valid while the pool grows;
    // released slots are reused last-in first-out. Safe for concurrent use.
    template <typename T>
    class StaticObjectPool
    {
        static_assert(std::is_trivially_copyable_v<T>, "pooled objects are copied and freed as raw bytes");

    public:
        class Bucket final : public StaticPoolBucketBase
        {
        public:
            Bucket() : myFirstObject(reinterpret_cast<T*>(myObjects)), myObjectSize(sizeof(T))
            {
                std::memset(myObjects, 0, sizeof(myObjects));
            }

            void Release(int anIndex) override { StaticObjectPool::Release(this, SlotAt(anIndex)); }

            PoolHandle Clone(int anIndex) override
            {
                const Handle handle = GetInstance().CloneSlot(this, SlotAt(anIndex));
                return PoolHandle{handle.myBucket, handle.myObject};
            }

            T* SlotAt(int anIndex)
            {
                CU_ASSERT(anIndex >= 0 && anIndex < static_cast<int>(POOL_BUCKET_SLOT_COUNT));
                return myFirstObject + anIndex;
            }

            int IndexOf(const T* anObject) const
            {
                return static_cast<int>((reinterpret_cast<const char*>(anObject) - reinterpret_cast<const char*>(myFirstObject)) /
                                        myObjectSize);
            }

            std::atomic<std::uint32_t>& CountOf(const T* anObject) { return myReferenceCounts[IndexOf(anObject)]; }

        private:
            T* myFirstObject;
            std::uint32_t myObjectSize;
            std::atomic<std::uint32_t> myReferenceCounts[POOL_BUCKET_SLOT_COUNT] = {};
            alignas(T) unsigned char myObjects[POOL_BUCKET_SLOT_COUNT * sizeof(T)];
        };

        struct Handle
        {
            Bucket* myBucket = nullptr;
            T* myObject = nullptr;
        };

        StaticObjectPool(const StaticObjectPool&) = delete;
        StaticObjectPool& operator=(const StaticObjectPool&) = delete;

        // Made on first use, never destroyed; its buckets are freed by an exit handler.
        static StaticObjectPool& GetInstance()
        {
            static StaticObjectPool* const instance = new StaticObjectPool();
            return *instance;
        }

        Handle GetDefaultSlot() { return myDefaultSlot; }

        // A slot for a new object; the caller writes the object and sets its count.
        Handle TakeSlot()
        {
            const std::lock_guard lock(myMutex);
            return TakeSlotLocked();
        }

        // A fresh slot holding T's default value with count 1.
        Handle TakeDefaultSlot()
        {
            const Handle handle = TakeSlot();
            new (handle.myObject) T();
            handle.myBucket->CountOf(handle.myObject).store(1, std::memory_order_release);
            return handle;
        }

        // Drops one reference; at zero the slot goes back on the free list, its bytes untouched.
        static void Release(Bucket* aBucket, T* anObject)
        {
            if (ourShutDown.load(std::memory_order_acquire))
            {
                return;
            }
            std::atomic<std::uint32_t>& count = aBucket->CountOf(anObject);
            std::uint32_t current = count.load(std::memory_order_relaxed);
            do
            {
                if (current == PERMANENT_REFERENCE_COUNT)
                {
                    return;
                }
                CU_ASSERT(current > 0);
            } while (!count.compare_exchange_weak(current, current - 1, std::memory_order_acq_rel));
            if (current == 1)
            {
                StaticObjectPool& pool = GetInstance();
                const std::lock_guard lock(pool.myMutex);
                pool.myFreeList.push_back(Handle{aBucket, anObject});
            }
        }

        // Adds one reference; a permanent slot stays as it is, and one that reaches the
        // permanent count by copying becomes permanent.
        static void AddReference(Bucket* aBucket, const T* anObject)
        {
            std::atomic<std::uint32_t>& count = aBucket->CountOf(anObject);
            std::uint32_t current = count.load(std::memory_order_relaxed);
            do
            {
                if (current == PERMANENT_REFERENCE_COUNT)
                {
                    return;
                }
            } while (!count.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel));
        }

        static std::uint32_t GetReferenceCount(Bucket* aBucket, const T* anObject)
        {
            return aBucket->CountOf(anObject).load(std::memory_order_acquire);
        }

        // Copy-on-write: the source object copied into a new slot of count 1; the source is released.
        Handle CloneSlot(Bucket* aBucket, T* anObject)
        {
            const Handle handle = TakeSlot();
            std::memcpy(static_cast<void*>(handle.myObject), anObject, sizeof(T));
            handle.myBucket->CountOf(handle.myObject).store(1, std::memory_order_release);
            Release(aBucket, anObject);
            return handle;
        }

        static bool IsShutDown() { return ourShutDown.load(std::memory_order_acquire); }

        std::size_t GetBucketCount()
        {
            const std::lock_guard lock(myMutex);
            return myBuckets.size();
        }

    private:
        StaticObjectPool()
        {
            myBuckets.emplace_back();
            Bucket& first = myBuckets.back();
            T* defaultObject = first.SlotAt(0);
            new (defaultObject) T();
            first.CountOf(defaultObject).store(PERMANENT_REFERENCE_COUNT, std::memory_order_relaxed);
            myDefaultSlot = Handle{&first, defaultObject};
            myNextIndex = 1;
            std::atexit(&ShutDown);
        }

        Handle TakeSlotLocked()
        {
            if (!myFreeList.empty())
            {
                const Handle reused = myFreeList.back();
                myFreeList.pop_back();
                return reused;
            }
            if (myNextIndex == POOL_BUCKET_SLOT_COUNT)
            {
                myBuckets.emplace_back();
                myNextIndex = 0;
            }
            Bucket& newest = myBuckets.back();
            return Handle{&newest, newest.SlotAt(static_cast<int>(myNextIndex++))};
        }

        // Values still alive in static objects destroyed later at exit release nothing.
        static void ShutDown()
        {
            StaticObjectPool& pool = GetInstance();
            const std::lock_guard lock(pool.myMutex);
            ourShutDown.store(true, std::memory_order_release);
            pool.myFreeList.clear();
            pool.myFreeList.shrink_to_fit();
            pool.myBuckets.clear();
        }

        std::mutex myMutex;
        std::list<Bucket> myBuckets;
        std::vector<Handle> myFreeList;
        std::uint32_t myNextIndex = 0;
        Handle myDefaultSlot;

        static inline std::atomic<bool> ourShutDown = false;
    };
}
