#include "JsonErrorExpectations.h"

#include "properties/PropertyTypes.h"
#include "properties/PropertyValue.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using nlohmann::json;
using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;
using Vra::CopyOnWriteWrapper;
using Vra::PropertyType;
using Vra::PropertyValue;
using Vra::StringRegistry;

namespace
{
    using SceneValue = CopyOnWriteWrapper<Vra::SceneReference>;
    using ClipValue = CopyOnWriteWrapper<Vra::AnimationClipReference>;
    using ModelValue = CopyOnWriteWrapper<Vra::SceneModel>;

    struct PathCase
    {
        std::string myJson;
        std::string myPath;
        JsonError myError;
    };

    template <typename Value, typename Field>
    void CheckPathReads(const std::vector<PathCase>& someCases, Field aField)
    {
        for (const PathCase& pathCase : someCases)
        {
            SCOPED_TRACE(pathCase.myJson);
            const json source = json::parse(pathCase.myJson);
            if (pathCase.myError.myId == 0)
            {
                const PropertyValue value(&PropertyType<Value>::Get(), source);
                EXPECT_EQ(value.Get<Value>().Get().*aField, StringRegistry::RegisterOrGet(pathCase.myPath));
                EXPECT_EQ(value.Get<Value>().GetReferenceCount(), 1u);
            }
            else
            {
                EXPECT_TRUE(RaisesJsonError([&] { PropertyValue value(&PropertyType<Value>::Get(), source); }, pathCase.myError));
            }
        }
    }

    TEST(PooledPropertyJson, SceneReadsItsPathFromScenePath)
    {
        CheckPathReads<SceneValue>(
            {
                {R"({"scene_path": "levels/level1.vrs"})", "levels/level1.vrs", {}},
                {R"({})", "", {}},
                {R"({"scene_path": ""})", "", {}},
                {R"({"clip_path": "x"})", "", {}},
                {"5", "", {306, "cannot use value() with number"}},
                {"null", "", {306, "cannot use value() with null"}},
                {R"({"scene_path": 3})", "", {302, "type must be string, but is number"}},
            },
            &Vra::SceneReference::myScenePath);
    }

    TEST(PooledPropertyJson, AnimationClipReadsItsPathFromClipPath)
    {
        CheckPathReads<ClipValue>(
            {
                {R"({"clip_path": "Animations/A_Run.fbx"})", "Animations/A_Run.fbx", {}},
                {R"({"scene_path": "x"})", "", {}},
                {"[1]", "", {306, "cannot use value() with array"}},
                {R"({"clip_path": null})", "", {302, "type must be string, but is null"}},
            },
            &Vra::AnimationClipReference::myClipPath);
    }

    TEST(PooledPropertyJson, ReferencesWriteOneKeyWithNullAsEmpty)
    {
        const PropertyValue scene(&PropertyType<SceneValue>::Get(), json::parse(R"({"scene_path": "a.vrs"})"));
        EXPECT_EQ(scene.ToJson(), json::parse(R"({"scene_path": "a.vrs"})"));
        EXPECT_EQ(PropertyValue(&PropertyType<SceneValue>::Get()).ToJson(), json::parse(R"({"scene_path": ""})"));
        EXPECT_EQ(PropertyValue(&PropertyType<ClipValue>::Get()).ToJson(), json::parse(R"({"clip_path": ""})"));
        const PropertyValue clip(&PropertyType<ClipValue>::Get(), json::parse(R"({"clip_path": "c.fbx"})"));
        EXPECT_EQ(PropertyValue(clip.GetType(), clip.ToJson()).ToJson(), clip.ToJson());
    }

    TEST(PooledPropertyJson, ModelReadsUpToFourMeshesOfFourTextures)
    {
        const PropertyValue value(&PropertyType<ModelValue>::Get(), json::parse(R"({
            "path": "Models/SM_Box.fbx",
            "textures": [["c0", "n0"], [], ["c2", "n2", "m2", "fx2", "ignored"], ["c3"], [["ignored mesh"]]]
        })"));
        const Vra::SceneModel& model = value.Get<ModelValue>().Get();
        EXPECT_EQ(model.myModelPath.View(), "Models/SM_Box.fbx");
        const std::vector<std::vector<std::string>> expected = {
            {"c0", "n0", "", ""}, {"", "", "", ""}, {"c2", "n2", "m2", "fx2"}, {"c3", "", "", ""}};
        for (int mesh = 0; mesh < 4; ++mesh)
        {
            for (int slot = 0; slot < 4; ++slot)
            {
                EXPECT_EQ(model.myTextures[mesh][slot].View(), expected[mesh][slot]) << mesh << "," << slot;
                EXPECT_EQ(model.myTextures[mesh][slot].IsNull(), expected[mesh][slot].empty());
            }
        }
    }

