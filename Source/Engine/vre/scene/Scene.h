#pragma once
#include "scene/SceneObject.h"
#include "stringRegistry/StringId.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace Vra
{
    // The objects of one scene, by object id. Belongs to one thread at a time.
    class Scene
    {
    public:
        using ObjectMap = std::unordered_map<std::uint32_t, std::shared_ptr<SceneObject>>;
        using PathCounts = std::map<StringId, std::uint32_t, StringIdTextLess>;

        Scene();
        ~Scene();

        // Empties the objects and path counts.
        void Clear();

        std::string myPath;
        std::string myName = "untitled";
        ObjectMap myObjects;
        // How many loaded objects carry each path.
        PathCounts myPathCounts;
    };
}
