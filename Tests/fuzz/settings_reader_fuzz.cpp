// libFuzzer target: any bytes as the engine's settings file. The JSON library's exceptions are
// how the reader refuses a file; anything else escaping is a fault.
#include "FuzzSupport.h"

#include "settings/EngineConfiguration.h"
#include "settings/Settings.h"
#include "window/ModulePath.h"

#include <nlohmann/json.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static const bool placed = [] {
        Platform::SetModulePathOverride((FuzzSupport::Folder() / "Game").string());
        return true;
    }();
    (void)placed;
    FuzzSupport::WriteFile(FuzzSupport::Folder() / "settings" / "Game.json", someData, aSize);
    Vra::GetEngineConfiguration() = Vra::EngineConfiguration();
    try
    {
        (void)Vra::LoadSettings("Game.json");
        (void)Vra::ResolveAssetPath("Textures/a.dds");
    }
    catch (const nlohmann::json::exception&)
    {
    }
    return 0;
}
