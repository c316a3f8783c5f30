// Scene loading over a generated level of 5,000 objects, each with a definition of ten properties
// of mixed types. ReadAndParseFloor reads the same files whole and parses them with the same JSON
// library on one thread: what any single-threaded reader of them costs at least. Compare it with
// LoadSceneAndCollectProperties (objects per second) in one run. The loader reads and parses the
// object files on several threads (the "reader threads" counter; one per 64 files, no more than the
// processors the process may use, so a run pinned to one processor reads on one thread);
// LoadSceneOnOneThreadAndCollectProperties holds it to one thread whatever the processors. All
// figures are wall-clock time, the loader's threads included.
#include "scene/ObjectDefinitionSerialize.h"
#include "scene/ParallelJsonReader.h"
#include "scene/SceneSerialize.h"
#include "settings/Settings.h"
#include "window/ModulePath.h"

#include "../Support/TemporaryFolder.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
    constexpr int OBJECT_COUNT = 5000;
    constexpr int DEFINITION_COUNT = 20;
    constexpr const char* SCENE_PATH = "levels/generated.vrs";

    std::string UuidText(int anIndex)
    {
        char text[37];
        std::snprintf(text, sizeof(text), "5ce7e000-0000-4000-8000-%012d", anIndex);
        return text;
    }

    // Ten properties: Int, Float, Bool, Float2, Float3, Color, StringId, Sprite, Model, Scene.
    std::string DefinitionText(int aDefinition)
    {
        const std::string d = std::to_string(aDefinition);
        return R"({"parent-object-definition": "", "properties": [
            {"name": "Health", "is-dynamic": false, "is-per-instance": true, "type": "Int", "value": 3},
            {"name": "Speed", "is-dynamic": true, "is-per-instance": true, "type": "Float", "value": 1.5},
            {"name": "Solid", "is-dynamic": false, "is-per-instance": false, "type": "Bool", "value": true},
            {"name": "Offset", "is-dynamic": false, "is-per-instance": true, "type": "Float2", "value": [0, 0]},
            {"name": "Extent", "is-dynamic": false, "is-per-instance": false, "type": "Float3", "value": [1, 1, 1]},
            {"name": "Tint", "is-dynamic": false, "is-per-instance": true, "type": "Color", "value": [1, 1, 1, 1]},
            {"name": "Tag", "group": "Game", "is-dynamic": false, "is-per-instance": true, "type": "StringId", "value": "Kind)" + d + R"("},
            {"name": "Look", "is-dynamic": false, "is-per-instance": true, "type": "Sprite", "value": {"textures": ["Sprites/S_)" + d + R"(.dds"], "size": [64, 64]}},
            {"name": "Mesh", "is-dynamic": false, "is-per-instance": false, "type": "Model", "value": {"path": "Models/SM_)" + d + R"(.fbx", "textures": [["Textures/T_)" + d + R"(_c.dds", "Textures/T_)" + d + R"(_n.dds"]]}},
            {"name": "Next", "is-dynamic": false, "is-per-instance": false, "type": "Scene", "value": {"scene_path": "levels/level_2_01.vrs"}}
        ]})";
    }

    // Five own values, a transform and the usual keys.
    std::string ObjectText(int anIndex)
    {
        const std::string i = std::to_string(anIndex);
        const std::string x = std::to_string(anIndex % 100 * 100);
        const std::string y = std::to_string(anIndex / 100 * 100);
        return R"({"name": "Object)" + i + R"(", "path": "Level/Group)" + std::to_string(anIndex % 50) + R"(",
            "object-definition": "Def)" + std::to_string(anIndex % DEFINITION_COUNT) + R"(",
            "transform": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, )" + x + ", " + y + R"(, 0, 1],
            "properties": [
                {"name": "Health", "type": "Int", "value": )" + std::to_string(anIndex % 7) + R"(},
                {"name": "Speed", "type": "Float", "value": 2.25},
                {"name": "Tint", "type": "Color", "value": [0.5, 0.25, 1, 1]},
                {"name": "Tag", "type": "StringId", "value": "Tag)" + std::to_string(anIndex % 200) + R"("},
                {"name": "Look", "type": "Sprite", "value": {"textures": ["Sprites/S_)" + i + R"(.dds"], "pivot": [0.5, 1]}}
            ]})";
    }

    // The generated content, made once for all benchmarks.
    struct GeneratedLevel
    {
        GeneratedLevel()
        {
            myFolder.Write("bin/settings/Game.json", R"({"assets_path": {"engine": "../engine", "game": "../game"}})");
            Platform::SetModulePathOverride((myFolder.Path() / "bin" / "Game").string());
            Vra::LoadSettings("Game.json");
            for (int d = 0; d < DEFINITION_COUNT; ++d)
            {
                myFolder.Write("game/definitions/Def" + std::to_string(d) + ".vro", DefinitionText(d));
            }
            for (int i = 0; i < OBJECT_COUNT; ++i)
            {
                const fs::path path = myFolder.Write("game/levels/generated.leveldata/" + UuidText(i), ObjectText(i));
                myFiles.push_back(path);
            }
            Vra::LoadObjectDefinitions(myDefinitions, (Vra::GameAssetsPath() / "definitions").string());
        }

        TestSupport::TemporaryFolder myFolder;
        std::vector<fs::path> myFiles;
        Vra::ObjectDefinitionManager myDefinitions;
    };

    GeneratedLevel& Level()
    {
        static GeneratedLevel level;
        return level;
    }

    // aThreadCount 0 lets the loader choose, as the game's loads do.
    void LoadAndCollect(benchmark::State& aState, unsigned aThreadCount)
    {
        GeneratedLevel& level = Level();
        std::size_t collected = 0;
        for (auto _ : aState)
        {
            Vra::Scene scene;
            Vra::impl::LoadScene(SCENE_PATH, scene, aThreadCount);
            std::vector<Vra::PropertyDefinition> properties;
            for (const auto& [id, object] : scene.myObjects)
            {
                properties.clear();
                object->CollectProperties(level.myDefinitions, properties);
                collected += properties.size();
            }
            benchmark::DoNotOptimize(collected);
        }
        aState.SetItemsProcessed(static_cast<std::int64_t>(aState.iterations()) * OBJECT_COUNT);
        aState.counters["properties per object"] =
            static_cast<double>(collected) / static_cast<double>(aState.iterations() * OBJECT_COUNT);
        aState.counters["reader threads"] = aThreadCount > 0 ? aThreadCount : Vra::impl::ChooseReaderThreadCount(OBJECT_COUNT);
    }

    void LoadSceneAndCollectProperties(benchmark::State& aState)
    {
        LoadAndCollect(aState, 0);
    }

    void LoadSceneOnOneThreadAndCollectProperties(benchmark::State& aState)
    {
        LoadAndCollect(aState, 1);
    }

    // Reading the same files into memory: the file-system share of a load.
    void ReadFilesOnly(benchmark::State& aState)
    {
        GeneratedLevel& level = Level();
        for (auto _ : aState)
        {
            for (const fs::path& file : level.myFiles)
            {
                std::ifstream stream(file);
                std::stringstream content;
                content << stream.rdbuf();
                benchmark::DoNotOptimize(content.str().size());
            }
        }
        aState.SetItemsProcessed(static_cast<std::int64_t>(aState.iterations()) * OBJECT_COUNT);
    }

    // Reading each object file whole and parsing it: the floor under any reader of these files.
    void ReadAndParseFloor(benchmark::State& aState)
    {
        GeneratedLevel& level = Level();
        for (auto _ : aState)
        {
            for (const fs::path& file : level.myFiles)
            {
                std::ifstream stream(file, std::ios::binary | std::ios::ate);
                std::string text(static_cast<std::size_t>(stream.tellg()), '\0');
                stream.seekg(0);
                stream.read(text.data(), static_cast<std::streamsize>(text.size()));
                const nlohmann::json parsed = nlohmann::json::parse(text);
                benchmark::DoNotOptimize(parsed.size());
            }
        }
        aState.SetItemsProcessed(static_cast<std::int64_t>(aState.iterations()) * OBJECT_COUNT);
    }

    // Parsing the object files' text, already in memory: the JSON share of a load.
    void ParseJsonOnly(benchmark::State& aState)
    {
        GeneratedLevel& level = Level();
        std::vector<std::string> texts;
        for (const fs::path& file : level.myFiles)
        {
            std::ifstream stream(file);
            std::stringstream content;
            content << stream.rdbuf();
            texts.push_back(content.str());
        }
        for (auto _ : aState)
        {
            for (const std::string& text : texts)
            {
                const nlohmann::json parsed = nlohmann::json::parse(text);
                benchmark::DoNotOptimize(parsed.size());
            }
        }
        aState.SetItemsProcessed(static_cast<std::int64_t>(aState.iterations()) * OBJECT_COUNT);
    }
}

BENCHMARK(LoadSceneAndCollectProperties)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadSceneOnOneThreadAndCollectProperties)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadAndParseFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadFilesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ParseJsonOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
