#pragma once
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

// The FBX test files (most written by Blender, Tools/fbx/make_test_fbx.py) and expected.json, the
// values Blender itself reported for its scenes.
namespace FbxTestFiles
{
    // The source tree's Tests folder.
    inline std::filesystem::path TestsFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        return source ? std::filesystem::path(source) / "Tests" : std::filesystem::path(__FILE__).parent_path().parent_path();
    }

    inline nlohmann::json ReadJson(const std::filesystem::path& aPath)
    {
        std::ifstream file(aPath);
        return nlohmann::json::parse(file);
    }

    inline std::filesystem::path Folder()
    {
        return TestsFolder() / "External" / "VRAFBXImporter" / "data";
    }

    // Read once, on first use.
    inline const nlohmann::json& Expected()
    {
        static const nlohmann::json facts = ReadJson(Folder() / "expected.json");
        return facts;
    }
}
