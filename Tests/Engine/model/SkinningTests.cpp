#include "ModelFactoryTestSupport.h"

#include "model/PoseMaths.h"

#include <cmath>

// The skinned test model posed by the engine against what Blender itself computed for the same
// frames of the same take (written beside the file): joint positions, skinning matrices and the
// deformed vertices.
namespace
{
    using namespace ModelFactoryTestSupport;
    using Vra::Matrix4x4;

    // Blender's world (z up, right-handed) on the engine's axes: y up, left-handed.
    Vra::Vector3f FromBlender(const nlohmann::json& aPoint)
    {
        return { aPoint[0].get<float>(), aPoint[2].get<float>(), aPoint[1].get<float>() };
    }

    // The skinned mesh's own space, that of its control points: the file keeps Blender's axes
    // (its armature object carries the turn to y up) and the import turns z round.
    Vra::Vector3f InMeshSpace(const nlohmann::json& aPoint)
    {
        return { aPoint[0].get<float>(), aPoint[1].get<float>(), -aPoint[2].get<float>() };
    }

    // Blender's 4x4 for column vectors, on the engine's axes as a row-vector matrix.
    Matrix4x4 FromBlenderMatrix(const nlohmann::json& someRows)
    {
        const int axis[4] = { 0, 2, 1, 3 };
        Matrix4x4 result;
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                result[row * 4 + column] = someRows[axis[column]][axis[row]].get<float>();
            }
        }
        return result;
    }

    void ExpectNear(const Vra::Vector3f& anActual, const Vra::Vector3f& anExpected, float aTolerance, const std::string& aWhat)
    {
        EXPECT_NEAR(anActual.x, anExpected.x, aTolerance) << aWhat;
        EXPECT_NEAR(anActual.y, anExpected.y, aTolerance) << aWhat;
        EXPECT_NEAR(anActual.z, anExpected.z, aTolerance) << aWhat;
    }

    Vra::Vector3f Skinned(const Vra::ModelVertex& aVertex, const std::array<Matrix4x4, Vra::MAX_ANIMATION_BONES>& someJoints)
    {
        const Vra::Vector3f position(aVertex.myPosition[0], aVertex.myPosition[1], aVertex.myPosition[2]);
        Vra::Vector3f result;
        for (int influence = 0; influence < 4; ++influence)
        {
            const float weight = aVertex.myWeights[influence];
            if (weight != 0.0f)
            {
                result += someJoints[static_cast<std::size_t>(aVertex.myBones[influence])].TransformPoint(position) * weight;
            }
        }
        return result;
    }

    class Skinning : public ModelFactoryTest
    {
    protected:
        void SetUp() override
        {
            ModelFactoryTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            const std::string path = Install("skinned.fbx");
            myInstance = Factory().GetAnimatedModelInstance(path);
            ASSERT_TRUE(myInstance.IsBound());
            myPlayer = Factory().GetAnimationPlayer(path, myInstance.GetModel());
            ASSERT_TRUE(myPlayer.HasAnimation());
        }

        // Poses the instance at a frame of the take (30 frames a second).
        void PoseAt(int aFrame)
        {
            myPlayer.SetState(Vra::AnimationState::Playing);
            myPlayer.SetTime(static_cast<float>(aFrame) / 30.0f);
            myPlayer.UpdatePose();
            myInstance.SetPose(myPlayer);
        }

        const Vra::Model& GetModel() const { return *myInstance.GetModel(); }

        static const nlohmann::json& Facts() { return ModelTestFiles::Expected()["skinned"]; }

        Vra::AnimatedModelInstance myInstance;
        Vra::AnimationPlayer myPlayer;
    };
}

// The bind pose places each joint in the mesh's space, where the inverse bind matrices start.
TEST_F(Skinning, TheBindPoseIsTheInverseOfTheInverseBindMatricesAtTheRestHeads)
{
    const Vra::Skeleton& skeleton = GetModel().GetSkeleton();
    for (std::size_t index = 0; index < skeleton.myJoints.size(); ++index)
    {
        const std::string name = Facts()["joints"][index]["name"];
        const Matrix4x4 bind = Vra::JointTransform::ToMatrix(skeleton.myBindPose.myJoints[index]);
        const Matrix4x4 roundTrip = bind * skeleton.myJoints[index].myInverseBindMatrix;
        for (int element = 0; element < 16; ++element)
        {
            EXPECT_NEAR(roundTrip[element], Matrix4x4()[element], 1e-4f) << name << " element " << element;
        }
        ExpectNear(skeleton.myBindPose.myJoints[index].myTranslation, InMeshSpace(Facts()["joints"][index]["rest_head"]), 1e-3f, name);
        ExpectNear(skeleton.myBindPose.myJoints[index].myScale, { 1.0f, 1.0f, 1.0f }, 1e-5f, name);
    }
}

