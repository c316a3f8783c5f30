#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The records the import library fills for the engine's model factory. Plain data with value
// semantics; matrices are row-major in the row-vector convention (translation in row 4).
namespace Vra::FBX
{
    struct ImportedMatrix
    {
        float Data[16] = {1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 0.f, 1.f};

        // Row and column count from 1; no range check, as the engine's matrices index the same way.
        float& operator()(int aRow, int aColumn) { return Data[(aRow - 1) * 4 + (aColumn - 1)]; }
        float operator()(int aRow, int aColumn) const { return Data[(aRow - 1) * 4 + (aColumn - 1)]; }

        bool operator==(const ImportedMatrix&) const = default;
    };

    // The layout the engine's model vertex and shaders read: 45 four-byte fields.
    struct ImportedVertex
    {
        float Position[4] = {0.f, 0.f, 0.f, 0.f};
        float VertexColors[4][4] = {};
        float UVs[4][2] = {};
        float Normal[3] = {0.f, 0.f, 0.f};
        float Tangent[3] = {0.f, 0.f, 0.f};
        float Binormal[3] = {0.f, 0.f, 0.f};
        std::uint32_t BoneIDs[4] = {0, 0, 0, 0};
        float BoneWeights[4] = {0.f, 0.f, 0.f, 0.f};
    };
    static_assert(sizeof(ImportedVertex) == 45 * 4, "the engine reads the vertex as 45 packed fields");

    struct ImportedBounds
    {
        float BoxExtents[3] = {0.f, 0.f, 0.f};
        float Center[3] = {0.f, 0.f, 0.f};
        float Radius = 0.f;
    };

    struct ImportedBox
    {
        float Min[3] = {0.f, 0.f, 0.f};
        float Max[3] = {0.f, 0.f, 0.f};
        std::uint32_t IsValid = 0;
    };

    struct ImportedMesh
    {
        std::vector<ImportedVertex> Vertices;
        std::vector<std::uint32_t> Indices;
        std::uint32_t MaterialIndex = 0;
        std::string MeshName;
        ImportedBounds Bounds;
        ImportedBox Box;
    };

    struct ImportedJoint
    {
        ImportedMatrix BindPoseInverse;
        std::int32_t Parent = -1;
        std::string Name;
        std::string NameShort;
        std::vector<std::uint32_t> Children;
    };

    struct ImportedSocket
    {
        ImportedMatrix Transform;
        std::int32_t Parent = -1;
        std::string Name;
        std::string SecondName;
    };

    struct ImportedSkeleton
    {
        std::string Name;
        std::vector<ImportedJoint> Joints;
        std::unordered_map<std::string, ImportedSocket> Sockets{8};
        std::unordered_map<std::string, std::size_t> JointNameToIndex{8};
    };

    struct ImportedTextureSlot
    {
        std::string Name;
        std::string Path;
        std::string RelativePath;
    };

    struct ImportedMaterial
    {
        std::string MaterialName;
        ImportedTextureSlot Emissive;
        ImportedTextureSlot Ambient;
        ImportedTextureSlot Diffuse;
        ImportedTextureSlot Specular;
        ImportedTextureSlot Shininess;
        ImportedTextureSlot Bump;
        ImportedTextureSlot NormalMap;
        ImportedTextureSlot TransparentColor;
        ImportedTextureSlot Reflection;
        ImportedTextureSlot DisplacementColor;
        ImportedTextureSlot VectorDisplacementColor;
    };

    struct ImportedLodLevel
    {
        std::int32_t Level = 0;
        float Distance = 0.f;
        std::vector<ImportedMesh> Meshes;
        ImportedBounds Bounds;
    };

    using ImportedLodGroup = std::vector<ImportedLodLevel>;

    struct ImportedModel
    {
        ImportedSkeleton Skeleton;
        std::vector<ImportedMesh> Meshes;
        std::vector<ImportedMaterial> Materials;
        std::vector<ImportedLodGroup> LodGroups;
        std::string Path;
        ImportedBounds Bounds;
        ImportedBox Box;
    };

    struct ImportedAnimationFrame
    {
        std::unordered_map<std::string, ImportedMatrix> GlobalTransforms;
        std::unordered_map<std::string, ImportedMatrix> LocalTransforms;
        std::unordered_map<std::string, bool> TriggeredEvents;
        std::unordered_map<std::string, ImportedMatrix> SocketTransforms;
    };

    struct ImportedAnimation
    {
        std::vector<ImportedAnimationFrame> Frames;
        std::vector<std::string> JointNames;
        std::uint32_t FramesCount = 0;
        double Duration = 0.0;
        float FramesPerSecond = 0.f;
        std::string Path;
    };
}
