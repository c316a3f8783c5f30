#include "scene/Scene.h"

namespace Vra
{
    Scene::Scene() : myObjects(8)
    {
        myObjects.max_load_factor(1.0f);
    }

    Scene::~Scene() = default;

    void Scene::Clear()
    {
        myObjects.clear();
        myPathCounts.clear();
    }
}
