#include "properties/PropertyTypes.h"
#include "scene/ObjectDefinitionManager.h"
#include "scene/Scene.h"
#include "scene/SceneObject.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Vra::PropertyDefinition;
using Vra::PropertyValue;
using Vra::StringId;
using Vra::StringRegistry;

namespace
{
    StringId Id(const char* aText)
    {
        return StringRegistry::RegisterOrGet(aText);
    }

    PropertyDefinition MakeProperty(const char* aName, const PropertyValue& aDefault, std::uint8_t someFlags)
    {
        PropertyDefinition property;
        property.myName = Id(aName);
        property.myType = aDefault.GetType();
        property.myValue = aDefault;
        property.myFlags = someFlags;
        property.myGroup = Id("Group");
        return property;
    }

    class CollectPropertiesTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            auto definition = std::make_unique<Vra::ObjectDefinition>();
            definition->myName = Id("Crate");
            definition->myProperties.push_back(MakeProperty("A", PropertyValue::Make<std::int32_t>(1), PropertyDefinition::IS_PER_INSTANCE));
            definition->myProperties.push_back(MakeProperty("B", PropertyValue::Make<std::int32_t>(2), 0));
            definition->myProperties.push_back(MakeProperty("C", PropertyValue::Make(3.0f), PropertyDefinition::IS_PER_INSTANCE));
            ASSERT_TRUE(myDefinitions.AddDefinition(std::move(definition)));
            myObject.myDefinition = Id("Crate");
        }

        void Own(const char* aName, const PropertyValue& aValue)
        {
            myObject.myOwnValues.push_back({Id(aName), aValue.GetType(), aValue});
        }

        std::vector<PropertyDefinition> Collect() const
        {
            std::vector<PropertyDefinition> collected;
            myObject.CollectProperties(myDefinitions, collected);
            return collected;
        }

        Vra::ObjectDefinitionManager myDefinitions;
        Vra::SceneObject myObject;
    };

    TEST_F(CollectPropertiesTest, PerInstancePropertiesTakeTheObjectsValueOthersKeepTheDefault)
    {
        Own("B", PropertyValue::Make<std::int32_t>(20));
        Own("A", PropertyValue::Make<std::int32_t>(10));
        Own("Extra", PropertyValue::Make<std::int32_t>(99));
        const std::vector<PropertyDefinition> collected = Collect();
        ASSERT_EQ(collected.size(), 3u);
        EXPECT_EQ(collected[0].myName, Id("A"));
        EXPECT_EQ(collected[0].myValue.Get<std::int32_t>(), 10);
        EXPECT_EQ(collected[0].myFlags, PropertyDefinition::IS_PER_INSTANCE);
        EXPECT_EQ(collected[0].myGroup, Id("Group"));
        EXPECT_EQ(collected[1].myName, Id("B"));
        EXPECT_EQ(collected[1].myValue.Get<std::int32_t>(), 2);
        EXPECT_EQ(collected[2].myName, Id("C"));
        EXPECT_EQ(collected[2].myValue.Get<float>(), 3.0f);
    }

    TEST_F(CollectPropertiesTest, AnOwnValueOfAnotherTypeLeavesTheDefault)
    {
        Own("C", PropertyValue::Make<std::int32_t>(7));
        const std::vector<PropertyDefinition> collected = Collect();
        ASSERT_EQ(collected.size(), 3u);
        EXPECT_TRUE(collected[2].myValue.Holds<float>());
        EXPECT_EQ(collected[2].myValue.Get<float>(), 3.0f);
    }

    TEST_F(CollectPropertiesTest, TheFirstOwnValueOfANameCounts)
    {
        Own("A", PropertyValue::Make<std::int32_t>(10));
        Own("A", PropertyValue::Make<std::int32_t>(11));
        EXPECT_EQ(Collect()[0].myValue.Get<std::int32_t>(), 10);
    }

    TEST_F(CollectPropertiesTest, AnObjectWithoutAKnownDefinitionGivesNothingAndAppends)
    {
        std::vector<PropertyDefinition> collected(1);
        myObject.myDefinition = Id("Unknown");
        myObject.CollectProperties(myDefinitions, collected);
        EXPECT_EQ(collected.size(), 1u);
        myObject.myDefinition = StringId();
        myObject.CollectProperties(myDefinitions, collected);
        EXPECT_EQ(collected.size(), 1u);
        myObject.myDefinition = Id("Crate");
        myObject.CollectProperties(myDefinitions, collected);
        EXPECT_EQ(collected.size(), 4u);
    }

    TEST_F(CollectPropertiesTest, CollectedPooledValuesShareTheDefinitionsSlot)
    {
        auto definition = std::make_unique<Vra::ObjectDefinition>();
        definition->myName = Id("Level exit");
        definition->myProperties.push_back(MakeProperty(
            "Next", PropertyValue(&Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneReference>>::Get(),
                                  nlohmann::json{{"scene_path", "levels/level_2_01.vrs"}}),
            0));
        const auto& defaultValue = definition->myProperties[0].myValue.Get<Vra::CopyOnWriteWrapper<Vra::SceneReference>>();
        ASSERT_TRUE(myDefinitions.AddDefinition(std::move(definition)));
        myObject.myDefinition = Id("Level exit");
        {
            const std::vector<PropertyDefinition> collected = Collect();
            const auto& value = collected[0].myValue.Get<Vra::CopyOnWriteWrapper<Vra::SceneReference>>();
            EXPECT_EQ(value.GetObject(), defaultValue.GetObject());
            EXPECT_EQ(defaultValue.GetReferenceCount(), 2u);
        }
        EXPECT_EQ(defaultValue.GetReferenceCount(), 1u);
    }

    TEST(SceneObject, SetPathWithASceneKeepsItsPathCounts)
    {
        Vra::Scene scene;
        Vra::SceneObject first;
        Vra::SceneObject second;
        first.SetPath(nullptr, Id("Old"));
        EXPECT_TRUE(scene.myPathCounts.empty());
        scene.myPathCounts[Id("Old")] = 2;

        first.SetPath(&scene, Id("New"));
        EXPECT_EQ(first.GetPath(), Id("New"));
        EXPECT_EQ(scene.myPathCounts.at(Id("New")), 1u);
        EXPECT_EQ(scene.myPathCounts.at(Id("Old")), 1u);

        second.SetPath(nullptr, Id("Old"));
        second.SetPath(&scene, Id("New"));
        EXPECT_EQ(scene.myPathCounts.at(Id("New")), 2u);
        EXPECT_EQ(scene.myPathCounts.count(Id("Old")), 0u);

        second.SetPath(&scene, Id("New"));
        EXPECT_EQ(scene.myPathCounts.at(Id("New")), 2u);
    }
}
