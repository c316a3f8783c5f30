// libFuzzer target: any bytes as the effect table, settings/LoadVFX.json, read twice (a table
// loaded again overwrites by name) and every effect it names spawned and advanced. Without an
// engine no sheet can be fetched, so each row is read and checked as far as its texture; the
// reader reports every refusal itself and lets nothing escape.
#include "FuzzSupport.h"

#include "effects/VfxManager.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace
{
    std::vector<std::string> EffectNames(const uint8_t* someData, size_t aSize)
    {
        std::vector<std::string> names;
        const nlohmann::json root = nlohmann::json::parse(someData, someData + aSize, nullptr, false);
        if (root.is_object() && root.contains("VFX") && root["VFX"].is_array())
        {
            for (const nlohmann::json& element : root["VFX"])
            {
                if (element.is_object() && element.contains("name") && element["name"].is_string())
                {
                    names.push_back(element["name"].get<std::string>());
                }
            }
        }
        return names;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static FuzzSupport::MemoryFile file;
    const std::string& path = file.Write(someData, aSize);
    VfxManager manager;
    manager.LoadFromFile(path);
    manager.LoadFromFile(path);
    for (const std::string& name : EffectNames(someData, aSize))
    {
        manager.Spawn(name, {1.0f, 2.0f}, true, true, 0.5f);
    }
    manager.Update(1.0f / 60.0f);
    manager.StopLooping();
    return 0;
}
