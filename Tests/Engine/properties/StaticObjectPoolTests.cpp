#include "properties/CopyOnWriteWrapper.h"

#include <gtest/gtest.h>

#include <vector>

using Vra::impl::PERMANENT_REFERENCE_COUNT;
using Vra::impl::POOL_BUCKET_SLOT_COUNT;

namespace
{
    // Each test uses a value type of its own, so it sees a pool that no other test has touched.
    template <int N>
    struct Counter
    {
        int myValue = 40 + N;
    };

    template <int N>
    using Wrapper = Vra::CopyOnWriteWrapper<Counter<N>>;

    template <int N>
    using Pool = Vra::impl::StaticObjectPool<Counter<N>>;

    TEST(StaticObjectPool, ANewWrapperSharesThePermanentDefaultSlot)
    {
        const Wrapper<1> first;
        EXPECT_EQ(first.GetSlotIndex(), 0);
        EXPECT_EQ(first.GetBucket(), Pool<1>::GetInstance().GetDefaultSlot().myBucket);
        EXPECT_EQ(first.Get().myValue, 41);
        EXPECT_EQ(first.GetReferenceCount(), PERMANENT_REFERENCE_COUNT);
        {
            std::vector<Wrapper<1>> copies(10, first);
            const Wrapper<1> another;
            EXPECT_EQ(another.GetObject(), first.GetObject());
        }
        EXPECT_EQ(first.GetReferenceCount(), PERMANENT_REFERENCE_COUNT);
    }

    TEST(StaticObjectPool, WritingToTheDefaultSlotClonesIt)
    {
        Wrapper<2> value;
        value.GetMutable().myValue = 7;
        EXPECT_NE(value.GetSlotIndex(), 0);
        EXPECT_EQ(value.GetReferenceCount(), 1u);
        EXPECT_EQ(value.Get().myValue, 7);
        EXPECT_EQ(Wrapper<2>().Get().myValue, 42);
    }

    TEST(StaticObjectPool, AnUnsharedSlotIsWrittenInPlaceAndASharedOneIsCloned)
    {
        Wrapper<3> original;
        original.ResetToFresh();
        const auto* ownSlot = original.GetObject();
        original.GetMutable().myValue = 1;
        EXPECT_EQ(original.GetObject(), ownSlot);

        Wrapper<3> copy = original;
        EXPECT_EQ(original.GetReferenceCount(), 2u);
        copy.GetMutable().myValue = 2;
        EXPECT_NE(copy.GetObject(), ownSlot);
        EXPECT_EQ(original.GetReferenceCount(), 1u);
        EXPECT_EQ(copy.GetReferenceCount(), 1u);
        EXPECT_EQ(original.Get().myValue, 1);
        EXPECT_EQ(copy.Get().myValue, 2);
    }

    TEST(StaticObjectPool, The1024thHeldObjectStartsASecondBucket)
    {
        std::vector<Wrapper<4>> held(POOL_BUCKET_SLOT_COUNT);
        for (Wrapper<4>& value : held)
        {
            value.ResetToFresh();
        }
        const auto* firstBucket = Pool<4>::GetInstance().GetDefaultSlot().myBucket;
        for (std::uint32_t i = 0; i + 1 < POOL_BUCKET_SLOT_COUNT; ++i)
        {
            ASSERT_EQ(held[i].GetBucket(), firstBucket);
            ASSERT_EQ(held[i].GetSlotIndex(), static_cast<int>(i + 1));
        }
        EXPECT_NE(held.back().GetBucket(), firstBucket);
        EXPECT_EQ(held.back().GetSlotIndex(), 0);
        EXPECT_EQ(Pool<4>::GetInstance().GetBucketCount(), 2u);
    }

    TEST(StaticObjectPool, AReleasedSlotIsTheNextOneTaken)
    {
        Wrapper<5> kept;
        kept.ResetToFresh();
        const void* releasedSlot = nullptr;
        {
            Wrapper<5> dropped;
            dropped.ResetToFresh();
            dropped.GetMutable().myValue = 99;
            releasedSlot = dropped.GetObject();
        }
        Wrapper<5> next;
        next.ResetToFresh();
        EXPECT_EQ(next.GetObject(), releasedSlot);
        // A reused slot holds the default again, not what its last owner wrote.
        EXPECT_EQ(next.Get().myValue, 45);
        EXPECT_EQ(next.GetReferenceCount(), 1u);
    }

    TEST(StaticObjectPool, AssigningAWrapperToItselfKeepsItsSlot)
    {
        Wrapper<6> value;
        value.ResetToFresh();
        value.GetMutable().myValue = 5;
        const auto* slot = value.GetObject();
        Wrapper<6>& alias = value;
        value = alias;
        EXPECT_EQ(value.GetObject(), slot);
        EXPECT_EQ(value.GetReferenceCount(), 1u);
        Wrapper<6> other;
        other.ResetToFresh();
        EXPECT_NE(other.GetObject(), slot);
    }

    TEST(StaticObjectPool, CloningThroughTheBucketInterfaceCopiesAndReleases)
    {
        Wrapper<7> source;
        source.ResetToFresh();
        source.GetMutable().myValue = 11;
        // A second reference for the clone to take over.
        Pool<7>::AddReference(source.GetBucket(), source.GetObject());
        Vra::impl::StaticPoolBucketBase* bucket = source.GetBucket();
        const Vra::impl::PoolHandle clone = bucket->Clone(source.GetSlotIndex());
        auto* clonedObject = static_cast<Counter<7>*>(clone.myObject);
        EXPECT_NE(clonedObject, source.GetObject());
        EXPECT_EQ(clonedObject->myValue, 11);
        EXPECT_EQ(source.GetReferenceCount(), 1u);

        auto* cloneBucket = static_cast<Pool<7>::Bucket*>(clone.myBucket);
        EXPECT_EQ(Pool<7>::GetReferenceCount(cloneBucket, clonedObject), 1u);
        clone.myBucket->Release(cloneBucket->IndexOf(clonedObject));
        EXPECT_EQ(Pool<7>::GetReferenceCount(cloneBucket, clonedObject), 0u);
        Wrapper<7> next;
        next.ResetToFresh();
        EXPECT_EQ(next.GetObject(), clonedObject);
    }
}

#include "properties/PropertyTypes.h"
#include "properties/PropertyValue.h"

#include <cstdlib>

namespace
{
    TEST(StaticObjectPoolDeathTest, ValuesDestroyedAfterThePoolsExitHandlerReleaseNothing)
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                // Made before the pool exists, so it is destroyed after the pool's exit handler has
                // freed the buckets; its release must not touch them.
                static Vra::PropertyValue heldPastExit;
                heldPastExit = Vra::PropertyValue(&Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneReference>>::Get(),
                                                  nlohmann::json{{"scene_path", "levels/exit.vrs"}});
                std::exit(Vra::impl::StaticObjectPool<Vra::SceneReference>::IsShutDown() ? 1 : 0);
            },
            ::testing::ExitedWithCode(0), "");
    }
}
