#include "properties/PropertyTypes.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using Vra::PropertyTypeBase;
using Vra::StringRegistry;

namespace
{
    // A type that exists only to be registered by a death test.
    class LateType final : public PropertyTypeBase
    {
    public:
        explicit LateType(const char* aName) : PropertyTypeBase(aName) {}
        void Construct(void*) const override {}
        void CopyConstruct(const void*, void*) const override {}
        void MoveConstruct(void*, void*) const override {}
        void Destroy(void*) const override {}
        void FromJson(void*, const nlohmann::json&) const override {}
        nlohmann::json ToJson(const void*) const override { return {}; }
        bool DrawEditor(void*, const char*, const char*) const override { return false; }
    };

    const std::vector<std::string> REGISTRATION_ORDER = {"Model", "Sprite", "Scene", "Animation Clip", "Pose",
                                                          "Bool",  "Int",    "Float", "Float2",         "Float3",
                                                          "Float4", "Color", "StringId"};

    TEST(PropertyTypeRegistry, BuiltInTypesAreRegisteredInTheirFixedOrder)
    {
        ASSERT_EQ(PropertyTypeBase::GetTypeCount(), REGISTRATION_ORDER.size());
        for (std::uint32_t index = 0; index < REGISTRATION_ORDER.size(); ++index)
        {
            const PropertyTypeBase* type = PropertyTypeBase::GetTypeAt(index);
            ASSERT_NE(type, nullptr);
            EXPECT_EQ(type->GetName(), REGISTRATION_ORDER[index]);
            EXPECT_EQ(type->GetIndex(), static_cast<int>(index));
        }
        EXPECT_EQ(PropertyTypeBase::GetTypeAt(static_cast<std::uint32_t>(REGISTRATION_ORDER.size())), nullptr);
    }

    TEST(PropertyTypeRegistry, EachValueTypeHasTheSingletonOfItsName)
    {
        EXPECT_STREQ(Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneModel>>::Get().GetName(), "Model");
        EXPECT_STREQ(Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneReference>>::Get().GetName(), "Scene");
        EXPECT_STREQ(Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::AnimationClipReference>>::Get().GetName(), "Animation Clip");
        EXPECT_STREQ(Vra::PropertyType<Vra::PoseAndMotion>::Get().GetName(), "Pose");
        EXPECT_STREQ(Vra::PropertyType<bool>::Get().GetName(), "Bool");
        EXPECT_STREQ(Vra::PropertyType<std::int32_t>::Get().GetName(), "Int");
        EXPECT_STREQ(Vra::PropertyType<float>::Get().GetName(), "Float");
        EXPECT_STREQ(Vra::PropertyType<Vra::StringId>::Get().GetName(), "StringId");
        EXPECT_STREQ(Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>::Get().GetName(), "Sprite");
        EXPECT_STREQ(Vra::PropertyType<Vra::Vector2<float>>::Get().GetName(), "Float2");
        EXPECT_STREQ(Vra::PropertyType<Vra::Vector3<float>>::Get().GetName(), "Float3");
        EXPECT_STREQ(Vra::PropertyType<Vra::Vector4<float>>::Get().GetName(), "Float4");
        EXPECT_STREQ(Vra::PropertyType<Vra::Color>::Get().GetName(), "Color");
        EXPECT_NE(static_cast<const Vra::PropertyTypeBase*>(&Vra::PropertyType<Vra::Color>::Get()),
                  &Vra::PropertyType<Vra::Vector4<float>>::Get());
    }

    TEST(PropertyTypeRegistry, FindByNameMatchesTheExactInternedName)
    {
        const PropertyTypeBase* found = PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("Float3"));
        EXPECT_EQ(found, &Vra::PropertyType<Vra::Vector3<float>>::Get());
        EXPECT_TRUE(PropertyTypeBase::IsFinalized());
        EXPECT_EQ(found->GetNameId(), StringRegistry::RegisterOrGet("Float3"));
        EXPECT_EQ(PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("float3")), nullptr);
        EXPECT_EQ(PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("Animation Clip")),
                  &Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::AnimationClipReference>>::Get());
        EXPECT_EQ(PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("float")), nullptr);
        EXPECT_EQ(PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("Texture")), nullptr);
        EXPECT_EQ(PropertyTypeBase::FindByName(Vra::StringId()), nullptr);
    }

    TEST(PropertyTypeRegistry, SortedNamesListEveryTypeInByteOrder)
    {
        std::vector<std::string> expected = REGISTRATION_ORDER;
        std::sort(expected.begin(), expected.end());
        std::vector<std::string> actual;
        for (const Vra::StringId name : PropertyTypeBase::GetSortedNames())
        {
            actual.emplace_back(name.View());
        }
        EXPECT_EQ(actual, expected);
        EXPECT_EQ(actual.front(), "Animation Clip");
    }

    TEST(PropertyTypeRegistryDeathTest, RegisteringAfterTheFirstLookupAborts)
    {
        EXPECT_DEATH(
            {
                PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("Int"));
                static LateType late("Late");
            },
            "already finalised");
    }

    TEST(PropertyTypeRegistryDeathTest, The513thTypeAborts)
    {
        // A fresh process, so that no lookup has frozen the registry yet.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_DEATH(
            {
                static std::vector<std::unique_ptr<LateType>> types;
                while (true)
                {
                    types.push_back(std::make_unique<LateType>("Extra"));
                }
            },
            "registry is full");
    }
}
