#include "BadInputFiles.h"
#include "GameAssetsFixture.h"

#include "../properties/JsonErrorExpectations.h"

#include "properties/PropertyTypes.h"
#include "scene/SceneSerialize.h"
#include "scene/UuidRegistry.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;
using Vra::StringRegistry;

namespace
{
    constexpr const char* UUID_A = "3f2a8c1e-5b7d-4e9f-a1c3-0d2e4f6a8b01";
    constexpr const char* UUID_A_UPPER = "3F2A8C1E-5B7D-4E9F-A1C3-0D2E4F6A8B01";
    constexpr const char* UUID_B = "3f2a8c1e-5b7d-4e9f-a1c3-0d2e4f6a8b02";
    constexpr const char* NIL_UUID = "00000000-0000-0000-0000-000000000000";

    class SceneLoadingTest : public SceneTestSupport::GameAssetsTest
    {
    protected:
        void WriteObject(const std::string& aFileName, const std::string& aContent)
        {
            WriteAsset(std::filesystem::path("levels/level1.leveldata") / aFileName, aContent);
        }

        std::shared_ptr<Vra::SceneObject> ObjectOf(const char* aUuid) const
        {
            const auto found = myScene.myObjects.find(Vra::UuidRegistry::GetId(aUuid));
            return found != myScene.myObjects.end() ? found->second : nullptr;
        }

        bool Load() { return Vra::LoadScene("levels/level1.vrs", myScene); }

        Vra::Scene myScene;
    };

    void ExpectVector(const Vra::Vector3<float>& anActual, const Vra::Vector3<float>& anExpected)
    {
        EXPECT_NEAR(anActual.x, anExpected.x, 1e-4f);
        EXPECT_NEAR(anActual.y, anExpected.y, 1e-4f);
        EXPECT_NEAR(anActual.z, anExpected.z, 1e-4f);
    }

    TEST_F(SceneLoadingTest, ANewSceneIsEmptyAndUntitled)
    {
        EXPECT_EQ(myScene.myName, "untitled");
        EXPECT_TRUE(myScene.myObjects.empty());
        EXPECT_TRUE(myScene.myPathCounts.empty());
    }

    TEST_F(SceneLoadingTest, AMissingFolderGivesAnEmptySceneNamedByTheStem)
    {
        EXPECT_TRUE(Vra::LoadScene("levels/nowhere.vrs", myScene));
        EXPECT_EQ(myScene.myPath, "levels/nowhere.vrs");
        EXPECT_EQ(myScene.myName, "nowhere");
        EXPECT_TRUE(myScene.myObjects.empty());
    }

    TEST_F(SceneLoadingTest, ReadsTheObjectFilesOfTheLeveldataFolder)
    {
        WriteObject(UUID_A, R"({"name": "Player", "path": "Level/Actors", "translation": [1, 2, 3], "rotation": [0, 90, 0],
            "scale": [2, 2, 2], "object-definition": "PlayerSpawn",
            "properties": [{"name": "Tag", "type": "StringId", "value": "Player"}, {"name": "Lives", "type": "Int", "value": 3}]})");
        WriteObject(UUID_B, R"({"name": "Rock", "path": "Level/Actors"})");

        ASSERT_TRUE(Load());
        EXPECT_EQ(myScene.myName, "level1");
        EXPECT_EQ(myScene.myPath, "levels/level1.vrs");
        ASSERT_EQ(myScene.myObjects.size(), 2u);

        const auto player = ObjectOf(UUID_A);
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(player->myName, "Player");
        EXPECT_EQ(player->GetPath(), StringRegistry::RegisterOrGet("Level/Actors"));
        EXPECT_EQ(player->myDefinition, StringRegistry::RegisterOrGet("PlayerSpawn"));
        EXPECT_EQ(player->myTranslation, (Vra::Vector3<float>{1, 2, 3}));
        EXPECT_EQ(player->myRotation, (Vra::Vector3<float>{0, 90, 0}));
        EXPECT_EQ(player->myScale, (Vra::Vector3<float>{2, 2, 2}));
        ASSERT_EQ(player->myOwnValues.size(), 2u);
        EXPECT_EQ(player->myOwnValues[0].myName, StringRegistry::RegisterOrGet("Tag"));
        EXPECT_EQ(player->myOwnValues[0].myType, &Vra::PropertyType<Vra::StringId>::Get());
        EXPECT_EQ(player->myOwnValues[0].myValue.Get<Vra::StringId>(), StringRegistry::RegisterOrGet("Player"));
        EXPECT_EQ(player->myOwnValues[1].myValue.Get<std::int32_t>(), 3);