    TEST(PooledPropertyJson, ModelWithOneMeshOfTwoPathsWritesSixteenStrings)
    {
        const PropertyValue value(&PropertyType<ModelValue>::Get(), json::parse(R"({"textures": [["colour", "normal"]]})"));
        const Vra::SceneModel& model = value.Get<ModelValue>().Get();
        EXPECT_TRUE(model.myModelPath.IsNull());
        EXPECT_EQ(model.myTextures[0][0].View(), "colour");
        EXPECT_EQ(model.myTextures[0][1].View(), "normal");
        EXPECT_TRUE(model.myTextures[0][2].IsNull());
        EXPECT_TRUE(model.myTextures[1][0].IsNull());

        EXPECT_EQ(value.ToJson(), json::parse(R"({"path": "", "textures": [["colour", "normal", "", ""],
            ["", "", "", ""], ["", "", "", ""], ["", "", "", ""]]})"));
        EXPECT_EQ(PropertyValue(value.GetType(), value.ToJson()).ToJson(), value.ToJson());
    }

    TEST(PooledPropertyJson, ModelErrors)
    {
        const std::vector<std::pair<std::string, JsonError>> cases = {
            {"\"Models/SM_Box.fbx\"", {306, "cannot use value() with string"}},
            {R"({"path": 1})", {302, "type must be string, but is number"}},
            {R"({"textures": [[1]]})", {302, "type must be string, but is number"}},
            {R"({"textures": [[null]]})", {302, "type must be string, but is null"}},
        };
        for (const auto& [text, error] : cases)
        {
            SCOPED_TRACE(text);
            EXPECT_TRUE(RaisesJsonError([&] { PropertyValue value(&PropertyType<ModelValue>::Get(), json::parse(text)); }, error));
        }
    }

    TEST(PooledPropertyJson, AFailedReadReleasesTheSlotItTook)
    {
        const void* failedSlot = nullptr;
        {
            // The fresh slot is taken before "path" fails to read; the next fresh value reuses it.
            const PropertyValue probe(&PropertyType<ModelValue>::Get(), json::parse(R"({"path": "probe"})"));
            failedSlot = probe.Get<ModelValue>().GetObject();
        }
        EXPECT_THROW(PropertyValue(&PropertyType<ModelValue>::Get(), json::parse(R"({"path": false})")), json::type_error);
        const PropertyValue next(&PropertyType<ModelValue>::Get(), json::parse("{}"));
        EXPECT_EQ(next.Get<ModelValue>().GetObject(), failedSlot);
        EXPECT_EQ(next.Get<ModelValue>().GetReferenceCount(), 1u);
    }
}

namespace
{
    using SpriteValue = CopyOnWriteWrapper<Vra::SceneSprite>;

    const Vra::SceneSprite& ReadSprite(const PropertyValue& aValue)
    {
        return aValue.Get<SpriteValue>().Get();
    }

    TEST(PooledPropertyJson, SpriteKeepsItsDefaultsForAnythingButAnObject)
    {
        for (const char* text : {"{}", "null", "\"Sprites/S_Tree.dds\"", "[1, 2]", "3"})
        {
            SCOPED_TRACE(text);
            const PropertyValue value(&PropertyType<SpriteValue>::Get(), json::parse(text));
            const Vra::SceneSprite& sprite = ReadSprite(value);
            EXPECT_EQ(sprite.mySize, (Vra::Vector2<float>{100, 100}));
            EXPECT_EQ(sprite.myPivot, (Vra::Vector2<float>{0.5f, 0.5f}));
            for (const Vra::StringId texture : sprite.myTextures)
            {
                EXPECT_TRUE(texture.IsNull());
            }
        }
    }

    TEST(PooledPropertyJson, SpriteTexturesOverrideTheTexturePath)
    {
        const PropertyValue value(&PropertyType<SpriteValue>::Get(), json::parse(R"({
            "texturePath": "Sprites/old.dds", "textures": ["Sprites/new.dds", "", "Sprites/m.dds"],
            "pivot": [0, 1], "size": [32, 64.5]})"));
        const Vra::SceneSprite& sprite = ReadSprite(value);
        EXPECT_EQ(sprite.myTextures[0].View(), "Sprites/new.dds");
        EXPECT_TRUE(sprite.myTextures[1].IsNull());
        EXPECT_EQ(sprite.myTextures[2].View(), "Sprites/m.dds");
        EXPECT_TRUE(sprite.myTextures[3].IsNull());
        EXPECT_EQ(sprite.myPivot, (Vra::Vector2<float>{0, 1}));
        EXPECT_EQ(sprite.mySize, (Vra::Vector2<float>{32, 64.5f}));

        const PropertyValue onlyPath(&PropertyType<SpriteValue>::Get(), json::parse(R"({"texturePath": "Sprites/a.dds",
            "textures": ["1", "2", "3", "4", "5"]})"));
        EXPECT_EQ(ReadSprite(onlyPath).myTextures[0].View(), "1");
        EXPECT_EQ(ReadSprite(onlyPath).myTextures[3].View(), "4");
    }

    TEST(PooledPropertyJson, SpriteWritesTexturesPivotAndSizeButNeverTexturePath)
    {
        const PropertyValue value(&PropertyType<SpriteValue>::Get(), json::parse(R"({"texturePath": "Sprites/a.dds"})"));
        const json written = value.ToJson();
        EXPECT_EQ(written, json::parse(R"({"textures": ["Sprites/a.dds", "", "", ""], "pivot": [0.5, 0.5],
            "size": [100.0, 100.0]})"));
        EXPECT_TRUE(written["size"][0].is_number_float());
        EXPECT_EQ(PropertyValue(value.GetType(), written).ToJson(), written);
    }

    TEST(PooledPropertyJson, SpriteErrors)
    {
        const std::vector<std::pair<std::string, JsonError>> cases = {
            {R"({"texturePath": 1})", {302, "type must be string, but is number"}},
            {R"({"textures": [null]})", {302, "type must be string, but is null"}},
            {R"({"pivot": [0.5]})", {401, "array index 1 is out of range"}},
            {R"({"size": []})", {401, "array index 0 is out of range"}},
            {R"({"size": {"w": 1, "h": 2}})", {305, "cannot use operator[] with a numeric argument with object"}},
            {R"({"pivot": [0.5, "0.5"]})", {302, "type must be number, but is string"}},
        };
        for (const auto& [text, error] : cases)
        {
            SCOPED_TRACE(text);
            EXPECT_TRUE(RaisesJsonError([&] { PropertyValue value(&PropertyType<SpriteValue>::Get(), json::parse(text)); }, error));
        }
    }
}
