#include "fbx/Mesh.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace Vra::Fbx
{
    namespace
    {
        struct Vector3
        {
            double x = 0.0;
            double y = 0.0;
            double z = 0.0;
            Vector3 operator+(const Vector3& anOther) const { return { x + anOther.x, y + anOther.y, z + anOther.z }; }
            Vector3 operator-(const Vector3& anOther) const { return { x - anOther.x, y - anOther.y, z - anOther.z }; }
            Vector3 operator*(double aFactor) const { return { x * aFactor, y * aFactor, z * aFactor }; }
        };

        Vector3 From(const Vector4& aVector) { return { aVector[0], aVector[1], aVector[2] }; }
        double Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
        Vector3 Cross(const Vector3& a, const Vector3& b)
        {
            return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
        }
        double Length(const Vector3& a) { return std::sqrt(Dot(a, a)); }
        Vector3 Normalized(const Vector3& a, const Vector3& aFallback)
        {
            const double length = Length(a);
            return length > 1e-20 ? a * (1.0 / length) : aFallback;
        }

        // Any unit vector at right angles to aNormal.
        Vector3 Perpendicular(const Vector3& aNormal)
        {
            const Vector3 axis = std::abs(aNormal.x) < 0.9 ? Vector3{ 1.0, 0.0, 0.0 } : Vector3{ 0.0, 1.0, 0.0 };
            return Normalized(Cross(axis, aNormal), { 1.0, 0.0, 0.0 });
        }

        template <typename T>
        const T* ValueAt(const LayerElementTemplate<T>& anElement, int aControlPoint, int aPolygonVertex, int aPolygon)
        {
            int mapped = 0;
            switch (anElement.GetMappingMode())
            {
            case MappingMode::ByControlPoint: mapped = aControlPoint; break;
            case MappingMode::ByPolygonVertex: mapped = aPolygonVertex; break;
            case MappingMode::ByPolygon: mapped = aPolygon; break;
            case MappingMode::AllSame: mapped = 0; break;
            default: return nullptr;
            }
            if (anElement.GetReferenceMode() != ReferenceMode::Direct)
            {
                if (mapped >= anElement.GetIndexArray().GetCount())
                {
                    return nullptr;
                }
                mapped = anElement.GetIndexArray().GetAt(mapped);
            }
            return mapped < anElement.GetDirectArray().GetCount() ? &anElement.GetDirectArray().GetAt(mapped) : nullptr;
        }
    }

    bool Mesh::GenerateTangentsData(int aUvSet, bool anOverwrite, bool anIgnoreTangentFlip)
    {
        if (!anOverwrite && GetElementTangentCount() > 0 && GetElementBinormalCount() > 0)
        {
            return true;
        }
        const LayerElementUV* uvs = GetElementUV(aUvSet);
        if (!uvs || GetPolygonCount() == 0)
        {
            return false;
        }
        const LayerElementNormal* normals = GetElementNormal(0);
        const int polygonVertices = GetPolygonVertexCount();
        const int polygonCount = GetPolygonCount();
        // Polygon p's corners are polygon vertices myPolygonStarts[p] up to ends[p].
        std::vector<int> ends(static_cast<size_t>(polygonCount));
        for (int polygon = 0; polygon < polygonCount; ++polygon)
        {
            ends[static_cast<size_t>(polygon)] = polygon + 1 < polygonCount ? myPolygonStarts[polygon + 1] : polygonVertices;
        }
        std::vector<int> uvIndex(polygonVertices, -1);
        std::vector<int> polygonOf(polygonVertices, 0);
        {
            // The set's UV index of each corner, as GetTextureUVIndex gives it.
            const MappingMode mapping = uvs->GetMappingMode();
            const bool isDirect = uvs->GetReferenceMode() == ReferenceMode::Direct;
            const std::vector<int>& indices = uvs->GetIndexArray().GetValues();
            const int count = isDirect ? uvs->GetDirectArray().GetCount() : static_cast<int>(indices.size());
            for (int polygon = 0; polygon < polygonCount; ++polygon)
            {
                for (int vertex = myPolygonStarts[polygon]; vertex < ends[static_cast<size_t>(polygon)]; ++vertex)
                {
                    int mapped = -1;
                    switch (mapping)
                    {
                    case MappingMode::ByControlPoint: mapped = myPolygonVertices[static_cast<size_t>(vertex)]; break;
                    case MappingMode::ByPolygonVertex: mapped = vertex; break;
                    case MappingMode::ByPolygon: mapped = polygon; break;
                    case MappingMode::AllSame: mapped = 0; break;
                    default: return false;
                    }
                    if (mapped >= count)
                    {
                        return false;
                    }
                    const int index = isDirect ? mapped : indices[static_cast<size_t>(mapped)];
                    if (index < 0)
                    {
                        return false;
                    }
                    uvIndex[static_cast<size_t>(vertex)] = index;
                    polygonOf[static_cast<size_t>(vertex)] = polygon;
                }
            }
        }
        // Corners that share a control point and a UV share their tangent frame: one group each.
        struct Sums
        {
            Vector3 myTangent;
            Vector3 myBinormal;
        };
        // Each control point lists its groups, one per UV index met there (rarely more than two),
        // so finding a corner's group takes no table larger than the mesh.
        std::vector<int> groupOf(polygonVertices);
        int groupCount = 0;
        {
            std::vector<int> firstGroup(static_cast<size_t>(GetControlPointsCount()), -1);
            std::vector<int> groupUv;
            std::vector<int> nextGroup;
            groupUv.reserve(firstGroup.size());
            nextGroup.reserve(firstGroup.size());
            for (int vertex = 0; vertex < polygonVertices; ++vertex)
            {
                int& first = firstGroup[static_cast<size_t>(myPolygonVertices[vertex])];
                int group = first;
                while (group >= 0 && groupUv[static_cast<size_t>(group)] != uvIndex[vertex])
                {
                    group = nextGroup[static_cast<size_t>(group)];
                }
                if (group < 0)
                {
                    group = groupCount++;
                    groupUv.push_back(uvIndex[vertex]);
                    nextGroup.push_back(first);
                    first = group;
                }
                groupOf[vertex] = group;
            }
        }
        std::vector<Sums> sums(static_cast<size_t>(groupCount));
        std::vector<Vector3> faceNormals(static_cast<size_t>(polygonCount));
        const LayerArray<Vector2>& uvValues = uvs->GetDirectArray();
        for (int polygon = 0; polygon < polygonCount; ++polygon)
        {
            const int first = myPolygonStarts[polygon];
            const int size = ends[static_cast<size_t>(polygon)] - first;
            for (int corner = 1; corner + 1 < size; ++corner)
            {
                const int corners[3] = { first, first + corner, first + corner + 1 };
                const Vector3 p0 = From(myControlPoints[myPolygonVertices[corners[0]]]);
                const Vector3 e1 = From(myControlPoints[myPolygonVertices[corners[1]]]) - p0;
                const Vector3 e2 = From(myControlPoints[myPolygonVertices[corners[2]]]) - p0;
                faceNormals[polygon] = faceNormals[polygon] + Cross(e1, e2);
                const Vector2& t0 = uvValues.GetAt(uvIndex[corners[0]]);
                const Vector2& t1 = uvValues.GetAt(uvIndex[corners[1]]);
                const Vector2& t2 = uvValues.GetAt(uvIndex[corners[2]]);
                const double du1 = t1[0] - t0[0];
                const double dv1 = t1[1] - t0[1];
                const double du2 = t2[0] - t0[0];
                const double dv2 = t2[1] - t0[1];
                const double determinant = du1 * dv2 - du2 * dv1;
                if (std::abs(determinant) < 1e-20)
                {
                    continue;
                }
                const double inverse = 1.0 / determinant;
                const Vector3 tangent = (e1 * dv2 - e2 * dv1) * inverse;
                const Vector3 binormal = (e2 * du1 - e1 * du2) * inverse;
                for (const int vertex : corners)
                {
                    Sums& sum = sums[groupOf[vertex]];
                    sum.myTangent = sum.myTangent + tangent;
                    sum.myBinormal = sum.myBinormal + binormal;
                }
            }
        }
        // Corners of one group that share their normal share the whole frame: each such pair is
        // worked out once and indexed from every corner that has it.
        LayerElementTangent tangents;
        LayerElementBinormal binormals;
        tangents.SetMappingMode(MappingMode::ByPolygonVertex);
        binormals.SetMappingMode(MappingMode::ByPolygonVertex);
        tangents.SetReferenceMode(ReferenceMode::IndexToDirect);
        binormals.SetReferenceMode(ReferenceMode::IndexToDirect);
        std::vector<Vector4>& tangentValues = tangents.GetDirectArray().GetValues();
        std::vector<Vector4>& binormalValues = binormals.GetDirectArray().GetValues();
        std::vector<int>& frameOf = tangents.GetIndexArray().GetValues();
        frameOf.resize(static_cast<size_t>(polygonVertices));
        tangentValues.reserve(static_cast<size_t>(groupCount));
        binormalValues.reserve(static_cast<size_t>(groupCount));
        std::vector<int> firstFrame(static_cast<size_t>(groupCount), -1);
        std::vector<int> nextFrame;
        std::vector<Vector3> frameNormals;
        nextFrame.reserve(static_cast<size_t>(groupCount));
        frameNormals.reserve(static_cast<size_t>(groupCount));
        // Each polygon's unit normal once, not once per corner.
        for (Vector3& faceNormal : faceNormals)
        {
            faceNormal = Normalized(faceNormal, { 0.0, 0.0, 1.0 });
        }
        for (int vertex = 0; vertex < polygonVertices; ++vertex)
        {
            const Vector3& faceNormal = faceNormals[polygonOf[vertex]];
            const Vector4* fileNormal = normals ? ValueAt(*normals, myPolygonVertices[vertex], vertex, polygonOf[vertex]) : nullptr;
            const Vector3 normal = fileNormal ? Normalized(From(*fileNormal), faceNormal) : faceNormal;
            const int group = groupOf[vertex];
            int& first = firstFrame[static_cast<size_t>(group)];
            int frame = first;
            while (frame >= 0 && std::memcmp(&frameNormals[static_cast<size_t>(frame)], &normal, sizeof(normal)) != 0)
            {
                frame = nextFrame[static_cast<size_t>(frame)];
            }
            if (frame < 0)
            {
                const Sums& sum = sums[static_cast<size_t>(group)];
                // Gram-Schmidt: the tangent at right angles to the normal; any perpendicular where
                // the UVs give no direction.
                const Vector3 projected = sum.myTangent - normal * Dot(normal, sum.myTangent);
                const double length = Length(projected);
                const Vector3 tangent = length > 1e-20 ? projected * (1.0 / length) : Perpendicular(normal);
                Vector3 binormal = Cross(normal, tangent);
                if (!anIgnoreTangentFlip && Dot(binormal, sum.myBinormal) < 0.0)
                {
                    binormal = binormal * -1.0;
                }
                frame = static_cast<int>(tangentValues.size());
                tangentValues.emplace_back(tangent.x, tangent.y, tangent.z, 1.0);
                binormalValues.emplace_back(binormal.x, binormal.y, binormal.z, 1.0);
                frameNormals.push_back(normal);
                nextFrame.push_back(first);
                first = frame;
            }
            frameOf[static_cast<size_t>(vertex)] = frame;
        }
        binormals.GetIndexArray().GetValues() = frameOf;
        // Moved in: assign would copy every value.
        myTangents.clear();
        myTangents.push_back(std::move(tangents));
        myBinormals.clear();
        myBinormals.push_back(std::move(binormals));
        return true;
    }
}
