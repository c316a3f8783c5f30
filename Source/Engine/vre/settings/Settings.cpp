#include "settings/Settings.h"

#include "scene/JsonReading.h"
#include "settings/EngineConfiguration.h"

#include "window/ModulePath.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <optional>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace Vra
{
    namespace
    {
        fs::path ourExecutableFolder;
        fs::path ourEngineAssetsPath;
        fs::path ourGameAssetsPath;
        fs::path ourCookedAssetsPath;

        // A missing key reads as null; looking into something that is neither an object nor null
        // raises the JSON library's type error, as indexing it would.
        const Json& Member(const Json& anObject, const char* aKey)
        {
            static const Json null;
            if (anObject.is_null())
            {
                return null;
            }
            if (!anObject.is_object())
            {
                return anObject.at(aKey);
            }
            const auto found = anObject.find(aKey);
            return found == anObject.end() ? null : *found;
        }

        std::string FolderOf(const std::string& aPath)
        {
            const size_t lastSeparator = aPath.find_last_of('/');
            if (lastSeparator == std::string::npos)
            {
                return {};
            }
            std::string folder = aPath.substr(0, lastSeparator);
            while (folder.size() > 1 && folder.back() == '/')
            {
                folder.pop_back();
            }
            return folder.empty() ? std::string("/") : folder;
        }

        void ReadAssetFolders(const Json& aRoot, const fs::path& anExecutableFolder)
        {
            if (!aRoot.is_object() || !aRoot.contains("assets_path"))
            {
                return;
            }
            const Json& assets = aRoot["assets_path"];
            const std::string engine = assets.at("engine").get<std::string>();
            const std::string game = assets.at("game").get<std::string>();
            std::optional<std::string> cooked;
            if (assets.contains("cooked"))
            {
                cooked = assets.at("cooked").get<std::string>();
            }
            ourEngineAssetsPath = (anExecutableFolder / engine).lexically_normal();
            ourGameAssetsPath = (anExecutableFolder / game).lexically_normal();
            if (cooked)
            {
                ourCookedAssetsPath = (anExecutableFolder / *cooked).lexically_normal();
            }
        }

        Vector2<std::uint32_t> ReadSize(const Json& aSize)
        {
            return { impl::ReadUint32(aSize.at("w"), "w"), impl::ReadUint32(aSize.at("h"), "h") };
        }

        void ReadBool(const Json& anObject, const char* aKey, bool& aField)
        {
            const Json& value = Member(anObject, aKey);
            if (!value.is_null())
            {
                aField = value.get<bool>();
            }
        }

        void ReadWindowSettings(const Json& aRoot, EngineConfiguration& aConfiguration)
        {
            const Json& window = Member(aRoot, "window_settings");

            const Json& title = Member(window, "title");
            if (!title.is_null())
            {
                std::string text = title.get<std::string>();
                if (!text.empty())
                {
                    aConfiguration.myTitle = std::move(text);
                }
            }

            const Json& clearColor = Member(window, "clear_color");
            if (!clearColor.is_null())
            {
                aConfiguration.myClearColor = Color(clearColor.at("r").get<float>(), clearColor.at("g").get<float>(),
                                                    clearColor.at("b").get<float>(), clearColor.at("a").get<float>());
            }

            // One size given alone sets both: the game then renders at its window's size.
            const Json& windowSize = Member(window, "window_size");
            const Json& renderSize = Member(window, "render_size");
            if (!windowSize.is_null() && !renderSize.is_null())
            {
                aConfiguration.myWindowSize = ReadSize(windowSize);
                aConfiguration.myRenderSize = ReadSize(renderSize);
            }
            else if (!windowSize.is_null() || !renderSize.is_null())
            {
                const Vector2<std::uint32_t> size = ReadSize(windowSize.is_null() ? renderSize : windowSize);
                aConfiguration.myWindowSize = size;
                aConfiguration.myRenderSize = size;
            }

            ReadBool(window, "enable_vsync", aConfiguration.myEnableVsync);
            ReadBool(window, "start_in_fullscreen", aConfiguration.myStartInFullscreen);
            ReadBool(window, "start_maximized", aConfiguration.myStartMaximized);
            ReadBool(window, "borderless", aConfiguration.myBorderless);
        }

        std::uint32_t ReadDebugFeatures(const Json& aRoot)
        {
            struct NamedFeature
            {
                const char* myName;
                DebugFeature myFeature;
            };
            static constexpr NamedFeature FEATURES[] = {
                { "Fps", DebugFeature::Fps },
                { "Mem", DebugFeature::Mem },
                { "Drawcalls", DebugFeature::Drawcalls },
                { "Cpu", DebugFeature::Cpu },
                { "FpsGraph", DebugFeature::FpsGraph },
                { "Filewatcher", DebugFeature::Filewatcher },
                { "OptimizeWarnings", DebugFeature::OptimizeWarnings },
                { "MemoryTrackingStackTraces", DebugFeature::MemoryTrackingStackTraces },
                { "MemoryTrackingAllAllocations", DebugFeature::MemoryTrackingAllAllocations },
            };

            std::uint32_t mask = 0;
            const Json& list = Member(aRoot, "debug_features");
            if (list.is_null())
            {
                return mask;
            }
            for (const std::string& name : list.get<std::vector<std::string>>())
            {
                // "All" and "None" are final: whatever follows them is not read.
                if (name == "All")
                {
                    return ToMask(DebugFeature::All);
                }
                if (name == "None")
                {
                    return ToMask(DebugFeature::None);
                }
                for (const NamedFeature& feature : FEATURES)
                {
                    if (name == feature.myName)
                    {
                        mask |= ToMask(feature.myFeature);
                    }
                }
            }
            return mask;
        }

        void ReadMultisampling(const Json& aRoot, EngineConfiguration& aConfiguration)
        {
            const Json& value = Member(aRoot, "multisampling");
            if (value.is_null())
            {
                return;
            }
            const std::string level = value.get<std::string>();
            if (level == "Off")
            {
                aConfiguration.myMultisampling = MultisamplingLevel::Off;
            }
            else if (level == "Low")
            {
                aConfiguration.myMultisampling = MultisamplingLevel::Low;
            }
            else if (level == "Medium")
            {
                aConfiguration.myMultisampling = MultisamplingLevel::Medium;
            }
            else if (level == "High")
            {
                aConfiguration.myMultisampling = MultisamplingLevel::High;
            }
        }

        bool EqualIgnoringCase(const std::string& aFirst, const std::string& aSecond)
        {
            return std::equal(aFirst.begin(), aFirst.end(), aSecond.begin(), aSecond.end(), [](char a, char b) {
                const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
                return lower(a) == lower(b);
            });
        }

        bool Exists(const fs::path& aPath)
        {
            std::error_code error;
            return fs::exists(aPath, error);
        }

        // Walks someElements below aFolder, taking at each step the exact name when it exists and
        // otherwise every entry whose name differs only in case, in name order.
        std::optional<fs::path> FindIgnoringCase(const fs::path& aFolder, const std::vector<std::string>& someElements,
                                                 size_t anIndex)
        {
            if (anIndex == someElements.size())
            {
                return aFolder;
            }
            const std::string& element = someElements[anIndex];
            const bool isLast = anIndex + 1 == someElements.size();

            std::vector<fs::path> candidates;
            if (Exists(aFolder / element))
            {
                candidates.push_back(aFolder / element);
            }
            if (element != "." && element != "..")
            {
                std::vector<fs::path> others;
                std::error_code error;
                for (fs::directory_iterator entry(aFolder, error), end; !error && entry != end; entry.increment(error))
                {
                    const std::string name = entry->path().filename().string();
                    if (name != element && EqualIgnoringCase(name, element))
                    {
                        others.push_back(entry->path());
                    }
                }
                std::sort(others.begin(), others.end());
                candidates.insert(candidates.end(), others.begin(), others.end());
            }

            for (const fs::path& candidate : candidates)
            {
                std::error_code error;
                if (!isLast && !fs::is_directory(candidate, error))
                {
                    continue;
                }
                if (std::optional<fs::path> found = FindIgnoringCase(candidate, someElements, anIndex + 1))
                {
                    return found;
                }
            }
            return std::nullopt;
        }

        std::optional<fs::path> FindAsset(const fs::path& aFolder, const fs::path& anAssetPath)
        {
            const fs::path exact = aFolder / anAssetPath;
            if (Exists(exact))
            {
                return exact;
            }
            // Only the asset's own part of the path is matched loosely, never the folder it lies in.
            const fs::path base = anAssetPath.is_absolute() ? anAssetPath.root_path() : aFolder;
            std::vector<std::string> elements;
            for (const fs::path& element : anAssetPath.relative_path())
            {
                if (!element.empty() && element != ".")
                {
                    elements.push_back(element.string());
                }
            }
            if (elements.empty())
            {
                return std::nullopt;
            }
            return FindIgnoringCase(base, elements, 0);
        }
    }

    bool LoadSettings(const std::string& aFileName)
    {
        const std::string modulePath = Platform::GetModulePath();
        if (modulePath.empty())
        {
            std::cout << "GetModuleFileName failed in Vra::LoadSettings" << std::endl;
            return false;
        }

        const std::string executableFolder = FolderOf(modulePath);
        ourExecutableFolder = executableFolder;

        std::string settingsPath = executableFolder + "/settings/" + aFileName;
        if (aFileName.find('.') == std::string::npos)
        {
            settingsPath += ".json";
        }

        std::ifstream file(settingsPath);
        if (!file.is_open())
        {
            // Assertions stay on in shipped builds, so a missing file is reported, not fatal:
            // the engine then starts from its defaults.
            std::cout << "Could not open project settings file in Vra::LoadSettings" << std::endl;
            return false;
        }

        const Json root = Json::parse(file);
        EngineConfiguration& configuration = GetEngineConfiguration();
        ReadAssetFolders(root, ourExecutableFolder);
        ReadWindowSettings(root, configuration);
        configuration.myDebugFeatures = ReadDebugFeatures(root);
        ReadMultisampling(root, configuration);
        return true;
    }

    const fs::path& ExecutableFolder() { return ourExecutableFolder; }
    const fs::path& EngineAssetsPath() { return ourEngineAssetsPath; }
    const fs::path& GameAssetsPath() { return ourGameAssetsPath; }
    const fs::path& CookedAssetsPath() { return ourCookedAssetsPath; }

    std::string ResolveAssetPath(std::string_view aPath)
    {
        const fs::path assetPath(aPath);
        std::vector<fs::path> folders{ ourExecutableFolder / "data" };
        if (!ourGameAssetsPath.empty())
        {
            folders.push_back(ourGameAssetsPath);
        }
        if (!ourEngineAssetsPath.empty())
        {
            folders.push_back(ourEngineAssetsPath);
        }

        // Every folder is tried with the exact spelling before any is searched ignoring case.
        for (const fs::path& folder : folders)
        {
            const fs::path exact = folder / assetPath;
            if (Exists(exact))
            {
                return exact.string();
            }
        }
        for (const fs::path& folder : folders)
        {
            if (std::optional<fs::path> found = FindAsset(folder, assetPath))
            {
                return found->string();
            }
        }
        return {};
    }

    namespace impl
    {
        void ClearSettingsPaths()
        {
            ourExecutableFolder.clear();
            ourEngineAssetsPath.clear();
            ourGameAssetsPath.clear();
            ourCookedAssetsPath.clear();
        }
    }
}
