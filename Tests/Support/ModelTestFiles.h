#pragma once
#include "FbxTestFiles.h"

#include <filesystem>
#include <string>

// The engine's model test files (written by Blender, Tools/fbx/make_test_fbx.py models) with
// expected.json, the values Blender itself reported for them, and the colour textures the
// build's texture tool writes for their materials.
namespace ModelTestFiles
{
    inline std::filesystem::path Folder()
    {
        return FbxTestFiles::TestsFolder() / "Engine" / "model" / "data";
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
        static const nlohmann::json facts = FbxTestFiles::ReadJson(Folder() / "expected.json");
        return facts;
    }

    // Copies aSource into aFolder, under its own name or aCopyName; returns the copy's path.
    inline std::filesystem::path CopyInto(const std::filesystem::path& aSource, const std::filesystem::path& aFolder,
                                          const std::string& aCopyName = {})
    {
        std::filesystem::create_directories(aFolder);
        const std::filesystem::path target = aFolder / (aCopyName.empty() ? aSource.filename().string() : aCopyName);
        std::filesystem::copy_file(aSource, target, std::filesystem::copy_options::overwrite_existing);
        return target;
    }

    inline std::filesystem::path CopyModel(const std::string& aName, const std::filesystem::path& aFolder, const std::string& aCopyName = {})
    {
        return CopyInto(Folder() / aName, aFolder, aCopyName);
    }

    inline std::filesystem::path CopyTexture(const std::string& aName, const std::filesystem::path& aFolder, const std::string& aCopyName = {})
    {
        return CopyInto(TextureFolder() / aName, aFolder, aCopyName);
    }
}
