#include "GameAssetsFixture.h"

#include "properties/PropertyTypes.h"
#include "scene/ObjectDefinitionSerialize.h"
#include "scene/SceneSerialize.h"
#include "scene/UuidRegistry.h"
#include "stringRegistry/StringRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

using Vra::StringId;
using Vra::StringRegistry;

namespace
{
    constexpr int OBJECT_COUNT = 60;
    constexpr int STRING_COUNT = 2000;
    constexpr int ROUNDS = 4;

    using SceneValue = Vra::CopyOnWriteWrapper<Vra::SceneReference>;

    std::string UuidText(int anIndex)
    {
        char text[37];
        std::snprintf(text, sizeof(text), "c0ffee00-0000-4000-8000-%012d", anIndex);
        return text;
    }

    // What one loading thread saw, compared with the other thread's results after both are joined.
    struct LoadResult
    {
        std::vector<std::uint32_t> myIds;
        std::vector<StringId> myStrings;
        std::vector<std::string> myProblems;
    };

    class ConcurrencyTest : public SceneTestSupport::GameAssetsTest
    {
    protected:
        void WriteLevel(const std::string& aLevel)
        {
            for (int i = 0; i < OBJECT_COUNT; ++i)
            {
                const std::string index = std::to_string(i);
                WriteAsset("levels/" + aLevel + ".leveldata/" + UuidText(i),
                           R"({"name": "Object )" + index + R"(", "path": "Level/)" + aLevel + "/" + index +
                               R"(", "object-definition": "Thing", "properties": [
                    {"name": "Look", "type": "Sprite", "value": {"textures": ["Sprites/)" + index + R"(.dds"]}},
                    {"name": "Mesh", "type": "Model", "value": {"path": "Models/)" + index + R"(.fbx", "textures": [["t"]]}},
                    {"name": "Next", "type": "Scene", "value": {"scene_path": "levels/)" + aLevel + R"(.vrs"}},
                    {"name": "Tag", "type": "StringId", "value": "Tag )" + index + R"("}]})");
            }
        }

        void SetUp() override
        {
            GameAssetsTest::SetUp();
            WriteAsset("Thing.vro", R"({"parent-object-definition": "", "properties": [
                {"name": "Look", "is-dynamic": false, "is-per-instance": true, "type": "Sprite", "value": {}},
                {"name": "Mesh", "is-dynamic": false, "is-per-instance": true, "type": "Model", "value": {}},
                {"name": "Next", "is-dynamic": false, "is-per-instance": false, "type": "Scene", "value": {}},
                {"name": "Clip", "is-dynamic": false, "is-per-instance": false, "type": "Animation Clip", "value": {"clip_path": "a.fbx"}},
                {"name": "Tag", "is-dynamic": false, "is-per-instance": true, "type": "StringId", "value": ""}]})");
            WriteLevel("first");
            WriteLevel("second");
        }

        static void LoadRepeatedly(const char* aScenePath, const char* aLevel, const Vra::PropertyValue& aShared, LoadResult& aResult)
        {
            for (int round = 0; round < ROUNDS; ++round)
            {
                Vra::ObjectDefinitionManager definitions;
                Vra::LoadObjectDefinitions(definitions, Vra::GameAssetsPath().string());
                Vra::Scene scene;
                Vra::LoadScene(aScenePath, scene);
                if (scene.myObjects.size() != OBJECT_COUNT)
                {
                    aResult.myProblems.push_back("objects: " + std::to_string(scene.myObjects.size()));
                }
                for (const auto& [id, object] : scene.myObjects)
                {
                    std::vector<Vra::PropertyDefinition> properties;
                    object->CollectProperties(definitions, properties);
                    const Vra::PropertyValue sharedCopy = aShared;
                    const std::string expectedNext = std::string("levels/") + aLevel + ".vrs";
                    if (properties.size() != 5 || properties[0].myValue.Get<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>().Get().mySize.x != 100.0f ||
                        properties[2].myValue.Get<SceneValue>().Get().myScenePath.IsNull() == false ||
                        sharedCopy.Get<SceneValue>().Get().myScenePath.View() != "levels/shared.vrs" ||
                        object->myOwnValues[2].myValue.Get<SceneValue>().Get().myScenePath.View() != expectedNext)
                    {
                        aResult.myProblems.push_back("values of object " + object->myName);
                    }
                }
                for (int i = 0; i < OBJECT_COUNT; ++i)
                {
                    aResult.myIds.push_back(Vra::UuidRegistry::GetId(UuidText(i).c_str()));
                }
                for (int i = 0; i < STRING_COUNT; ++i)
                {
                    aResult.myStrings.push_back(StringRegistry::RegisterOrGet("shared string " + std::to_string((i * 7919 + round) % STRING_COUNT)));
                }
            }
        }
    };

    TEST_F(ConcurrencyTest, TwoLoadersAndAReaderOfPooledValuesShareTheRegistries)
    {
        const Vra::PropertyValue shared(&Vra::PropertyType<SceneValue>::Get(), nlohmann::json{{"scene_path", "levels/shared.vrs"}});
        std::atomic<bool> loading = true;
        std::vector<std::string> readerProblems;

        LoadResult first;
        LoadResult second;
        std::thread firstLoader([&] { LoadRepeatedly("levels/first.vrs", "first", shared, first); });
        std::thread secondLoader([&] { LoadRepeatedly("levels/second.vrs", "second", shared, second); });
        std::thread reader([&] {
            int iteration = 0;
            while (loading.load() || iteration < 1000)
            {
                Vra::PropertyValue copy = shared;
                if (copy.Get<SceneValue>().Get().myScenePath.View() != "levels/shared.vrs")
                {
                    readerProblems.push_back("shared value changed");
                }
                // Writing to a shared slot clones it; the original stays as it was.
                copy.GetMutable<SceneValue>().GetMutable().myScenePath = StringRegistry::RegisterOrGet("reader " + std::to_string(iteration % 50));
                const Vra::PropertyValue fresh(&Vra::PropertyType<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>::Get(), nlohmann::json::object());
                if (fresh.Get<Vra::CopyOnWriteWrapper<Vra::SceneSprite>>().GetReferenceCount() != 1)
                {
                    readerProblems.push_back("a fresh slot was shared");
                }
                ++iteration;
            }
        });
        firstLoader.join();
        secondLoader.join();
        loading = false;
        reader.join();

        EXPECT_TRUE(first.myProblems.empty()) << first.myProblems.front();
        EXPECT_TRUE(second.myProblems.empty()) << second.myProblems.front();
        EXPECT_TRUE(readerProblems.empty()) << readerProblems.front();
        EXPECT_EQ(shared.Get<SceneValue>().GetReferenceCount(), 1u);

        // Both threads saw one id per UUID, and one pointer per text.
        EXPECT_EQ(first.myIds, second.myIds);
        EXPECT_EQ(std::set<std::uint32_t>(first.myIds.begin(), first.myIds.end()).size(), static_cast<std::size_t>(OBJECT_COUNT));
        EXPECT_EQ(first.myStrings, second.myStrings);
        std::set<const char*> distinct;
        for (const StringId id : first.myStrings)
        {
            distinct.insert(id.GetPointer());
        }
        EXPECT_EQ(distinct.size(), static_cast<std::size_t>(STRING_COUNT));
    }

    TEST(ConcurrencyDeathTest, TwoFirstLookupsFinaliseTheTypeRegistryOnce)
    {
        // A fresh process, so that the registry is not finalised before the threads start.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        EXPECT_EXIT(
            {
                if (Vra::PropertyTypeBase::IsFinalized())
                {
                    std::exit(2);
                }
                std::atomic<int> ready = 0;
                const Vra::PropertyTypeBase* found[2] = {};
                auto lookUp = [&](int anIndex) {
                    ++ready;
                    while (ready.load() < 2)
                    {
                    }
                    found[anIndex] = Vra::PropertyTypeBase::FindByName(StringRegistry::RegisterOrGet("Color"));
                };
                std::thread a(lookUp, 0);
                std::thread b(lookUp, 1);
                a.join();
                b.join();
                const bool once = found[0] == &Vra::PropertyType<Vra::Color>::Get() && found[1] == found[0] &&
                                  Vra::PropertyTypeBase::GetSortedNames().size() == Vra::PropertyTypeBase::GetTypeCount();
                std::exit(once ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}
