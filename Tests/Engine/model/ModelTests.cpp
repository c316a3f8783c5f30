#include "AssertionCatcher.h"
#include "JointChain.h"

#include "graphics/TextureResource.h"
#include "model/AnimatedModelInstance.h"
#include "model/AnimationPlayer.h"
#include "model/Model.h"
#include "model/ModelInstance.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
    std::vector<Vra::MeshData> Meshes(std::size_t aCount)
    {
        std::vector<Vra::MeshData> meshes(aCount);
        for (std::size_t index = 0; index < aCount; ++index)
        {
            meshes[index].myName = "mesh" + std::to_string(index);
        }
        return meshes;
    }

    std::shared_ptr<Vra::Model> ChainModel(std::size_t aJointCount)
    {
        auto model = std::make_shared<Vra::Model>();
        model->SetSkeleton(TestSupport::MakeJointChain(aJointCount, 1.0f));
        return model;
    }
}

TEST(ModelTest, InitTakesUpToFourMeshesAndTheAssertionRefusesAFifth)
{
    Vra::Model model;
    model.Init(Meshes(4), "four.fbx");
    EXPECT_EQ(model.GetMeshCount(), 4u);
    EXPECT_EQ(model.GetPath(), "four.fbx");

    EXPECT_EQ(TestSupport::FailedAssertion([&] { model.Init(Meshes(5), "five.fbx"); }), "someMeshData.size() <= MAX_MESHES_PER_MODEL");
    EXPECT_EQ(model.GetMeshCount(), 4u);
    EXPECT_EQ(model.GetPath(), "four.fbx");
}

TEST(ModelTest, AddMeshChecksNoLimit)
{
    Vra::Model model;
    for (const Vra::MeshData& mesh : Meshes(5))
    {
        model.AddMesh(mesh, "built");
    }
    EXPECT_EQ(model.GetMeshCount(), 5u);
    EXPECT_EQ(model.GetMeshes()[4].myName, "mesh4");
}

TEST(ModelTest, ASkeletonOfMoreJointsThanTheJointBufferIsAProgrammingError)
{
    Vra::Skeleton skeleton;
    skeleton.myJoints.resize(Vra::MAX_ANIMATION_BONES + 1);
    Vra::Model model;
    EXPECT_EQ(TestSupport::FailedAssertion([&] { model.SetSkeleton(skeleton); }),
              "MAX_ANIMATION_BONES >= mdlSkeleton.Joints.size() && \"More joints in animation than defined in EngingeDefines.h\"");
    EXPECT_FALSE(model.IsSkinned());
}

TEST(ModelTest, EveryModelHasItsOwnId)
{
    const Vra::Model first;
    const Vra::Model second;
    EXPECT_NE(first.GetId(), second.GetId());
}

TEST(ModelInstanceTest, CopiesTheTextureHandlesAndKeepsItsOwnChanges)
{
    Vra::TextureResource colour;
    Vra::TextureResource normal;
    Vra::TextureResource replacement;
    auto model = std::make_shared<Vra::Model>();
    model->Init(Meshes(2), "model");
    model->GetTextures()[1] = { &colour, &normal, nullptr, nullptr };

    Vra::ModelInstance instance;
    EXPECT_FALSE(instance.IsBound());
    instance.Init(model);
    EXPECT_TRUE(instance.IsBound());
    EXPECT_EQ(instance.GetTransform(), Vra::Matrix4x4());
    EXPECT_EQ(instance.GetTextures()[1][0], &colour);
    EXPECT_EQ(instance.GetTextures()[1][1], &normal);

    instance.GetTextures()[1][0] = &replacement;
    EXPECT_EQ(model->GetTextures()[1][0], &colour);

    // A new model replaces the old one and its handles.
    instance.Init(std::make_shared<Vra::Model>());
    EXPECT_EQ(model.use_count(), 1);
    EXPECT_EQ(instance.GetTextures()[1][0], nullptr);
}

TEST(AnimatedModelInstanceTest, APoseWithoutASkinnedModelChangesNothing)
{
    Vra::AnimationPose pose;
    pose.myJointCount = 1;
    pose.myJoints[0].myTranslation = { 5.0f, 0.0f, 0.0f };

    Vra::AnimatedModelInstance unbound;
    unbound.SetLocalPose(pose);
    Vra::AnimationPlayer player;
    unbound.SetPose(player);
    EXPECT_EQ(unbound.GetJointMatrices()[0], Vra::Matrix4x4());

    Vra::AnimatedModelInstance onStaticModel;
    onStaticModel.Init(std::make_shared<Vra::Model>());
    onStaticModel.SetLocalPose(pose);
    EXPECT_EQ(onStaticModel.GetJointMatrices()[0], Vra::Matrix4x4());
}

TEST(AnimatedModelInstanceTest, JointMatricesPastTheModelsJointCountKeepTheirValues)
{
    Vra::AnimationPose pose;
    pose.myJointCount = 3;
    for (int joint = 0; joint < 3; ++joint)
    {
        pose.myJoints[joint].myTranslation = { 0.0f, 1.0f, 0.0f };
        pose.myJoints[joint].myScale = { 2.0f, 2.0f, 2.0f };
    }
    Vra::AnimatedModelInstance instance;
    instance.Init(ChainModel(3));
    instance.SetLocalPose(pose);
    const Vra::Matrix4x4 third = instance.GetJointMatrices()[2];
    EXPECT_NE(third, Vra::Matrix4x4());

    instance.Init(ChainModel(2));
    pose.myJointCount = 2;
    instance.SetLocalPose(pose);
    EXPECT_EQ(instance.GetJointMatrices()[2], third);
    EXPECT_NE(instance.GetJointMatrices()[1], third);
}
