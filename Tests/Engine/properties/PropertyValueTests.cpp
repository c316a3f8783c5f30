#include "properties/PropertyTypes.h"
#include "properties/PropertyValue.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <utility>

using nlohmann::json;
using Vra::CopyOnWriteWrapper;
using Vra::PropertyType;
using Vra::PropertyValue;

namespace
{
    using SceneValue = CopyOnWriteWrapper<Vra::SceneReference>;

    PropertyValue MakeScene(const char* aPath)
    {
        return PropertyValue(&PropertyType<SceneValue>::Get(), json{{"scene_path", aPath}});
    }

    TEST(PropertyValue, CopiesHoldTheSameTypeAndValue)
    {
        const PropertyValue number = PropertyValue::Make<std::int32_t>(0x12345678);
        const PropertyValue copy = number;
        EXPECT_EQ(copy.GetType(), &PropertyType<std::int32_t>::Get());
        EXPECT_EQ(copy.Get<std::int32_t>(), 0x12345678);

        const PropertyValue empty;
        const PropertyValue emptyCopy = empty;
        EXPECT_TRUE(emptyCopy.IsEmpty());
        EXPECT_FALSE(emptyCopy.Holds<std::int32_t>());
    }

    TEST(PropertyValue, MovingLeavesTheSourceItsValue)
    {
        PropertyValue scene = MakeScene("levels/a.vrs");
        PropertyValue moved = std::move(scene);
        EXPECT_EQ(moved.Get<SceneValue>().Get().myScenePath.View(), "levels/a.vrs");
        EXPECT_EQ(scene.Get<SceneValue>().Get().myScenePath.View(), "levels/a.vrs");
        EXPECT_EQ(moved.Get<SceneValue>().GetObject(), scene.Get<SceneValue>().GetObject());
        EXPECT_EQ(moved.Get<SceneValue>().GetReferenceCount(), 2u);
    }

    TEST(PropertyValue, CopiesOfAPooledValueShareTheSlotUntilOneIsWritten)
    {
        const PropertyValue original = MakeScene("levels/shared.vrs");
        PropertyValue copy = original;
        EXPECT_EQ(copy.Get<SceneValue>().GetObject(), original.Get<SceneValue>().GetObject());
        copy.GetMutable<SceneValue>().GetMutable().myScenePath = Vra::StringRegistry::RegisterOrGet("levels/other.vrs");
        EXPECT_NE(copy.Get<SceneValue>().GetObject(), original.Get<SceneValue>().GetObject());
        EXPECT_EQ(original.Get<SceneValue>().Get().myScenePath.View(), "levels/shared.vrs");
        EXPECT_EQ(original.Get<SceneValue>().GetReferenceCount(), 1u);
    }

    TEST(PropertyValue, AssignmentToItselfKeepsTheValueAndItsSlot)
    {
        PropertyValue scene = MakeScene("levels/self.vrs");
        const void* slot = scene.Get<SceneValue>().GetObject();
        PropertyValue& alias = scene;
        scene = alias;
        scene = std::move(alias);
        EXPECT_EQ(scene.Get<SceneValue>().Get().myScenePath.View(), "levels/self.vrs");
        EXPECT_EQ(scene.Get<SceneValue>().GetReferenceCount(), 1u);
        // Had the slot been freed, the next new value would take it.
        const PropertyValue other = MakeScene("levels/next.vrs");
        EXPECT_NE(other.Get<SceneValue>().GetObject(), slot);
        EXPECT_EQ(scene.Get<SceneValue>().Get().myScenePath.View(), "levels/self.vrs");

        PropertyValue number = PropertyValue::Make(2.5f);
        number = static_cast<PropertyValue&>(number);
        EXPECT_EQ(number.Get<float>(), 2.5f);
    }

    TEST(PropertyValue, AssigningAFloatOverASceneReleasesTheSceneHandle)
    {
        PropertyValue held = MakeScene("levels/released.vrs");
        const PropertyValue keeper = held;
        const SceneValue& shared = keeper.Get<SceneValue>();
        EXPECT_EQ(shared.GetReferenceCount(), 2u);

        held = PropertyValue::Make(1.25f);
        EXPECT_EQ(shared.GetReferenceCount(), 1u);
        EXPECT_TRUE(held.Holds<float>());
        EXPECT_EQ(held.Get<float>(), 1.25f);

        held = PropertyValue();
        EXPECT_TRUE(held.IsEmpty());
    }

    TEST(PropertyValue, ReadingTheWrongTypeFailsAnAssertion)
    {
        const PropertyValue number = PropertyValue::Make<std::int32_t>(3);
        EXPECT_DEATH(static_cast<void>(number.Get<float>()), "Holds<T>\\(\\)");
    }

    TEST(PropertyValue, ADefaultPooledValueUsesTheDefaultSlot)
    {
        const PropertyValue scene(&PropertyType<SceneValue>::Get());
        EXPECT_EQ(scene.Get<SceneValue>().GetSlotIndex(), 0);
        EXPECT_EQ(scene.Get<SceneValue>().GetReferenceCount(), Vra::impl::PERMANENT_REFERENCE_COUNT);
        EXPECT_TRUE(scene.Get<SceneValue>().Get().myScenePath.IsNull());
    }
}