TEST_F(Skinning, JointsStandWhereBlenderPutsTheirHeads)
{
    for (const auto& [frameName, expected] : Facts()["frames"].items())
    {
        PoseAt(std::stoi(frameName));
        Vra::GlobalPose global;
        GetModel().ComputeGlobalPose(myPlayer.GetPose(), global);
        for (std::size_t index = 0; index < GetModel().GetJointCount(); ++index)
        {
            const std::string name = Facts()["joints"][index]["name"];
            ExpectNear(global.myJoints[index].GetTranslation(), FromBlender(expected["heads"][name]), 1e-2f, name + " at frame " + frameName);
        }
    }
}

TEST_F(Skinning, SkinningMatricesMoveAsBlendersPoseMatrices)
{
    // Frame 0 is the rest pose; from there a joint's matrix changes by Blender's skinning matrix.
    PoseAt(0);
    const std::array<Matrix4x4, Vra::MAX_ANIMATION_BONES> rest = myInstance.GetJointMatrices();
    for (std::size_t index = 0; index < GetModel().GetJointCount(); ++index)
    {
        const std::string name = Facts()["joints"][index]["name"];
        const Matrix4x4 blenderRest = FromBlenderMatrix(Facts()["frames"]["0"]["skin"][name]);
        for (int element = 0; element < 16; ++element)
        {
            EXPECT_NEAR(blenderRest[element], Matrix4x4()[element], 1e-4f) << "Blender's frame 0 is its rest";
        }
    }
    for (const auto& [frameName, expected] : Facts()["frames"].items())
    {
        PoseAt(std::stoi(frameName));
        for (std::size_t index = 0; index < GetModel().GetJointCount(); ++index)
        {
            const std::string name = Facts()["joints"][index]["name"];
            const Matrix4x4 predicted = rest[index] * FromBlenderMatrix(expected["skin"][name]);
            const Matrix4x4& actual = myInstance.GetJointMatrices()[index];
            for (int element = 0; element < 16; ++element)
            {
                // Rotation parts to 1e-3, translations (centimetres) to 1e-2.
                EXPECT_NEAR(actual[element], predicted[element], element >= 12 ? 1e-2f : 1e-3f)
                    << name << " at frame " << frameName << " element " << element;
            }
        }
    }
}

TEST_F(Skinning, SkinnedVerticesLandOnBlendersDeformedMesh)
{
    const nlohmann::json& restVertices = Facts()["rest_vertices"];
    const std::vector<Vra::ModelVertex>& vertices = GetModel().GetMeshes()[0].myVertices;
    ASSERT_FALSE(vertices.empty());

    // At rest each vertex is one of Blender's: that pairs them up.
    PoseAt(0);
    std::vector<std::size_t> blenderIndex;
    for (const Vra::ModelVertex& vertex : vertices)
    {
        const Vra::Vector3f atRest = Skinned(vertex, myInstance.GetJointMatrices());
        std::size_t nearest = 0;
        float nearestDistance = 1e9f;
        for (std::size_t index = 0; index < restVertices.size(); ++index)
        {
            const float distance = (FromBlender(restVertices[index]) - atRest).Length();
            if (distance < nearestDistance)
            {
                nearest = index;
                nearestDistance = distance;
            }
        }
        EXPECT_LT(nearestDistance, 1e-2f);
        blenderIndex.push_back(nearest);
    }
    for (const auto& [frameName, expected] : Facts()["frames"].items())
    {
        PoseAt(std::stoi(frameName));
        for (std::size_t vertex = 0; vertex < vertices.size(); ++vertex)
        {
            ExpectNear(Skinned(vertices[vertex], myInstance.GetJointMatrices()), FromBlender(expected["vertices"][blenderIndex[vertex]]), 2e-2f,
                       "vertex " + std::to_string(blenderIndex[vertex]) + " at frame " + frameName);
        }
    }
}
