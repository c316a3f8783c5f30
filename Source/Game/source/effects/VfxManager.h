#pragma once
#include "Math/Vector2.h"
#include "effects/VfxDefinition.h"
#include "effects/VfxInstance.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Short flip-book effects cut from sprite sheets (dust, dash trails, icicle breaks). The table is
// read once from "settings/LoadVFX.json"; effects are spawned by name, advance once a frame, draw
// as 2D sprites and retire after their last frame, whatever screen is showing. Main thread only.
class VfxManager
{
public:
    static constexpr const char* DEFINITIONS_FILE = "settings/LoadVFX.json";
    // The most columns, and the most rows, a sheet is cut into; a definition asking for more is
    // refused.
    static constexpr std::int32_t MAX_FRAMES_PER_SIDE = 256;

    // The game's one manager, destroyed at process exit.
    static VfxManager& GetInstance();

    // Empty. Tests make their own.
    VfxManager() = default;
    VfxManager(const VfxManager&) = delete;
    VfxManager& operator=(const VfxManager&) = delete;

    // LoadFromFile of DEFINITIONS_FILE.
    void Load();
    // Adds the file's definitions; a name already known has its definition overwritten in place.
    // What cannot be read is reported on standard output and skipped.
    void LoadFromFile(const std::string& aPath);
    // Starts one effect; aRotation in radians. An unknown name, or a definition without texture or
    // frames, is reported and spawns nothing.
    void Spawn(const std::string& aName, const Vra::Vector2f& aPosition, bool aLoop, bool aFlipX, float aRotation);
    void Update(float aDeltaTime);
    // Ends every looping effect at once (a level's effect blocks, when the level goes).
    void StopLooping();
    // One sprite batch per effect, with the current graphics state.
    void Render() const;

    const VfxDefinition* FindDefinition(const std::string& aName) const;
    const std::vector<VfxInstance>& GetInstances() const { return myInstances; }

private:
    // Instances go before the table at destruction: they point into it.
    std::unordered_map<std::string, VfxDefinition> myDefinitions;
    std::vector<VfxInstance> myInstances;
};
