#include "fbx/GeometryConverter.h"

#include "fbx/Mesh.h"
#include "fbx/Node.h"
#include "fbx/Scene.h"

#include <unordered_set>

namespace Vra::Fbx
{
    bool GeometryConverter::Triangulate(Scene* aScene, bool /*aReplace*/, bool /*aLegacy*/)
    {
        if (!aScene)
        {
            return false;
        }
        // A mesh shared by several nodes is triangulated once.
        std::unordered_set<Mesh*> done;
        bool allGood = true;
        for (int index = 0; index < aScene->GetNodeCount(); ++index)
        {
            Mesh* mesh = aScene->GetNode(index)->GetMesh();
            if (mesh && done.insert(mesh).second)
            {
                allGood = Triangulate(mesh) && allGood;
            }
        }
        return allGood;
    }

    bool GeometryConverter::Triangulate(Mesh* aMesh)
    {
        return aMesh && aMesh->Triangulate();
    }
}
