#include "BadInputFiles.h"
#include "GameAssetsFixture.h"

#include "../properties/JsonErrorExpectations.h"

#include "properties/PropertyTypes.h"
#include "scene/ObjectDefinitionSerialize.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;
using Vra::StringRegistry;

namespace
{
    class ObjectDefinitionTest : public SceneTestSupport::GameAssetsTest
    {
    protected:
        Vra::ObjectDefinition Load(const std::string& aContent, const std::string& aPath = "defs/Thing.vro")
        {
            WriteAsset(aPath, aContent);
            Vra::ObjectDefinition definition;
            Vra::LoadObjectDefinition(definition, aPath.c_str());
            return definition;
        }

        static Vra::StringId Id(const char* aText) { return StringRegistry::RegisterOrGet(aText); }
    };

    TEST_F(ObjectDefinitionTest, ReadsPropertiesInFileOrderWithTheirFlagsAndDefaults)
    {
        const Vra::ObjectDefinition definition = Load(R"({
            "parent-object-definition": "Base",
            "properties": [
                {"name": "Speed", "group": "Movement", "description": "Units per second", "is-dynamic": true,
                 "is-per-instance": false, "type": "Float", "value": 2.5},
                {"name": "Look", "is-dynamic": false, "is-per-instance": true, "type": "Sprite"},
                {"name": "Tag", "group": "", "is-dynamic": false, "is-per-instance": true, "type": "StringId", "value": "Enemy"}
            ]})");
        EXPECT_EQ(definition.myPath, "defs/Thing.vro");
        EXPECT_EQ(definition.myName, Id("Thing"));
        EXPECT_EQ(definition.myParent, Id("Base"));
        ASSERT_EQ(definition.myProperties.size(), 3u);

        const Vra::PropertyDefinition& speed = definition.myProperties[0];
        EXPECT_EQ(speed.myName, Id("Speed"));
        EXPECT_EQ(speed.myType, &Vra::PropertyType<float>::Get());
        EXPECT_EQ(speed.myValue.Get<float>(), 2.5f);
        EXPECT_EQ(speed.myFlags, Vra::PropertyDefinition::IS_DYNAMIC);
        EXPECT_EQ(speed.myGroup, Id("Movement"));
        EXPECT_EQ(speed.myDescription, Id("Units per second"));

        const Vra::PropertyDefinition& look = definition.myProperties[1];
        EXPECT_EQ(look.myFlags, Vra::PropertyDefinition::IS_PER_INSTANCE);
        EXPECT_TRUE(look.myGroup.IsNull());
        EXPECT_TRUE(look.myDescription.IsNull());
        const auto& sprite = look.myValue.Get<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>().Get();
        EXPECT_EQ(sprite.mySize, (Vra::Vector2<float>{100, 100}));
        EXPECT_EQ(sprite.myPivot, (Vra::Vector2<float>{0.5f, 0.5f}));

