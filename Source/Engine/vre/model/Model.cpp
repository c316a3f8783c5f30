#include "model/Model.h"

#include "Assert.h"
#include "graphics/ModelShader.h"
#include "model/PoseMaths.h"

#include <algorithm>
#include <atomic>

namespace Vra
{
    namespace
    {
        std::atomic<std::uint64_t> ourNextModelId = 1;
    }

    Model::Model() : myId(ourNextModelId.fetch_add(1))
    {
    }

    void Model::Init(const std::vector<MeshData>& someMeshData, const std::string& aPath)
    {
        CU_ASSERT(someMeshData.size() <= MAX_MESHES_PER_MODEL);
        myMeshes = someMeshData;
        myPath = aPath;
    }

    void Model::AddMesh(const MeshData& aMeshData, const std::string& aPath)
    {
        myMeshes.push_back(aMeshData);
        myPath = aPath;
    }

    void Model::SetSkeleton(Skeleton aSkeleton)
    {
        CU_ASSERT_MSG(MAX_ANIMATION_BONES >= aSkeleton.myJoints.size(),
                      "MAX_ANIMATION_BONES >= mdlSkeleton.Joints.size() && \"More joints in animation than defined in EngingeDefines.h\"");
        mySkeleton = std::move(aSkeleton);
        myHasAffineInverseBinds = std::all_of(mySkeleton.myJoints.begin(), mySkeleton.myJoints.end(),
                                              [](const Joint& aJoint) { return IsAffine(aJoint.myInverseBindMatrix); });
    }

    void Model::ComputeGlobalPose(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose) const
    {
        if (!mySkeleton.myJoints.empty())
        {
            ComputeJointGlobal(aLocalPose, aGlobalPose, 0, Matrix4x4(), 0);
        }
        aGlobalPose.myJointCount = aLocalPose.myJointCount;
    }

    void Model::ComputeJointGlobal(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose, std::uint32_t aJointIndex,
                                   const Matrix4x4& aParentMatrix) const
    {
        ComputeJointGlobal(aLocalPose, aGlobalPose, aJointIndex, aParentMatrix, 0);
    }

    void Model::ComputeJointGlobal(const AnimationPose& aLocalPose, GlobalPose& aGlobalPose, std::uint32_t aJointIndex,
                                   const Matrix4x4& aParentMatrix, std::uint32_t aDepth) const
    {
        // A hierarchy is at most as deep as the joints are many; the limit also stops a cycle.
        if (aJointIndex >= mySkeleton.myJoints.size() || aJointIndex >= MAX_ANIMATION_BONES || aDepth >= MAX_ANIMATION_BONES)
        {
            return;
        }
        Matrix4x4& global = aGlobalPose.myJoints[aJointIndex];
        ComposeJoint(aLocalPose.myJoints[aJointIndex], aParentMatrix, global);
        for (const std::uint32_t child : mySkeleton.myJoints[aJointIndex].myChildren)
        {
            ComputeJointGlobal(aLocalPose, aGlobalPose, child, global, aDepth + 1);
        }
    }

    void Model::ComputeSkinningMatrices(const GlobalPose& aGlobalPose, Matrix4x4* someJointMatrices) const
    {
        const std::size_t count = std::min<std::size_t>(mySkeleton.myJoints.size(), MAX_ANIMATION_BONES);
        for (std::size_t joint = 0; joint < count; ++joint)
        {
            const Matrix4x4& inverseBind = mySkeleton.myJoints[joint].myInverseBindMatrix;
            if (myHasAffineInverseBinds)
            {
                MultiplyAffine(inverseBind, aGlobalPose.myJoints[joint], someJointMatrices[joint]);
            }
            else
            {
                Multiply(inverseBind, aGlobalPose.myJoints[joint], someJointMatrices[joint]);
            }
        }
    }

    void Model::Render(ModelShader& aShader, const ModelTextureSlots& someTextures, const Matrix4x4& aTransform,
                       const Matrix4x4* someJoints) const
    {
        static const MeshTextureSlots NO_TEXTURES{};
        for (std::size_t mesh = 0; mesh < myMeshes.size(); ++mesh)
        {
            const MeshTextureSlots& textures = mesh < someTextures.size() ? someTextures[mesh] : NO_TEXTURES;
            aShader.Render(textures.data(), myMeshes[mesh], aTransform, someJoints, static_cast<std::uint32_t>(GetJointCount()));
        }
    }
}
