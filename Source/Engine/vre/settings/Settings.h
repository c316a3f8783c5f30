#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace Vra
{
    // Reads "settings/<aFileName>" beside the executable into GetEngineConfiguration() (".json" is
    // added when the name has no '.') and fixes the executable and asset folders. False when the
    // executable's path or the file could not be had. JSON errors pass out as the library's exceptions.
    bool LoadSettings(const std::string& aFileName);

    // Folders fixed by LoadSettings; empty before it runs.
    const std::filesystem::path& ExecutableFolder();
    const std::filesystem::path& EngineAssetsPath();
    const std::filesystem::path& GameAssetsPath();
    const std::filesystem::path& CookedAssetsPath();

    // The full path of the first existing file among <executable folder>/data/aPath,
    // <game assets>/aPath and <engine assets>/aPath, or "" when none exists. Content names some
    // folders in more than one case, so where the exact spelling is missing a file whose path
    // matches ignoring case is taken.
    std::string ResolveAssetPath(std::string_view aPath);

    namespace impl
    {
        // Empties the folders LoadSettings fixes, as before the first call.
        void ClearSettingsPaths();
    }
}
