#include "fbx/Mesh.h"

#include "fbx/Skin.h"

#include <algorithm>

namespace Vra::Fbx
{
    Mesh::Mesh() : NodeAttribute(Type::Mesh) {}

    Mesh::~Mesh() = default;

    const Vector4& Mesh::GetControlPointAt(int anIndex) const
    {
        CU_ASSERT(anIndex >= 0 && anIndex < GetControlPointsCount());
        return myControlPoints[anIndex];
    }

    int Mesh::GetPolygonSize(int aPolygon) const
    {
        if (aPolygon < 0 || aPolygon >= GetPolygonCount())
        {
            return -1;
        }
        const int end = aPolygon + 1 < GetPolygonCount() ? myPolygonStarts[aPolygon + 1] : GetPolygonVertexCount();
        return end - myPolygonStarts[aPolygon];
    }

    int Mesh::GetPolygonVertex(int aPolygon, int aPosition) const
    {
        const int size = GetPolygonSize(aPolygon);
        if (aPosition < 0 || aPosition >= size)
        {
            return -1;
        }
        return myPolygonVertices[myPolygonStarts[aPolygon] + aPosition];
    }

    int Mesh::GetPolygonVertexIndex(int aPolygon) const
    {
        return aPolygon >= 0 && aPolygon < GetPolygonCount() ? myPolygonStarts[aPolygon] : -1;
    }

    bool Mesh::IsTriangleMesh() const
    {
        for (int polygon = 0; polygon < GetPolygonCount(); ++polygon)
        {
            if (GetPolygonSize(polygon) != 3)
            {
                return false;
            }
        }
        return true;
    }

    int Mesh::GetTextureUVIndex(int aPolygon, int aPosition, int aUvSet) const
    {
        const LayerElementUV* uvs = GetElementUV(aUvSet);
        const int controlPoint = GetPolygonVertex(aPolygon, aPosition);
        if (!uvs || controlPoint < 0)
        {
            return -1;
        }
        int mapped = -1;
        switch (uvs->GetMappingMode())
        {
        case MappingMode::ByControlPoint: mapped = controlPoint; break;
        case MappingMode::ByPolygonVertex: mapped = myPolygonStarts[aPolygon] + aPosition; break;
        case MappingMode::ByPolygon: mapped = aPolygon; break;
        case MappingMode::AllSame: mapped = 0; break;
        default: return -1;
        }
        if (uvs->GetReferenceMode() == ReferenceMode::Direct)
        {
            return mapped < uvs->GetDirectArray().GetCount() ? mapped : -1;
        }
        return mapped < uvs->GetIndexArray().GetCount() ? uvs->GetIndexArray().GetAt(mapped) : -1;
    }

    int Mesh::GetLayerCount() const
    {
        return static_cast<int>(std::max({ myNormals.size(), myTangents.size(), myBinormals.size(), myUvs.size(),
                                           myColors.size(), myMaterials.size() }));
    }

    namespace
    {
        template <typename T>
        const T* ElementAt(const std::vector<T>& someElements, int anIndex)
        {
            return anIndex >= 0 && anIndex < static_cast<int>(someElements.size()) ? &someElements[anIndex] : nullptr;
        }
    }

    const LayerElementNormal* Mesh::GetElementNormal(int anIndex) const { return ElementAt(myNormals, anIndex); }
    const LayerElementTangent* Mesh::GetElementTangent(int anIndex) const { return ElementAt(myTangents, anIndex); }
    const LayerElementBinormal* Mesh::GetElementBinormal(int anIndex) const { return ElementAt(myBinormals, anIndex); }
    const LayerElementUV* Mesh::GetElementUV(int anIndex) const { return ElementAt(myUvs, anIndex); }
    const LayerElementVertexColor* Mesh::GetElementVertexColor(int anIndex) const { return ElementAt(myColors, anIndex); }
    const LayerElementMaterial* Mesh::GetElementMaterial(int anIndex) const { return ElementAt(myMaterials, anIndex); }

    Skin* Mesh::GetSkin(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetSkinCount() ? mySkins[anIndex] : nullptr;
    }
}
