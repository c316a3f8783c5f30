#pragma once
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

// The FBX test files (most written by Blender, Tools/fbx/make_test_fbx.py) and expected.json, the
// values Blender itself reported for its scenes.
namespace FbxTestFiles
{
    inline std::filesystem::path Folder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const std::filesystem::path tests = source ? std::filesystem::path(source) / "Tests"
                                                   : std::filesystem::path(__FILE__).parent_path().parent_path();
        return tests / "External" / "VRAFBXImporter" / "data";
    }

    // Read once, on first use.
    inline const nlohmann::json& Expected()
    {
        static const nlohmann::json facts = [] {
            std::ifstream file(Folder() / "expected.json");
            return nlohmann::json::parse(file);
        }();
        return facts;
    }
}