        EXPECT_EQ(myScene.myPathCounts.size(), 1u);
        EXPECT_EQ(myScene.myPathCounts.at(StringRegistry::RegisterOrGet("Level/Actors")), 2u);
    }

    TEST_F(SceneLoadingTest, AnEmptyObjectFileGivesTheDefaults)
    {
        WriteObject(UUID_A, "{}");
        ASSERT_TRUE(Load());
        const auto object = ObjectOf(UUID_A);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->myName, "unknown");
        EXPECT_TRUE(object->GetPath().IsNull());
        EXPECT_TRUE(object->myDefinition.IsNull());
        EXPECT_EQ(object->myTranslation, (Vra::Vector3<float>{0, 0, 0}));
        EXPECT_EQ(object->myRotation, (Vra::Vector3<float>{0, 0, 0}));
        EXPECT_EQ(object->myScale, (Vra::Vector3<float>{1, 1, 1}));
        EXPECT_TRUE(object->myOwnValues.empty());
        EXPECT_EQ(myScene.myPathCounts.at(Vra::StringId()), 1u);
    }

    TEST_F(SceneLoadingTest, EntriesWithAnExtensionFoldersAndNonUuidNamesAreLeftOut)
    {
        WriteObject(UUID_A, "{}");
        WriteObject("notes.txt", "not json at all");
        WriteObject(std::string(UUID_B) + ".bak", "{}");
        WriteObject("README", "not json either");
        std::filesystem::create_directories(GameFolder() / "levels/level1.leveldata" / UUID_B);

        testing::internal::CaptureStdout();
        ASSERT_TRUE(Load());
        const std::string output = testing::internal::GetCapturedStdout();
        ASSERT_EQ(myScene.myObjects.size(), 1u);
        EXPECT_NE(ObjectOf(UUID_A), nullptr);
        EXPECT_EQ(myScene.myObjects.count(0), 0u);
        EXPECT_NE(output.find("README"), std::string::npos) << output;
        EXPECT_EQ(output.find("notes.txt"), std::string::npos) << output;
    }

    TEST_F(SceneLoadingTest, TheNilUuidIsIdZero)
    {
        WriteObject(NIL_UUID, R"({"name": "Nil"})");
        ASSERT_TRUE(Load());
        ASSERT_EQ(myScene.myObjects.count(0), 1u);
        EXPECT_EQ(myScene.myObjects.at(0)->myName, "Nil");
    }

    TEST_F(SceneLoadingTest, TwoSpellingsOfOneUuidGiveOneObjectTheOneReadLast)
    {
        WriteObject(UUID_A, R"({"name": "lower", "path": "P"})");
        WriteObject(UUID_A_UPPER, R"({"name": "upper", "path": "P"})");
        std::string readLast;
        for (const auto& entry : std::filesystem::directory_iterator(GameFolder() / "levels/level1.leveldata"))
        {
            readLast = entry.path().filename() == UUID_A ? "lower" : "upper";
        }

        ASSERT_TRUE(Load());
        ASSERT_EQ(myScene.myObjects.size(), 1u);
        EXPECT_EQ(ObjectOf(UUID_A)->myName, readLast);
        EXPECT_EQ(myScene.myPathCounts.at(StringRegistry::RegisterOrGet("P")), 2u);
    }

    TEST_F(SceneLoadingTest, TransformGivesTranslationAndRotationWhileScaleOverridesItsPart)
    {
        // A quarter turn about z (rows are the rotated axes), scaled by 3, moved to (10, 20, 30).
        WriteObject(UUID_A, R"({"transform": [0, 3, 0, 0,  -3, 0, 0, 0,  0, 0, 3, 0,  10, 20, 30, 1], "scale": [1, 2, 3]})");
        WriteObject(UUID_B, R"({"transform": [0, 3, 0, 0,  -3, 0, 0, 0,  0, 0, 3, 0,  10, 20, 30, 1], "translation": [0, 0, 0]})");
        ASSERT_TRUE(Load());
        const auto withScale = ObjectOf(UUID_A);
        ExpectVector(withScale->myTranslation, {10, 20, 30});
        ExpectVector(withScale->myRotation, {0, 0, 90});
        EXPECT_EQ(withScale->myScale, (Vra::Vector3<float>{1, 2, 3}));
        const auto withTranslation = ObjectOf(UUID_B);
        EXPECT_EQ(withTranslation->myTranslation, (Vra::Vector3<float>{0, 0, 0}));
        ExpectVector(withTranslation->myScale, {3, 3, 3});
    }

    TEST_F(SceneLoadingTest, APropertyOfAnUnknownTypeIsLeftOutWithAMessage)
    {
        WriteObject(UUID_A, R"({"properties": [{"name": "Glow", "type": "Shader", "value": 1},
            {"name": "Lives", "type": "Int", "value": 2}]})");
        testing::internal::CaptureStdout();
        ASSERT_TRUE(Load());
        const std::string output = testing::internal::GetCapturedStdout();
        const auto object = ObjectOf(UUID_A);
        ASSERT_EQ(object->myOwnValues.size(), 1u);
        EXPECT_EQ(object->myOwnValues[0].myName, StringRegistry::RegisterOrGet("Lives"));
        EXPECT_NE(output.find("\"Glow\""), std::string::npos) << output;
        EXPECT_NE(output.find("\"Shader\""), std::string::npos) << output;
        EXPECT_NE(output.find(UUID_A), std::string::npos) << output;
    }

    TEST_F(SceneLoadingTest, LoadingAgainStartsFromAnEmptyScene)
    {
        WriteObject(UUID_A, R"({"path": "P"})");
        ASSERT_TRUE(Load());
        std::filesystem::remove(GameFolder() / "levels/level1.leveldata" / UUID_A);
        WriteObject(UUID_B, R"({"path": "Q"})");
        ASSERT_TRUE(Load());
        EXPECT_EQ(myScene.myObjects.size(), 1u);
        EXPECT_NE(ObjectOf(UUID_B), nullptr);
        EXPECT_EQ(myScene.myPathCounts.size(), 1u);
        EXPECT_EQ(myScene.myPathCounts.count(StringRegistry::RegisterOrGet("P")), 0u);
    }

    TEST_F(SceneLoadingTest, MalformedObjectFilesRaiseTheJsonLibrarysErrors)
    {
        const std::vector<std::pair<std::string, JsonError>> cases = {
            {"[1, 2]", {306, "cannot use value() with array"}},
            {R"({"name": 5})", {302, "type must be string, but is number"}},
            {R"({"transform": {"m11": 1}})", {302, "type must be array, but is object"}},
            {R"({"transform": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0]})", {401, "array index 10 is out of range"}},
            {R"({"translation": 1})", {302, "type must be array, but is number"}},
            {R"({"rotation": [1, 2]})", {401, "array index 2 is out of range"}},
            {R"({"scale": [1, "2", 3]})", {302, "type must be number, but is string"}},
            {R"({"object-definition": null})", {302, "type must be string, but is null"}},
            {R"({"properties": [{"type": "Int", "value": 1}]})", {302, "type must be string, but is null"}},
            {R"({"properties": [{"name": "A", "type": 7}]})", {302, "type must be string, but is number"}},
            {R"({"properties": [{"name": "A", "type": "Float2", "value": [1]}]})", {401, "array index 1 is out of range"}},
            {BadInputFiles::Read("scene", "object_int_1e10"),
             {302, R"(type must be number that fits a 32-bit integer, but "value" is 10000000000.0)"}},
            {R"({"name": )", {101, "parse error at line 1, column 10: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"}},
        };
        for (const auto& [content, error] : cases)
        {
            SCOPED_TRACE(content);
            WriteObject(UUID_A, content);
            EXPECT_TRUE(RaisesJsonError([&] { Load(); }, error));
        }
    }

    TEST(DecomposeTransform, SplitsScaleRotationAndTranslation)
    {
        Vra::SceneObject object;
        Vra::DecomposeTransform(object, Vra::Matrix4x4({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 5, 6, 7, 1}));
        EXPECT_EQ(object.myScale, (Vra::Vector3<float>{2, 3, 4}));
        EXPECT_EQ(object.myTranslation, (Vra::Vector3<float>{5, 6, 7}));
        ExpectVector(object.myRotation, {0, 0, 0});

        // A quarter turn about y reaches the branch for pitches near 90 degrees.
        Vra::DecomposeTransform(object, Vra::Matrix4x4({0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}));
        ExpectVector(object.myRotation, {0, 90, 0});

        // Half a turn about x.
        Vra::DecomposeTransform(object, Vra::Matrix4x4({1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}));
        EXPECT_NEAR(std::abs(object.myRotation.x), 180.0f, 1e-3f);
        EXPECT_NEAR(object.myRotation.y, 0.0f, 1e-3f);
        EXPECT_NEAR(object.myRotation.z, 0.0f, 1e-3f);
    }

    TEST(DecomposeTransform, ARowOfZeroLengthGivesNoRotationInsteadOfNaN)
    {
        Vra::SceneObject object;
        Vra::DecomposeTransform(object, Vra::Matrix4x4({0, 0, 0, 0, 0, 0.5f, 0.5f, 0, 0, -0.5f, 0.5f, 0, 1, 2, 3, 1}));
        EXPECT_EQ(object.myRotation, (Vra::Vector3<float>{0, 0, 0}));
        EXPECT_EQ(object.myScale.x, 0.0f);
        EXPECT_NEAR(object.myScale.y, std::sqrt(0.5f), 1e-6f);
        EXPECT_EQ(object.myTranslation, (Vra::Vector3<float>{1, 2, 3}));
    }
}
