#include "JsonErrorExpectations.h"

#include "properties/PropertyTypes.h"
#include "properties/PropertyValue.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using nlohmann::json;
using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;
using Vra::PropertyType;
using Vra::PropertyValue;

namespace
{
    // One JSON text read as T: either the value it gives or the error it raises.
    template <typename T>
    struct ReadCase
    {
        std::string myJson;
        std::optional<T> myValue;
        JsonError myError;
    };

    template <typename T>
    void CheckReads(const std::vector<ReadCase<T>>& someCases)
    {
        for (const ReadCase<T>& readCase : someCases)
        {
            SCOPED_TRACE(readCase.myJson);
            const json source = json::parse(readCase.myJson);
            if (readCase.myValue)
            {
                const PropertyValue value(&PropertyType<T>::Get(), source);
                EXPECT_EQ(value.Get<T>(), *readCase.myValue);
            }
            else
            {
                EXPECT_TRUE(RaisesJsonError([&] { PropertyValue value(&PropertyType<T>::Get(), source); }, readCase.myError));
            }
        }
    }

    TEST(SimplePropertyJson, BoolReadsOnlyJsonBooleans)
    {
        CheckReads<bool>({
            {"true", true, {}},
            {"false", false, {}},
            {"1", std::nullopt, {302, "type must be boolean, but is number"}},
            {"\"true\"", std::nullopt, {302, "type must be boolean, but is string"}},
            {"null", std::nullopt, {302, "type must be boolean, but is null"}},
            {"[true]", std::nullopt, {302, "type must be boolean, but is array"}},
        });
    }

    TEST(SimplePropertyJson, IntTruncatesNumbersAndTakesBooleans)
    {
        CheckReads<std::int32_t>({
            {"7", 7, {}},
            {"-12", -12, {}},
            {"2.9", 2, {}},
            {"-2.9", -2, {}},
            {"true", 1, {}},
            {"false", 0, {}},
            {"\"2\"", std::nullopt, {302, "type must be number, but is string"}},
            {"null", std::nullopt, {302, "type must be number, but is null"}},
            {"{}", std::nullopt, {302, "type must be number, but is object"}},
        });
    }

    TEST(SimplePropertyJson, IntRefusesNumbersOutsideItsRangeNamingTheValue)
    {
        const auto outOfRange = [](const std::string& aValue) {
            return JsonError{302, "type must be number that fits a 32-bit integer, but \"value\" is " + aValue};
        };
        CheckReads<std::int32_t>({
            {"2147483647", 2147483647, {}},
            {"-2147483648", -2147483647 - 1, {}},
            {"2147483647.9", 2147483647, {}},
            {"-2147483648.9", -2147483647 - 1, {}},
            {"2147483648", std::nullopt, outOfRange("2147483648")},
            {"-2147483649", std::nullopt, outOfRange("-2147483649")},
            {"4000000000", std::nullopt, outOfRange("4000000000")},
            {"2147483648.0", std::nullopt, outOfRange("2147483648.0")},
            {"1e10", std::nullopt, outOfRange("10000000000.0")},
            {"-1e300", std::nullopt, outOfRange("-1e+300")},
        });
    }

    TEST(SimplePropertyJson, FloatReadsEveryNumberKindAndBooleans)
    {
        CheckReads<float>({
            {"1.5", 1.5f, {}},
            {"-3", -3.0f, {}},
            {"4000000000", 4000000000.0f, {}},
            {"true", 1.0f, {}},
            {"\"1.5\"", std::nullopt, {302, "type must be number, but is string"}},
            {"[]", std::nullopt, {302, "type must be number, but is array"}},
        });
    }

    TEST(SimplePropertyJson, StringIdInternsStringsAndTheEmptyStringIsNull)
    {
        CheckReads<Vra::StringId>({
            {"\"Player\"", Vra::StringRegistry::RegisterOrGet("Player"), {}},
            {"\"\"", Vra::StringId(), {}},
            {"5", std::nullopt, {302, "type must be string, but is number"}},
            {"null", std::nullopt, {302, "type must be string, but is null"}},
            {"true", std::nullopt, {302, "type must be string, but is boolean"}},
        });
    }

    TEST(SimplePropertyJson, WritingGivesTheJsonKindOfEachType)
    {
        const json intJson = PropertyValue::Make<std::int32_t>(-5).ToJson();
        EXPECT_TRUE(intJson.is_number_integer());
        EXPECT_EQ(intJson.get<std::int64_t>(), -5);

        const json floatJson = PropertyValue::Make(0.1f).ToJson();
        EXPECT_TRUE(floatJson.is_number_float());
        EXPECT_EQ(floatJson.get<double>(), static_cast<double>(0.1f));

        EXPECT_EQ(PropertyValue::Make(true).ToJson(), json(true));
        EXPECT_EQ(PropertyValue::Make(Vra::StringRegistry::RegisterOrGet("Tag")).ToJson(), json("Tag"));
        EXPECT_EQ(PropertyValue::Make(Vra::StringId()).ToJson(), json(""));
        EXPECT_TRUE(PropertyValue().ToJson().is_null());
    }

    TEST(SimplePropertyJson, WrittenValuesReadBackUnchanged)
    {
        const std::vector<PropertyValue> values = {
            PropertyValue::Make(false),
            PropertyValue::Make<std::int32_t>(123456),
            PropertyValue::Make(-0.75f),
            PropertyValue::Make(Vra::StringRegistry::RegisterOrGet("Round trip")),
        };
        for (const PropertyValue& value : values)
        {
            SCOPED_TRACE(value.GetType()->GetName());
            const PropertyValue readBack(value.GetType(), value.ToJson());
            EXPECT_EQ(readBack.ToJson(), value.ToJson());
            EXPECT_EQ(std::memcmp(readBack.GetStorage(), value.GetStorage(), 8), 0);
        }
    }

    TEST(SimplePropertyJson, PoseIgnoresItsJsonAndWritesNull)
    {
        for (const char* text : {"null", "{\"a\": 1}", "[1, 2]", "\"pose\""})
        {
            SCOPED_TRACE(text);
            const PropertyValue pose(&PropertyType<Vra::PoseAndMotion>::Get(), json::parse(text));
            const Vra::PoseAndMotion zero{};
            EXPECT_EQ(std::memcmp(&pose.Get<Vra::PoseAndMotion>(), &zero, sizeof(zero)), 0);
            EXPECT_TRUE(pose.ToJson().is_null());
        }
    }

    TEST(SimplePropertyJson, DefaultsAreZeroFalseAndNull)
    {
        EXPECT_EQ(PropertyValue(&PropertyType<bool>::Get()).Get<bool>(), false);
        EXPECT_EQ(PropertyValue(&PropertyType<std::int32_t>::Get()).Get<std::int32_t>(), 0);
        EXPECT_EQ(PropertyValue(&PropertyType<float>::Get()).Get<float>(), 0.0f);
        EXPECT_TRUE(PropertyValue(&PropertyType<Vra::StringId>::Get()).Get<Vra::StringId>().IsNull());
    }
}
