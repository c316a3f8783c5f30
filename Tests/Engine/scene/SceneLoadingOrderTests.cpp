#include "GameAssetsFixture.h"

#include "../properties/JsonErrorExpectations.h"

#include "scene/SceneSerialize.h"
#include "scene/UuidRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using PropertyTestSupport::JsonError;
using PropertyTestSupport::RaisesJsonError;

namespace fs = std::filesystem;

namespace
{
    // Enough files for several reading threads, so that the threads finish out of order.
    constexpr int OBJECT_COUNT = 400;
    const unsigned THREAD_COUNTS[] = {8, 1, 2, 4};

    // What a load leaves, in the scene's own order, for comparing loads on different thread counts.
    struct LoadedObject
    {
        std::uint32_t myId = 0;
        std::string myName;
        std::string myPath;
        std::vector<std::string> myOwnValues;

        friend bool operator==(const LoadedObject&, const LoadedObject&) = default;
    };

    class SceneLoadingOrderTest : public SceneTestSupport::GameAssetsTest
    {
    protected:
        // Object files under UUIDs of this test's own, every 37th with a property of an unknown type,
        // and a few files that are not named by UUIDs among them.
        void WriteLevel(const char* aPrefix)
        {
            for (int i = 0; i < OBJECT_COUNT; ++i)
            {
                char uuid[37];
                std::snprintf(uuid, sizeof(uuid), "%s-0000-4000-8000-%012d", aPrefix, i);
                const std::string unknown = i % 37 == 0 ? R"({"name": "Glow", "type": "Shader", "value": 1}, )" : "";
                WriteObject(uuid, R"({"name": "Object)" + std::to_string(i) + R"(", "path": "Group)" + std::to_string(i % 9) +
                                      R"(", "translation": [)" + std::to_string(i) + R"(, 0, 0], "properties": [)" + unknown +
                                      R"({"name": "Lives", "type": "Int", "value": )" + std::to_string(i % 5) + "}]}");
            }
            for (int i = 0; i < 5; ++i)
            {
                WriteObject("notes" + std::to_string(i), "not json");
            }
        }

        void WriteObject(const std::string& aName, const std::string& aContent) { WriteAsset(fs::path(LEVEL_FOLDER) / aName, aContent); }

        // The plain files the loader reads, in the folder's own order.
        std::vector<fs::path> FilesInFolderOrder() const
        {
            std::vector<fs::path> files;
            for (const fs::directory_entry& entry : fs::directory_iterator(GameFolder() / LEVEL_FOLDER))
            {
                files.push_back(entry.path());
            }
            return files;
        }

        // The lines a load prints for these files, in order.
        static std::string ExpectedOutput(const std::vector<fs::path>& someFiles)
        {
            std::string output;
            for (const fs::path& file : someFiles)
            {
                const std::string name = file.filename().string();
                if (name.rfind("notes", 0) == 0)
                {
                    output += "Skipping scene object file whose name is not a UUID: " + file.string() + "\n";
                }
                else if (std::stoi(name.substr(24)) % 37 == 0)
                {
                    output += "Skipping property \"Glow\" of \"" + file.string() + "\": unknown type \"Shader\"\n";
                }
            }
            return output;
        }

        static std::vector<LoadedObject> Contents(const Vra::Scene& aScene)
        {
            std::vector<LoadedObject> objects;
            for (const auto& [id, object] : aScene.myObjects)
            {
                LoadedObject& loaded = objects.emplace_back();
                loaded.myId = id;
                loaded.myName = object->myName;
                loaded.myPath = object->GetPath().CStr();
                for (const Vra::SceneObject::OwnValue& value : object->myOwnValues)
                {
                    loaded.myOwnValues.push_back(std::string(value.myName.CStr()) + "=" + value.myValue.ToJson().dump());
                }
            }
            return objects;
        }

        static constexpr const char* LEVEL_FOLDER = "levels/level1.leveldata";
    };

    TEST_F(SceneLoadingOrderTest, AnyNumberOfThreadsGivesTheSameObjectsIdsAndMessagesInFolderOrder)
    {
        WriteLevel("0bde0000");
        const std::vector<fs::path> files = FilesInFolderOrder();
        std::vector<LoadedObject> first;
        for (const unsigned threads : THREAD_COUNTS)
        {
            SCOPED_TRACE(threads);
            // A fresh scene each time: a reused one keeps its buckets, and with them another order.
            Vra::Scene scene;
            testing::internal::CaptureStdout();
            ASSERT_TRUE(Vra::impl::LoadScene("levels/level1.vrs", scene, threads));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), ExpectedOutput(files));
            ASSERT_EQ(scene.myObjects.size(), static_cast<std::size_t>(OBJECT_COUNT));
            EXPECT_EQ(scene.myPathCounts.size(), 9u);
            if (first.empty())
            {
                first = Contents(scene);
                const auto object = scene.myObjects.at(Vra::UuidRegistry::GetId("0bde0000-0000-4000-8000-000000000074"));
                EXPECT_EQ(object->myName, "Object74");
                EXPECT_EQ(object->myTranslation.x, 74.0f);
            }
            else
            {
                EXPECT_TRUE(Contents(scene) == first);
            }
        }

        // The first load, on many threads, still handed out the UUIDs' ids in the folder's order.
        std::uint32_t previous = 0;
        for (const fs::path& file : files)
        {
            const std::uint32_t id = Vra::UuidRegistry::GetId(file.filename().c_str());
            if (id != 0)
            {
                EXPECT_GT(id, previous) << file;
                previous = id;
            }
        }
    }

    TEST_F(SceneLoadingOrderTest, TheFirstBadFileInFolderOrderStopsTheLoadAfterTheMessagesBeforeIt)
    {
        WriteLevel("0bde0001");
        const std::vector<fs::path> files = FilesInFolderOrder();
        // Two damaged object files with different errors; only the one met first may be raised.
        const auto objectFileFrom = [&](std::size_t anIndex) {
            while (files[anIndex].filename().string().rfind("notes", 0) == 0)
            {
                ++anIndex;
            }
            return anIndex;
        };
        const std::size_t firstBad = objectFileFrom(files.size() / 3);
        const std::size_t secondBad = objectFileFrom(files.size() / 2);
        WriteObject(files[firstBad].filename().string(), R"({"rotation": [1, 2]})");
        WriteObject(files[secondBad].filename().string(), R"({"name": )");
        const std::vector<fs::path> before(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(firstBad));
        std::size_t objectsBefore = 0;
        for (const fs::path& file : before)
        {
            objectsBefore += file.filename().string().rfind("notes", 0) == 0 ? 0 : 1;
        }

        for (const unsigned threads : THREAD_COUNTS)
        {
            SCOPED_TRACE(threads);
            Vra::Scene scene;
            testing::internal::CaptureStdout();
            EXPECT_TRUE(RaisesJsonError([&] { Vra::impl::LoadScene("levels/level1.vrs", scene, threads); },
                                        {401, "array index 2 is out of range"}));
            EXPECT_EQ(testing::internal::GetCapturedStdout(), ExpectedOutput(before));
            EXPECT_EQ(scene.myObjects.size(), objectsBefore);
        }
    }
}
