#pragma once
#include "properties/StaticObjectPool.h"

namespace Vra
{
    // A 16-byte handle to a pooled T, shared by copies and cloned before a write.
    // A new wrapper refers to the pool's permanent default slot.
    template <typename T>
    class CopyOnWriteWrapper
    {
    public:
        using Pool = impl::StaticObjectPool<T>;
        using Bucket = typename Pool::Bucket;

        CopyOnWriteWrapper()
        {
            const typename Pool::Handle handle = Pool::GetInstance().GetDefaultSlot();
            myBucket = handle.myBucket;
            myObject = handle.myObject;
        }

        // Moving shares like copying, so the source keeps its value.
        CopyOnWriteWrapper(const CopyOnWriteWrapper& anOther) : myBucket(anOther.myBucket), myObject(anOther.myObject)
        {
            if (myBucket)
            {
                Pool::AddReference(myBucket, myObject);
            }
        }

        CopyOnWriteWrapper& operator=(const CopyOnWriteWrapper& anOther)
        {
            // Counting the source up first keeps a self-assignment from freeing the slot.
            if (anOther.myBucket)
            {
                Pool::AddReference(anOther.myBucket, anOther.myObject);
            }
            ReleaseHeld();
            myBucket = anOther.myBucket;
            myObject = anOther.myObject;
            return *this;
        }

        ~CopyOnWriteWrapper() { ReleaseHeld(); }

        const T& Get() const { return *myObject; }
        const T* operator->() const { return myObject; }

        // The object to write to: in place when nothing else shares the slot, otherwise a clone.
        T& GetMutable()
        {
            if (Pool::GetReferenceCount(myBucket, myObject) >= 2)
            {
                const typename Pool::Handle clone = Pool::GetInstance().CloneSlot(myBucket, myObject);
                myBucket = clone.myBucket;
                myObject = clone.myObject;
            }
            return *myObject;
        }

        // Replaces the held slot by a fresh slot of its own holding T's default value.
        void ResetToFresh()
        {
            const typename Pool::Handle fresh = Pool::GetInstance().TakeDefaultSlot();
            ReleaseHeld();
            myBucket = fresh.myBucket;
            myObject = fresh.myObject;
        }

        Bucket* GetBucket() const { return myBucket; }
        const T* GetObject() const { return myObject; }
        int GetSlotIndex() const { return myBucket->IndexOf(myObject); }
        std::uint32_t GetReferenceCount() const { return Pool::GetReferenceCount(myBucket, myObject); }

    private:
        void ReleaseHeld()
        {
            if (myBucket)
            {
                Pool::Release(myBucket, myObject);
            }
        }

        Bucket* myBucket = nullptr;
        T* myObject = nullptr;
    };
}
