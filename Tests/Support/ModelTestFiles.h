#pragma once
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// The engine's model test files (written by Blender, Tools/fbx/make_test_fbx.py models) with
// expected.json, the values Blender itself reported for them, and the colour textures the
// build's texture tool writes for their materials.
namespace ModelTestFiles
{
    inline std::filesystem::path Folder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        const std::filesystem::path tests = source ? std::filesystem::path(source) / "Tests"
                                                   : std::filesystem::path(__FILE__).parent_path().parent_path();
        return tests / "Engine" / "model" / "data";
    }

    inline std::filesystem::path TextureFolder()
    {
        const std::filesystem::path local = std::filesystem::path("fixtures/models");
        if (std::filesystem::exists(local / "manifest.txt"))
        {
            return std::filesystem::absolute(local);
        }
        return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "fixtures" / "models";
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

    // Copies a model file (and, when asked, textures under their own or other names) into an
    // asset folder; returns the copy's path.
    inline std::filesystem::path CopyModel(const std::string& aName, const std::filesystem::path& aFolder,
                                           const std::string& aCopyName = {})
    {
        std::filesystem::create_directories(aFolder);
        const std::filesystem::path target = aFolder / (aCopyName.empty() ? aName : aCopyName);
        std::filesystem::copy_file(Folder() / aName, target, std::filesystem::copy_options::overwrite_existing);
        return target;
    }

    inline std::filesystem::path CopyTexture(const std::string& aName, const std::filesystem::path& aFolder,
                                             const std::string& aCopyName = {})
    {
        std::filesystem::create_directories(aFolder);
        const std::filesystem::path target = aFolder / (aCopyName.empty() ? aName : aCopyName);
        std::filesystem::copy_file(TextureFolder() / aName, target, std::filesystem::copy_options::overwrite_existing);
        return target;
    }
}
