#pragma once
#include "model/AnimationPose.h"
#include "model/MeshData.h"
#include "model/ModelLimits.h"
#include "model/Skeleton.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vra
{
    class ModelShader;

    // A loaded model: its meshes with their GPU buffers, its skeleton (empty for a static model)
    // and the four texture handles of each mesh. Shared by everything that draws it.
    class Model
    {
    public:
        Model();

        // Replaces the meshes by a copy of the given ones and sets the path; more than
        // MAX_MESHES_PER_MODEL is a programming error (the factory refuses such files first).
        void Init(const std::vector<MeshData>& someMeshData, const std::string& aPath);
        // Appends one mesh and sets the path. Meshes past the texture slots draw untextured.
        void AddMesh(const MeshData& aMeshData, const std::string& aPath);
        // More than MAX_ANIMATION_BONES joints is a programming error (the factory refuses such files).
        void SetSkeleton(Skeleton aSkeleton);

        const std::vector<MeshData>& GetMeshes() const { return myMeshes; }
        std::size_t GetMeshCount() const { return myMeshes.size(); }
        const std::string& GetPath() const { return myPath; }
        const Skeleton& GetSkeleton() const { return mySkeleton; }
        std::size_t GetJointCount() const { return mySkeleton.myJoints.size(); }
        bool IsSkinned() const { return !mySkeleton.myJoints.empty(); }

        const ModelTextureSlots& GetTextures() const { return myTextures; }
        ModelTextureSlots& GetTextures() { return myTextures; }

        // Different for every model the process ever makes, so a cache keyed by it cannot mistake
        // a model made later at the same address for a freed one.
        std::uint64_t GetId() const { return myId; }

        // Walks the hierarchy from joint 0: global = local * parent. Joints not reachable from
        // joint 0 keep what aGlobalPose held.
        void ComputeGlobalPose(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose) const;
        void ComputeJointGlobal(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose, std::uint32_t aJointIndex,
                                const Matrix4x4& aParentMatrix) const;
        // someJointMatrices[j] = inverse bind matrix j * global j, for every joint of the model.
        void ComputeSkinningMatrices(const GlobalPose& aGlobalPose, Matrix4x4* someJointMatrices) const;

        // Draws every mesh with its own slots of someTextures; someJoints is null for a static draw.
        void Render(ModelShader& aShader, const ModelTextureSlots& someTextures, const Matrix4x4& aTransform,
                    const Matrix4x4* someJoints) const;

    private:
        void ComputeJointGlobal(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose, std::uint32_t aJointIndex,
                                const Matrix4x4& aParentMatrix, std::uint32_t aDepth) const;

        Skeleton mySkeleton;
        std::vector<MeshData> myMeshes;
        std::string myPath;
        ModelTextureSlots myTextures{};
        std::uint64_t myId;
        // Inverse bind matrices from files transform points without projection: the skinning
        // product then skips their zero fourth column.
        bool myHasAffineInverseBinds = true;
    };
}
