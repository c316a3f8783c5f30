#include "model/ModelGeometry.h"

#include "gpu/Device.h"
#include "graphics/DX11.h"
#include "Math/Vector3.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vra::impl
{
    namespace
    {
        using namespace Platform::Gpu;

        Ref<Buffer> CreateImmutableBuffer(const void* someData, std::size_t aByteCount, std::uint32_t aBinding)
        {
            if (!DX11::Device || aByteCount == 0 || aByteCount > std::numeric_limits<std::uint32_t>::max())
            {
                return {};
            }
            BufferDesc description;
            description.myByteWidth = static_cast<std::uint32_t>(aByteCount);
            description.myUsage = Usage::Immutable;
            description.myBindFlags = aBinding;
            const SubresourceData data{ someData, 0, 0 };
            Ref<Buffer> buffer;
            if (FAILED(DX11::Device->CreateBuffer(description, &data, &buffer)))
            {
                return {};
            }
            return buffer;
        }

        struct Corner
        {
            float myPosition[3];
            float myTexCoord[2];
        };

        ModelVertex MakeVertex(const Corner& aCorner, const float (&aColor)[4], const float (&aNormal)[3], const float (&aTangent)[3],
                               const float (&aBinormal)[3])
        {
            ModelVertex vertex;
            std::copy(std::begin(aCorner.myPosition), std::end(aCorner.myPosition), vertex.myPosition);
            vertex.myPosition[3] = 1.0f;
            std::copy(std::begin(aColor), std::end(aColor), vertex.myColors[0]);
            std::copy(std::begin(aCorner.myTexCoord), std::end(aCorner.myTexCoord), vertex.myTexCoords[0]);
            std::copy(std::begin(aNormal), std::end(aNormal), vertex.myNormal);
            std::copy(std::begin(aTangent), std::end(aTangent), vertex.myTangent);
            std::copy(std::begin(aBinormal), std::end(aBinormal), vertex.myBinormal);
            return vertex;
        }

        struct CubeFace
        {
            float myPositions[4][3];
            float myColor[4];
            float myNormal[3];
            float myTangent[3];
            float myBinormal[3];
        };

        // Clockwise seen from outside, the front face of the rasterizer's default.
        constexpr CubeFace CUBE_FACES[6] = {
            { { { 50, -50, 50 }, { 50, 50, 50 }, { -50, 50, 50 }, { -50, -50, 50 } }, { 1, 1, 1, 1 }, { 0, 0, 1 }, { 1, 0, 0 }, { 0, -1, 0 } },
            { { { -50, -50, 50 }, { -50, 50, 50 }, { -50, 50, -50 }, { -50, -50, -50 } }, { 1, 0, 0, 1 }, { -1, 0, 0 }, { 0, 0, 1 }, { 0, -1, 0 } },
            { { { -50, -50, -50 }, { -50, 50, -50 }, { 50, 50, -50 }, { 50, -50, -50 } }, { 0, 1, 0, 1 }, { 0, 0, -1 }, { 1, 0, 0 }, { 0, -1, 0 } },
            { { { 50, -50, -50 }, { 50, 50, -50 }, { 50, 50, 50 }, { 50, -50, 50 } }, { 0, 0, 1, 1 }, { 1, 0, 0 }, { 0, 0, -1 }, { 0, -1, 0 } },
            { { { 50, 50, 50 }, { 50, 50, -50 }, { -50, 50, -50 }, { -50, 50, 50 } }, { 1, 1, 0, 1 }, { 0, 1, 0 }, { 1, 0, 0 }, { 0, 0, 1 } },
            { { { -50, -50, 50 }, { -50, -50, -50 }, { 50, -50, -50 }, { 50, -50, 50 } }, { 1, 0, 1, 1 }, { 0, -1, 0 }, { 1, 0, 0 }, { 0, 0, 1 } },
        };
        constexpr float CUBE_TEXCOORDS[4][2] = { { 0, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 } };
    }

    bool CreateMeshBuffers(MeshData& aMesh)
    {
        aMesh.myVertexBuffer = CreateImmutableBuffer(aMesh.myVertices.data(), aMesh.myVertices.size() * sizeof(ModelVertex), BIND_VERTEX_BUFFER);
        if (!aMesh.myVertexBuffer)
        {
            return false;
        }
        aMesh.myIndexBuffer = CreateImmutableBuffer(aMesh.myIndices.data(), aMesh.myIndices.size() * sizeof(std::uint32_t), BIND_INDEX_BUFFER);
        if (!aMesh.myIndexBuffer)
        {
            return false;
        }
        aMesh.myStride = sizeof(ModelVertex);
        aMesh.myVertexCount = static_cast<std::uint32_t>(aMesh.myVertices.size());
        aMesh.myIndexCount = static_cast<std::uint32_t>(aMesh.myIndices.size());
        return true;
    }

    void ComputeMeshBounds(MeshData& aMesh)
    {
        float minimum[3];
        float maximum[3];
        std::fill(std::begin(minimum), std::end(minimum), std::numeric_limits<float>::max());
        std::fill(std::begin(maximum), std::end(maximum), std::numeric_limits<float>::lowest());
        for (const ModelVertex& vertex : aMesh.myVertices)
        {
            for (int axis = 0; axis < 3; ++axis)
            {
                minimum[axis] = std::min(minimum[axis], vertex.myPosition[axis]);
                maximum[axis] = std::max(maximum[axis], vertex.myPosition[axis]);
            }
        }
        float lengthSquared = 0.0f;
        for (int axis = 0; axis < 3; ++axis)
        {
            aMesh.myBounds.myHalfExtents[axis] = (maximum[axis] - minimum[axis]) / 2.0f;
            aMesh.myBounds.myCenter[axis] = (maximum[axis] + minimum[axis]) / 2.0f;
            lengthSquared += aMesh.myBounds.myHalfExtents[axis] * aMesh.myBounds.myHalfExtents[axis];
        }
        aMesh.myBounds.myRadius = std::sqrt(lengthSquared);
    }

    void TurnFacesOutward(MeshData& aMesh)
    {
        const std::vector<ModelVertex>& vertices = aMesh.myVertices;
        double agreement = 0.0;
        for (std::size_t first = 0; first + 2 < aMesh.myIndices.size(); first += 3)
        {
            const std::uint32_t corners[3] = { aMesh.myIndices[first], aMesh.myIndices[first + 1], aMesh.myIndices[first + 2] };
            if (corners[0] >= vertices.size() || corners[1] >= vertices.size() || corners[2] >= vertices.size())
            {
                continue;
            }
            const auto position = [&](int aCorner) {
                const float* p = vertices[corners[aCorner]].myPosition;
                return Vector3<double>(p[0], p[1], p[2]);
            };
            Vector3<double> normal;
            for (const std::uint32_t corner : corners)
            {
                const float* n = vertices[corner].myNormal;
                normal += Vector3<double>(n[0], n[1], n[2]);
            }
            // The cross product of the edges points out of the front of a triangle.
            agreement += (position(1) - position(0)).Cross(position(2) - position(0)).Dot(normal);
        }
        if (agreement >= 0.0)
        {
            return;
        }
        for (std::size_t first = 0; first + 2 < aMesh.myIndices.size(); first += 3)
        {
            std::swap(aMesh.myIndices[first + 1], aMesh.myIndices[first + 2]);
        }
    }

    MeshData MakeCubeMesh()
    {
        MeshData mesh;
        for (std::uint32_t face = 0; face < 6; ++face)
        {
            const CubeFace& data = CUBE_FACES[face];
            for (int corner = 0; corner < 4; ++corner)
            {
                const Corner position{ { data.myPositions[corner][0], data.myPositions[corner][1], data.myPositions[corner][2] },
                                       { CUBE_TEXCOORDS[corner][0], CUBE_TEXCOORDS[corner][1] } };
                mesh.myVertices.push_back(MakeVertex(position, data.myColor, data.myNormal, data.myTangent, data.myBinormal));
            }
            for (const std::uint32_t corner : { 0u, 1u, 2u, 0u, 2u, 3u })
            {
                mesh.myIndices.push_back(face * 4 + corner);
            }
        }
        return mesh;
    }

    MeshData MakePlaneMesh()
    {
        constexpr Corner CORNERS[4] = {
            { { -50, 0, 50 }, { 0, 0 } },
            { { 50, 0, 50 }, { 1, 0 } },
            { { 50, 0, -50 }, { 1, 1 } },
            { { -50, 0, -50 }, { 0, 1 } },
        };
        constexpr float WHITE[4] = { 1, 1, 1, 1 };
        constexpr float UP[3] = { 0, 1, 0 };
        constexpr float TANGENT[3] = { 1, 0, 0 };
        constexpr float BINORMAL[3] = { 0, 0, 1 };
        MeshData mesh;
        for (const Corner& corner : CORNERS)
        {
            mesh.myVertices.push_back(MakeVertex(corner, WHITE, UP, TANGENT, BINORMAL));
        }
        mesh.myIndices = { 0, 1, 2, 0, 2, 3 };
        return mesh;
    }
}
