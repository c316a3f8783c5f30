#include "JsonErrorExpectations.h"

#include "properties/PropertyTypes.h"
#include "properties/PropertyValue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using nlohmann::json;
using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;
using Vra::PropertyType;
using Vra::PropertyValue;

namespace
{
    // A JSON text and the components it gives (nothing when it raises the error).
    struct ComponentCase
    {
        std::string myJson;
        std::vector<float> myComponents;
        JsonError myError;
    };

    std::vector<float> ComponentsOf(const Vra::Vector2<float>& aValue) { return {aValue.x, aValue.y}; }
    std::vector<float> ComponentsOf(const Vra::Vector3<float>& aValue) { return {aValue.x, aValue.y, aValue.z}; }
    std::vector<float> ComponentsOf(const Vra::Vector4<float>& aValue) { return {aValue.x, aValue.y, aValue.z, aValue.w}; }
    std::vector<float> ComponentsOf(const Vra::Color& aValue) { return {aValue.r, aValue.g, aValue.b, aValue.a}; }

    template <typename T>
    void CheckComponentReads(const std::vector<ComponentCase>& someCases)
    {
        for (const ComponentCase& componentCase : someCases)
        {
            SCOPED_TRACE(componentCase.myJson);
            const json source = json::parse(componentCase.myJson);
            if (componentCase.myError.myId == 0)
            {
                const PropertyValue value(&PropertyType<T>::Get(), source);
                EXPECT_EQ(ComponentsOf(value.Get<T>()), componentCase.myComponents);
            }
            else
            {
                EXPECT_TRUE(RaisesJsonError([&] { PropertyValue value(&PropertyType<T>::Get(), source); }, componentCase.myError));
            }
        }
    }

    // What every component type shares: not an array, a non-number element, an array too short.
    std::vector<ComponentCase> CommonErrors(int aComponentCount)
    {
        std::string tooShort = "[";
        for (int i = 0; i + 1 < aComponentCount; ++i)
        {
            tooShort += i ? ", 1" : "1";
        }
        tooShort += "]";
        return {
            {R"({"x": 1})", {}, {305, "cannot use operator[] with a numeric argument with object"}},
            {"1.5", {}, {305, "cannot use operator[] with a numeric argument with number"}},
            {"null", {}, {305, "cannot use operator[] with a numeric argument with null"}},
            {"\"1 2 3 4\"", {}, {305, "cannot use operator[] with a numeric argument with string"}},
            {"[\"1\", 2, 3, 4]", {}, {302, "type must be number, but is string"}},
            {"[]", {}, {401, "array index 0 is out of range"}},
            {tooShort, {}, {401, "array index " + std::to_string(aComponentCount - 1) + " is out of range"}},
        };
    }

    template <typename T>
    void CheckCommonErrors(int aComponentCount)
    {
        CheckComponentReads<T>(CommonErrors(aComponentCount));
    }

    TEST(VectorPropertyJson, Float2ReadsTwoElements)
    {
        CheckComponentReads<Vra::Vector2<float>>({
            {"[1, 2]", {1, 2}, {}},
            {"[0.5, -4.25, 99]", {0.5f, -4.25f}, {}},
            {"[true, 3]", {1, 3}, {}},
        });
        CheckCommonErrors<Vra::Vector2<float>>(2);
    }

    TEST(VectorPropertyJson, Float3ReadsThreeElementsAndIgnoresTheRest)
    {
        CheckComponentReads<Vra::Vector3<float>>({
            {"[1, 2, 3]", {1, 2, 3}, {}},
            {"[1, 2, 3, 4]", {1, 2, 3}, {}},
            {"[1, 2, 3, \"ignored\"]", {1, 2, 3}, {}},
        });
        CheckCommonErrors<Vra::Vector3<float>>(3);
    }

    TEST(VectorPropertyJson, Float4AndColorReadFourElements)
    {
        CheckComponentReads<Vra::Vector4<float>>({{"[1, 2, 3, 4]", {1, 2, 3, 4}, {}}, {"[0, 0, 0, 0, 5]", {0, 0, 0, 0}, {}}});
        CheckCommonErrors<Vra::Vector4<float>>(4);
        CheckComponentReads<Vra::Color>({{"[0.25, 0.5, 0.75, 1]", {0.25f, 0.5f, 0.75f, 1}, {}}});
        CheckCommonErrors<Vra::Color>(4);
    }

    TEST(VectorPropertyJson, DefaultsAreAllZero)
    {
        EXPECT_EQ(ComponentsOf(PropertyValue(&PropertyType<Vra::Vector2<float>>::Get()).Get<Vra::Vector2<float>>()),
                  (std::vector<float>{0, 0}));
        EXPECT_EQ(ComponentsOf(PropertyValue(&PropertyType<Vra::Vector3<float>>::Get()).Get<Vra::Vector3<float>>()),
                  (std::vector<float>{0, 0, 0}));
        EXPECT_EQ(ComponentsOf(PropertyValue(&PropertyType<Vra::Vector4<float>>::Get()).Get<Vra::Vector4<float>>()),
                  (std::vector<float>{0, 0, 0, 0}));
        EXPECT_EQ(ComponentsOf(PropertyValue(&PropertyType<Vra::Color>::Get()).Get<Vra::Color>()),
                  (std::vector<float>{0, 0, 0, 0}));
    }

    TEST(VectorPropertyJson, WritingGivesFloatArraysThatReadBack)
    {
        const std::vector<PropertyValue> values = {
            PropertyValue::Make(Vra::Vector2<float>{1.5f, -2}),
            PropertyValue::Make(Vra::Vector3<float>{0.1f, 0.2f, 0.3f}),
            PropertyValue::Make(Vra::Vector4<float>{1, 2, 3, 4}),
            PropertyValue::Make(Vra::Color{0.957f, 0.259f, 0.298f, 1.0f}),
        };
        for (const PropertyValue& value : values)
        {
            SCOPED_TRACE(value.GetType()->GetName());
            const json written = value.ToJson();
            ASSERT_TRUE(written.is_array());
            for (const json& element : written)
            {
                EXPECT_TRUE(element.is_number_float());
            }
            const PropertyValue readBack(value.GetType(), written);
            EXPECT_EQ(readBack.ToJson(), written);
        }
        EXPECT_EQ(PropertyValue::Make(Vra::Vector3<float>{0.1f, 2, 3}).ToJson(),
                  json::parse("[0.10000000149011612, 2.0, 3.0]"));
    }
}
