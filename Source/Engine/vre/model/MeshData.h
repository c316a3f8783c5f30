#pragma once
#include "gpu/GpuObjects.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vra
{
    // The 180-byte model vertex the model shaders' input layout reads.
    struct ModelVertex
    {
        float myPosition[4] = { 0.0f, 0.0f, 0.0f, 1.0f };
        float myColors[4][4] = {};
        float myTexCoords[4][2] = {};
        float myNormal[3] = {};
        float myTangent[3] = {};
        float myBinormal[3] = {};
        // Joint indices as floats; the weights say how much each one moves the vertex.
        float myBones[4] = {};
        float myWeights[4] = {};
    };

    static_assert(sizeof(ModelVertex) == 180, "the model input layout reads 180-byte vertices");

    struct MeshBounds
    {
        float myHalfExtents[3] = {};
        float myCenter[3] = {};
        float myRadius = 0.0f;
    };

    // One mesh of a model with its GPU buffers.
    struct MeshData
    {
        std::string myName;
        std::string myMaterialName;
        std::uint32_t myVertexCount = 0;
        std::uint32_t myIndexCount = 0;
        std::uint32_t myStride = sizeof(ModelVertex);
        std::uint32_t myOffset = 0;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myVertexBuffer;
        Platform::Gpu::Ref<Platform::Gpu::Buffer> myIndexBuffer;
        MeshBounds myBounds;
        std::vector<ModelVertex> myVertices;
        std::vector<std::uint32_t> myIndices;
    };
}