        EXPECT_TRUE(definition.myProperties[2].myGroup.IsNull());
        EXPECT_EQ(definition.myProperties[2].myValue.Get<Vra::StringId>(), Id("Enemy"));
    }

    TEST_F(ObjectDefinitionTest, WithoutPropertiesAndWithAnEmptyParentTheDefinitionIsEmpty)
    {
        const Vra::ObjectDefinition definition = Load(R"({"parent-object-definition": ""})");
        EXPECT_TRUE(definition.myParent.IsNull());
        EXPECT_TRUE(definition.myProperties.empty());
    }

    TEST_F(ObjectDefinitionTest, APropertyOfAnUnknownTypeIsLeftOutWithAMessage)
    {
        testing::internal::CaptureStdout();
        const Vra::ObjectDefinition definition = Load(R"({"parent-object-definition": "", "properties": [
            {"name": "Mesh", "is-dynamic": false, "is-per-instance": false, "type": "Texture", "value": 1},
            {"name": "Lives", "is-dynamic": false, "is-per-instance": false, "type": "Int", "value": 3}]})");
        const std::string output = testing::internal::GetCapturedStdout();
        ASSERT_EQ(definition.myProperties.size(), 1u);
        EXPECT_EQ(definition.myProperties[0].myName, Id("Lives"));
        EXPECT_NE(output.find("\"Mesh\""), std::string::npos) << output;
        EXPECT_NE(output.find("defs/Thing.vro"), std::string::npos) << output;
        EXPECT_NE(output.find("\"Texture\""), std::string::npos) << output;
    }

    TEST_F(ObjectDefinitionTest, MalformedFilesRaiseTheJsonLibrarysErrors)
    {
        const std::string flags = R"("is-dynamic": false, "is-per-instance": false)";
        const std::vector<std::pair<std::string, JsonError>> cases = {
            {R"({"properties": []})", {302, "type must be string, but is null"}},
            {R"({"parent-object-definition": 4})", {302, "type must be string, but is number"}},
            {R"({"parent-object-definition": "", "properties": [{"name": "A", "is-per-instance": false, "type": "Int", "value": 1}]})",
             {302, "type must be boolean, but is null"}},
            {R"({"parent-object-definition": "", "properties": [{)" + flags + R"(, "type": "Int", "value": 1}]})",
             {302, "type must be string, but is null"}},
            {R"({"parent-object-definition": "", "properties": [{"name": "A", )" + flags + R"(, "value": 1}]})",
             {302, "type must be string, but is null"}},
            {R"({"parent-object-definition": "", "properties": [{"name": "A", )" + flags + R"(, "type": "Int"}]})",
             {302, "type must be number, but is null"}},
            {R"({"parent-object-definition": "", "properties": [{"name": "A", )" + flags + R"(, "type": "Float3", "value": [1]}]})",
             {401, "array index 1 is out of range"}},
            {BadInputFiles::Read("scene", "definition_int_1e10.vro"),
             {302, R"(type must be number that fits a 32-bit integer, but "value" is 10000000000.0)"}},
            {R"({"parent-object-definition": "", "properties": [5]})",
             {305, "cannot use operator[] with a string argument with number"}},
            {R"({"parent-object-definition": "", "properties": [null]})", {302, "type must be string, but is null"}},
            {R"({"parent-object-definition": "", /* no comments */ "properties": []})",
             {101, "parse error at line 1, column 34: syntax error while parsing object key - invalid literal; last read: '\"\", /'; expected string literal"}},
        };
        for (const auto& [content, error] : cases)
        {
            SCOPED_TRACE(content);
            EXPECT_TRUE(RaisesJsonError([&] { Load(content); }, error));
        }
        EXPECT_THROW(
            {
                Vra::ObjectDefinition definition;
                Vra::LoadObjectDefinition(definition, "defs/Missing.vro");
            },
            nlohmann::json::parse_error);
    }

    TEST_F(ObjectDefinitionTest, TheStoreReadsOnlyVroFilesBelowTheFolder)
    {
        const std::string empty = R"({"parent-object-definition": ""})";
        WriteAsset("Enemy.vro", empty);
        WriteAsset("deep/er/Pickup.vro", R"({"parent-object-definition": "Enemy"})");
        WriteAsset("Shouting.VRO", empty);
        WriteAsset("Backup.vro.bak", empty);
        WriteAsset("notes.txt", "not json");
        std::filesystem::create_directories(GameFolder() / "Folder.vro");

        Vra::ObjectDefinitionManager store;
        Vra::LoadObjectDefinitions(store, GameFolder().string());
        EXPECT_EQ(store.GetDefinitions().size(), 2u);
        const Vra::ObjectDefinition* pickup = store.FindDefinition(Id("Pickup"));
        ASSERT_NE(pickup, nullptr);
        EXPECT_EQ(pickup->myPath, (std::filesystem::path("deep") / "er" / "Pickup.vro").string());
        EXPECT_EQ(pickup->myParent, Id("Enemy"));
        EXPECT_NE(store.FindDefinition(Id("Enemy")), nullptr);
        EXPECT_EQ(store.FindDefinition(Id("Shouting")), nullptr);
        EXPECT_EQ(store.FindDefinition(Id("Backup.vro")), nullptr);
    }

    TEST_F(ObjectDefinitionTest, ADuplicateNameKeepsTheFirstDefinitionFoundAndSaysSo)
    {
        WriteAsset("a/Same.vro", R"({"parent-object-definition": "First"})");
        WriteAsset("b/Same.vro", R"({"parent-object-definition": "Second"})");

        // The walk's order is the file system's; the definition kept is the one it met first.
        std::string firstFound;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(GameFolder()))
        {
            if (firstFound.empty() && entry.path().filename() == "Same.vro")
            {
                firstFound = entry.path().parent_path().filename() == "a" ? "First" : "Second";
            }
        }

        Vra::ObjectDefinitionManager store;
        testing::internal::CaptureStdout();
        Vra::LoadObjectDefinitions(store, GameFolder().string());
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output, "Multiple vro files exist with same name. That is not allowed: Same\n");
        ASSERT_EQ(store.GetDefinitions().size(), 1u);
        EXPECT_EQ(store.FindDefinition(Id("Same"))->myParent.View(), firstFound);
    }

    TEST_F(ObjectDefinitionTest, AMissingFolderRaisesTheFileSystemError)
    {
        Vra::ObjectDefinitionManager store;
        EXPECT_THROW(Vra::LoadObjectDefinitions(store, (GameFolder() / "nowhere").string()), std::filesystem::filesystem_error);
    }
}
