#include "fbx/Mesh.h"

namespace Vra::Fbx
{
    bool Mesh::GenerateTangentsData(int aUvSet, bool anOverwrite, bool)
    {
        if (!anOverwrite && GetElementTangentCount() > 0 && GetElementBinormalCount() > 0)
        {
            return true;
        }
        return GetElementUV(aUvSet) != nullptr && false;
    }
}
