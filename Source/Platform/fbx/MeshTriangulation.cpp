#include "fbx/Mesh.h"

namespace Vra::Fbx
{
    bool Mesh::Triangulate()
    {
        return IsTriangleMesh();
    }
}
