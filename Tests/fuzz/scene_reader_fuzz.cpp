// libFuzzer target: any bytes as a scene's one object file and as an object definition. The
// JSON library's exceptions are how the readers refuse a file; anything else escaping is a fault.
#include "FuzzSupport.h"

#include "scene/ObjectDefinition.h"
#include "scene/ObjectDefinitionManager.h"
#include "scene/ObjectDefinitionSerialize.h"
#include "scene/Scene.h"
#include "scene/SceneSerialize.h"
#include "settings/Settings.h"
#include "window/ModulePath.h"

#include <nlohmann/json.hpp>

#include <vector>

namespace
{
    constexpr const char* OBJECT = "levels/fuzz.leveldata/5ce7e000-0000-4000-8000-000000000001";

    void UseGameFolder()
    {
        const std::filesystem::path& folder = FuzzSupport::Folder();
        const std::string settings = R"({"assets_path": {"engine": "engine", "game": "game"}})";
        FuzzSupport::WriteFile(folder / "settings" / "Game.json", reinterpret_cast<const uint8_t*>(settings.data()), settings.size());
        Platform::SetModulePathOverride((folder / "Game").string());
        Vra::LoadSettings("Game.json");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static const bool placed = (UseGameFolder(), true);
    (void)placed;
    FuzzSupport::WriteFile(Vra::GameAssetsPath() / OBJECT, someData, aSize);
    FuzzSupport::WriteFile(Vra::GameAssetsPath() / "defs" / "Fuzz.vro", someData, aSize);
    try
    {
        Vra::Scene scene;
        Vra::LoadScene("levels/fuzz.vrs", scene);
        Vra::ObjectDefinitionManager definitions;
        Vra::LoadObjectDefinitions(definitions, (Vra::GameAssetsPath() / "defs").string());
        std::vector<Vra::PropertyDefinition> properties;
        for (const auto& [id, object] : scene.myObjects)
        {
            object->CollectProperties(definitions, properties);
        }
    }
    catch (const nlohmann::json::exception&)
    {
    }
    return 0;
}
