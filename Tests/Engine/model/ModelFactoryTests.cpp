#include "ModelFactoryTestSupport.h"

#include "AssertionCatcher.h"
#include "FbxTestFiles.h"
#include "FileBytes.h"
#include "GpuReadBack.h"

#include "filewatcher/FileWatcher.h"
#include "graphics/TextureResource.h"

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

namespace
{
    using namespace ModelFactoryTestSupport;

    std::string FileName(const Vra::TextureResource* aTexture)
    {
        return aTexture ? fs::path(aTexture->myPath).filename().string() : std::string("(none)");
    }

    std::vector<Vra::ModelVertex> VertexBufferContents(const Vra::MeshData& aMesh)
    {
        const std::vector<std::uint8_t> bytes = TestSupport::ReadBack(*Vra::DX11::Device, aMesh.myVertexBuffer);
        std::vector<Vra::ModelVertex> vertices(bytes.size() / sizeof(Vra::ModelVertex));
        std::memcpy(vertices.data(), bytes.data(), vertices.size() * sizeof(Vra::ModelVertex));
        return vertices;
    }

    void ExpectBounds(const Vra::MeshBounds& aBounds, const Vra::Vector3f& aCenter, const Vra::Vector3f& aHalfExtents, float aRadius)
    {
        EXPECT_NEAR(aBounds.myCenter[0], aCenter.x, 1e-3f);
        EXPECT_NEAR(aBounds.myCenter[1], aCenter.y, 1e-3f);
        EXPECT_NEAR(aBounds.myCenter[2], aCenter.z, 1e-3f);
        EXPECT_NEAR(aBounds.myHalfExtents[0], aHalfExtents.x, 1e-3f);
        EXPECT_NEAR(aBounds.myHalfExtents[1], aHalfExtents.y, 1e-3f);
        EXPECT_NEAR(aBounds.myHalfExtents[2], aHalfExtents.z, 1e-3f);
        EXPECT_NEAR(aBounds.myRadius, aRadius, 1e-2f);
    }

    class ModelFactory : public ModelFactoryTest {};
}

TEST_F(ModelFactory, BuiltInPlaneIsOneSquareMeshInTheXzPlane)
{
    const std::shared_ptr<Vra::Model> plane = Factory().GetModel("Plane");
    ASSERT_TRUE(plane);
    ASSERT_EQ(plane->GetMeshCount(), 1u);
    const Vra::MeshData& mesh = plane->GetMeshes()[0];
    EXPECT_EQ(mesh.myVertexCount, 4u);
    EXPECT_EQ(mesh.myIndexCount, 6u);
    EXPECT_EQ(mesh.myStride, 180u);
    EXPECT_EQ(mesh.myIndices, (std::vector<std::uint32_t>{ 0, 1, 2, 0, 2, 3 }));
    ExpectBounds(mesh.myBounds, { 0, 0, 0 }, { 50, 0, 50 }, 70.71f);
    EXPECT_EQ(plane->GetPath(), "Plane");
    EXPECT_FALSE(plane->IsSkinned());

    const std::vector<Vra::ModelVertex> gpu = VertexBufferContents(mesh);
    ASSERT_EQ(gpu.size(), 4u);
    EXPECT_EQ(gpu[2].myPosition[0], 50.0f);
    EXPECT_EQ(gpu[2].myPosition[2], -50.0f);
    EXPECT_EQ(gpu[2].myPosition[3], 1.0f);
    EXPECT_EQ(gpu[2].myTexCoords[0][0], 1.0f);
    EXPECT_EQ(gpu[2].myTexCoords[0][1], 1.0f);
    EXPECT_EQ(gpu[2].myNormal[1], 1.0f);
    EXPECT_EQ(gpu[2].myBinormal[2], 1.0f);
    EXPECT_EQ(gpu[2].myColors[0][3], 1.0f);
    EXPECT_EQ(gpu[2].myColors[1][0], 0.0f);
    EXPECT_EQ(TestSupport::ReadBack(*Vra::DX11::Device, mesh.myIndexBuffer).size(), 24u);
}

TEST_F(ModelFactory, BuiltInCubeHasFourVerticesAFaceWithTheFacesColours)
{
    const std::shared_ptr<Vra::Model> cube = Factory().GetModel("Cube");
    ASSERT_TRUE(cube);
    ASSERT_EQ(cube->GetMeshCount(), 1u);
    const Vra::MeshData& mesh = cube->GetMeshes()[0];
    EXPECT_EQ(mesh.myVertexCount, 24u);
    EXPECT_EQ(mesh.myIndexCount, 36u);
    ExpectBounds(mesh.myBounds, { 0, 0, 0 }, { 50, 50, 50 }, 86.60f);

    const float colours[6][4] = { { 1, 1, 1, 1 }, { 1, 0, 0, 1 }, { 0, 1, 0, 1 }, { 0, 0, 1, 1 }, { 1, 1, 0, 1 }, { 1, 0, 1, 1 } };
    const float normals[6][3] = { { 0, 0, 1 }, { -1, 0, 0 }, { 0, 0, -1 }, { 1, 0, 0 }, { 0, 1, 0 }, { 0, -1, 0 } };
    const std::vector<Vra::ModelVertex> gpu = VertexBufferContents(mesh);
    ASSERT_EQ(gpu.size(), 24u);
    for (std::uint32_t face = 0; face < 6; ++face)
    {
        for (std::uint32_t corner = 0; corner < 4; ++corner)
        {
            const Vra::ModelVertex& vertex = gpu[face * 4 + corner];
            for (int axis = 0; axis < 3; ++axis)
            {
                EXPECT_EQ(vertex.myNormal[axis], normals[face][axis]) << face;
                // Every corner lies on its face's plane.
                if (normals[face][axis] != 0.0f)
                {
                    EXPECT_EQ(vertex.myPosition[axis], 50.0f * normals[face][axis]) << face;
                }
            }
            for (int channel = 0; channel < 4; ++channel)
            {
                EXPECT_EQ(vertex.myColors[0][channel], colours[face][channel]) << face;
            }
        }
        const std::uint32_t expected[6] = { 4 * face, 4 * face + 1, 4 * face + 2, 4 * face, 4 * face + 2, 4 * face + 3 };
        EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), mesh.myIndices.begin() + 6 * face)) << face;
    }
    EXPECT_EQ(gpu[5].myTexCoords[0][0], 0.0f);
    EXPECT_EQ(gpu[5].myTexCoords[0][1], 0.0f);
    EXPECT_EQ(gpu[7].myTexCoords[0][0], 1.0f);
    EXPECT_EQ(gpu[7].myTexCoords[0][1], 1.0f);
}

TEST_F(ModelFactory, BuiltInModelsTakeTheDefaultTextures)
{
    for (const char* name : { "Cube", "Plane" })
    {
        const Vra::MeshTextureSlots& slots = Factory().GetModel(name)->GetTextures()[0];
        EXPECT_EQ(FileName(slots[0]), "T_Default_c.dds") << name;
        EXPECT_EQ(FileName(slots[1]), "T_Default_n.dds") << name;
        EXPECT_EQ(FileName(slots[2]), "T_Default_m.dds") << name;
        EXPECT_EQ(FileName(slots[3]), "T_Default_fx.dds") << name;
        EXPECT_EQ(slots[0]->mySrgbMode, Vra::TextureSrgbMode::ForceSrgb);
        EXPECT_EQ(slots[1]->mySrgbMode, Vra::TextureSrgbMode::IgnoreSrgb);
    }
}

TEST_F(ModelFactory, TheSamePathGivesTheSameModelUntilItsFileChanges)
{
    const std::string path = Install("box.fbx");
    const std::shared_ptr<Vra::Model> first = Factory().GetModel(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(Factory().GetModel(path), first);

    Factory().OnModelFileChanged(path);
    const std::shared_ptr<Vra::Model> reloaded = Factory().GetModel(path);
    ASSERT_TRUE(reloaded);
    EXPECT_NE(reloaded, first);
    EXPECT_EQ(first->GetMeshCount(), 1u) << "the holder keeps its model";
    EXPECT_EQ(Factory().GetModel(path), reloaded);
}

TEST_F(ModelFactory, AStaticModelKeepsItsMeshesMaterialsAndBounds)
{
    const std::string path = Install("two_meshes.fbx");
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(path);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->GetPath(), (Game() / path).string());
    ASSERT_EQ(model->GetMeshCount(), 2u);
    const nlohmann::json& facts = ModelTestFiles::Expected()["two_meshes"];
    for (std::size_t index = 0; index < 2; ++index)
    {
        const Vra::MeshData& mesh = model->GetMeshes()[index];
        const nlohmann::json& expected = facts[index];
        EXPECT_EQ(mesh.myName, expected["name"].get<std::string>());
        EXPECT_EQ(mesh.myMaterialName, expected["material"].get<std::string>());
        EXPECT_EQ(mesh.myIndexCount, expected["triangles"].get<std::uint32_t>() * 3);
        EXPECT_EQ(mesh.myVertices.size(), mesh.myVertexCount);
        EXPECT_TRUE(mesh.myVertexBuffer && mesh.myIndexBuffer);
        // Blender's z is the file's up; the vertices keep the file's axes, y up.
        const Vra::Vector3f low(expected["world_min"][0], expected["world_min"][2], expected["world_min"][1]);
        const Vra::Vector3f high(expected["world_max"][0], expected["world_max"][2], expected["world_max"][1]);
        const Vra::Vector3f half = (high - low) * 0.5f;
        ExpectBounds(mesh.myBounds, (high + low) * 0.5f, half, half.Length());
        // No colour set in the file: white, not black.
        EXPECT_EQ(mesh.myVertices[0].myColors[0][0], 1.0f);
        EXPECT_EQ(mesh.myVertices[0].myColors[3][2], 1.0f);
    }
    EXPECT_FALSE(model->IsSkinned());
}

TEST_F(ModelFactory, ASkinnedModelKeepsItsJointsAndBindPose)
{
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(Install("skinned.fbx"));
    ASSERT_TRUE(model);
    ASSERT_TRUE(model->IsSkinned());
    const Vra::Skeleton& skeleton = model->GetSkeleton();
    const nlohmann::json& joints = ModelTestFiles::Expected()["skinned"]["joints"];
    ASSERT_EQ(skeleton.myJoints.size(), joints.size());
    EXPECT_EQ(skeleton.myName, "Rig");
    EXPECT_EQ(skeleton.myBindPose.myJointCount, static_cast<std::int32_t>(joints.size()));
    for (std::size_t index = 0; index < joints.size(); ++index)
    {
        const std::string fullName = joints[index]["name"];
        const std::string shortName = fullName.substr(fullName.find(':') + 1);
        const Vra::Joint& joint = skeleton.myJoints[index];
        EXPECT_EQ(joint.myName, shortName);
        EXPECT_EQ(skeleton.myJointIndexByName.at(shortName), index);
        EXPECT_EQ(skeleton.myFullNames[index], fullName);
        EXPECT_EQ(joint.myParent, joints[index]["parent"].is_null() ? -1 : 0);
    }
    EXPECT_EQ(skeleton.myJoints[0].myChildren, std::vector<std::uint32_t>{ 1 });

    // Vertices follow their one joint each, with weight 1.
    for (const Vra::ModelVertex& vertex : model->GetMeshes()[0].myVertices)
    {
        EXPECT_FLOAT_EQ(vertex.myWeights[0], 1.0f);
        EXPECT_TRUE(vertex.myBones[0] == 0.0f || vertex.myBones[0] == 1.0f);
    }
}

TEST_F(ModelFactory, AModelWithoutJointsGivesAnUnboundAnimatedInstance)
{
    const std::string path = Install("box.fbx");
    EXPECT_FALSE(Factory().GetAnimatedModelInstance(path).IsBound());
    const Vra::ModelInstance instance = Factory().GetModelInstance(path);
    ASSERT_TRUE(instance.IsBound());
    EXPECT_EQ(instance.GetTransform(), Vra::Matrix4x4());
    EXPECT_EQ(instance.GetTextures(), instance.GetModel()->GetTextures());

    const Vra::AnimatedModelInstance skinned = Factory().GetAnimatedModelInstance(Install("skinned.fbx"));
    ASSERT_TRUE(skinned.IsBound());
    EXPECT_EQ(skinned.GetTextures(), skinned.GetModel()->GetTextures());
}

TEST_F(ModelFactory, AMissingFileGivesNoModelAndUnboundInstances)
{
    EXPECT_FALSE(Factory().GetModel("models/none.fbx"));
    EXPECT_FALSE(Factory().GetModelInstance("models/none.fbx").IsBound());
    EXPECT_FALSE(Factory().GetAnimatedModelInstance("models/none.fbx").IsBound());
}

TEST_F(ModelFactory, AFileWithMoreJointsThanTheEngineAnimatesIsRefused)
{
    const std::string path = Install("joints129.fbx");
    ASSERT_EQ(ModelTestFiles::Expected()["joints129"]["joints"], 129);
    testing::internal::CaptureStdout();
    std::shared_ptr<Vra::Model> model;
    EXPECT_EQ(TestSupport::FailedAssertion([&] { model = Factory().GetModel(path); }), "");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(model);
    EXPECT_NE(output.find("ERROR: Model has 129 joints, more than the 128"), std::string::npos) << output;
    EXPECT_FALSE(Factory().GetAnimatedModelInstance(path).IsBound());
}

TEST_F(ModelFactory, AFileWithMoreMeshesThanAModelHoldsIsRefused)
{
    const std::string path = Install("five_meshes.fbx");
    testing::internal::CaptureStdout();
    std::shared_ptr<Vra::Model> model;
    EXPECT_EQ(TestSupport::FailedAssertion([&] { model = Factory().GetModel(path); }), "");
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(model);
    EXPECT_NE(output.find("ERROR: Model has 5 meshes, more than the 4"), std::string::npos) << output;
}

TEST_F(ModelFactory, MalformedContentThrowsAndLeavesNoLoadHanging)
{
    const std::string bytes = TestSupport::ReadFileBytes(ModelTestFiles::Folder() / "box.fbx");
    const fs::path target = Game() / "models" / "cut.fbx";
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2));
    // The reader refuses a cut file: no model either way, and a second request does not wait
    // for the first.
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        try
        {
            EXPECT_FALSE(Factory().GetModel("models/cut.fbx"));
        }
        catch (const std::runtime_error&)
        {
        }
    }
}

namespace
{
    struct SuffixCase
    {
        const char* myName;
        std::vector<std::string> myFiles; // beside the model, copies of one texture
        std::string myModelPath;          // where box.fbx (material "Box") is copied, under models/
        std::string myColour;
        std::string myNormal;
        std::string myMaterial;
        std::string myEffects;
    };

    class MaterialTextures : public ModelFactoryTest, public ::testing::WithParamInterface<SuffixCase> {};
}

TEST_P(MaterialTextures, AreFoundBySuffixInOrder)
{
    const SuffixCase& test = GetParam();
    const std::string path = Install("box.fbx", "models/" + test.myModelPath);
    const fs::path folder = (Game() / path).parent_path();
    for (const std::string& file : test.myFiles)
    {
        ModelTestFiles::CopyTexture("Box_C.dds", folder, file);
    }
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(path);
    ASSERT_TRUE(model);
    const Vra::MeshTextureSlots& slots = model->GetTextures()[0];
    EXPECT_EQ(FileName(slots[0]), test.myColour);
    EXPECT_EQ(FileName(slots[1]), test.myNormal);
    EXPECT_EQ(FileName(slots[2]), test.myMaterial);
    EXPECT_EQ(FileName(slots[3]), test.myEffects);
    EXPECT_EQ(slots[0]->mySrgbMode, Vra::TextureSrgbMode::ForceSrgb);
    EXPECT_EQ(slots[3]->mySrgbMode, Vra::TextureSrgbMode::IgnoreSrgb);
    EXPECT_EQ(slots[0]->myIsPlaceholder, false);
}

INSTANTIATE_TEST_SUITE_P(Table, MaterialTextures, ::testing::Values(
    SuffixCase{ "MaterialColourFirst", { "Box_C.dds", "Box_D.dds", "crate_C.dds", "crate_D.dds" }, "crate.fbx",
                "Box_C.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "MaterialDiffuseNext", { "Box_D.dds", "crate_C.dds", "crate_D.dds" }, "crate.fbx",
                "Box_D.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "OnlyADiffuseFile", { "Box_D.dds" }, "crate.fbx",
                "Box_D.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "FileColourWithoutMaterialFiles", { "crate_C.dds", "crate_D.dds" }, "crate.fbx",
                "crate_C.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "FileDiffuseLast", { "crate_D.dds" }, "crate.fbx",
                "crate_D.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "NoFilesAtAll", {}, "crate.fbx",
                "T_Default_c.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "MapsByMaterialBeforeFile", { "Box_N.dds", "crate_N.dds", "crate_M.dds", "Box_FX.dds", "crate_FX.dds" }, "crate.fbx",
                "T_Default_c.dds", "Box_N.dds", "crate_M.dds", "Box_FX.dds" },
    SuffixCase{ "DotInAFolderName", { "crate_C.dds" }, "v1.2/crate.fbx",
                "crate_C.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" },
    SuffixCase{ "OnlyTheExtensionLeavesTheName", { "crate.lod0_C.dds", "crate_M.dds" }, "crate.lod0.fbx",
                "crate.lod0_C.dds", "T_Default_n.dds", "T_Default_m.dds", "T_Default_fx.dds" }),
    [](const auto& anInfo) { return std::string(anInfo.param.myName); });

TEST_F(ModelFactory, EachMeshFindsTheTexturesOfItsOwnMaterial)
{
    const std::string path = Install("two_meshes.fbx");
    ModelTestFiles::CopyTexture("LeftPaint_C.dds", Game() / "models");
    ModelTestFiles::CopyTexture("RightPaint_C.dds", Game() / "models");
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(path);
    ASSERT_TRUE(model);
    EXPECT_EQ(FileName(model->GetTextures()[0][0]), "LeftPaint_C.dds");
    EXPECT_EQ(FileName(model->GetTextures()[1][0]), "RightPaint_C.dds");
    EXPECT_EQ(model->GetTextures()[2][0], nullptr) << "slots of meshes the model lacks stay empty";
}

TEST_F(ModelFactory, GetAnimationSamplesTheTakeForTheModelsJoints)
{
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(Install("skinned.fbx"));
    ASSERT_TRUE(model);
    const std::string resolved = (Game() / "models" / "skinned.fbx").string();
    const std::shared_ptr<Vra::Animation> animation = Factory().GetAnimation(resolved, model);
    ASSERT_TRUE(animation);
    EXPECT_EQ(animation->myFrameCount, 31u);
    EXPECT_EQ(animation->myFrames.size(), 31u);
    EXPECT_FLOAT_EQ(animation->myFramesPerSecond, 30.0f);
    EXPECT_FLOAT_EQ(animation->myDuration, 1.0f);
    EXPECT_EQ(animation->myPath, std::wstring(resolved.begin(), resolved.end()));
    for (const Vra::AnimationPose& frame : animation->myFrames)
    {
        EXPECT_EQ(frame.myJointCount, 2);
    }
    EXPECT_EQ(Factory().GetAnimation(resolved, model), animation) << "cached for the model";
}

TEST_F(ModelFactory, JointsATakeDoesNotNameStayAtTheIdentity)
{
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(Install("skinned.fbx"));
    ASSERT_TRUE(model);
    Install("arm_take.fbx");
    const std::shared_ptr<Vra::Animation> animation = Factory().GetAnimation((Game() / "models" / "arm_take.fbx").string(), model);
    ASSERT_TRUE(animation);
    ASSERT_EQ(animation->myFrames.size(), ModelTestFiles::Expected()["arm_take"]["frames"].get<std::size_t>());
    const std::size_t base = model->GetSkeleton().myJointIndexByName.at("Base");
    const std::size_t arm = model->GetSkeleton().myJointIndexByName.at("Arm");
    for (const Vra::AnimationPose& frame : animation->myFrames)
    {
        EXPECT_EQ(frame.myJointCount, 2) << "the model's joint count, not the take's";
        const Vra::JointTransform& rest = frame.myJoints[base];
        EXPECT_EQ(rest.myRotation, Vra::Quaternion(1.0f, 0.0f, 0.0f, 0.0f));
        EXPECT_EQ(rest.myTranslation, Vra::Vector3f(0.0f, 0.0f, 0.0f));
        EXPECT_EQ(rest.myScale, Vra::Vector3f(1.0f, 1.0f, 1.0f));
    }
    // The arm turns 30 degrees over the take: its rotation moves away from where it started.
    const Vra::Quaternion first = animation->myFrames.front().myJoints[arm].myRotation;
    const Vra::Quaternion last = animation->myFrames.back().myJoints[arm].myRotation;
    EXPECT_NEAR(std::abs(first.Dot(last)), std::cos(15.0f * 3.14159265f / 180.0f), 1e-3f);
}

TEST_F(ModelFactory, AnAnimationIsLoadedOncePerModelAndNeverHandedToAnotherModel)
{
    const std::string firstPath = Install("skinned.fbx");
    const std::string secondPath = Install("skinned.fbx", "models/copy.fbx");
    const std::string clip = (Game() / firstPath).string();
    const std::shared_ptr<Vra::Model> first = Factory().GetModel(firstPath);
    const std::shared_ptr<Vra::Model> second = Factory().GetModel(secondPath);
    ASSERT_TRUE(first && second);
    const std::shared_ptr<Vra::Animation> forFirst = Factory().GetAnimation(clip, first);
    const std::shared_ptr<Vra::Animation> forSecond = Factory().GetAnimation(clip, second);
    ASSERT_TRUE(forFirst && forSecond);
    EXPECT_NE(forFirst, forSecond);

    // After its file changes the model's clips go with it; the reloaded model gets its own.
    Factory().OnModelFileChanged(firstPath);
    const std::shared_ptr<Vra::Model> reloaded = Factory().GetModel(firstPath);
    ASSERT_TRUE(reloaded);
    const std::shared_ptr<Vra::Animation> forReloaded = Factory().GetAnimation(clip, reloaded);
    EXPECT_NE(forReloaded, forFirst);
    EXPECT_NE(Factory().GetAnimation(clip, first), forFirst) << "the old model's entry was dropped";
}

TEST_F(ModelFactory, AFreedModelsAnimationsLeaveTheCache)
{
    const std::string path = Install("skinned.fbx");
    const std::string clip = (Game() / path).string();
    const std::shared_ptr<Vra::Model> loaded = Factory().GetModel(path);
    ASSERT_TRUE(loaded);

    // A model the cache does not hold, freed after its clip was loaded.
    std::weak_ptr<Vra::Animation> freedClip;
    {
        auto own = std::make_shared<Vra::Model>();
        own->SetSkeleton(loaded->GetSkeleton());
        freedClip = Factory().GetAnimation(clip, own);
        ASSERT_FALSE(freedClip.expired());
    }
    ASSERT_TRUE(Factory().GetAnimation(clip, loaded));
    EXPECT_TRUE(freedClip.expired());
}

TEST_F(ModelFactory, APlayerForAnEmptyModelOrAMissingClipHasNoAnimation)
{
    const std::string path = Install("skinned.fbx");
    const std::shared_ptr<Vra::Model> model = Factory().GetModel(path);
    const std::pair<std::string, std::shared_ptr<Vra::Model>> cases[] = {
        { path, nullptr },
        { "models/none.fbx", model },
        { "", model },
    };
    for (const auto& [clip, forModel] : cases)
    {
        const Vra::AnimationPlayer player = Factory().GetAnimationPlayer(clip, forModel);
        EXPECT_FALSE(player.HasAnimation()) << clip;
        EXPECT_EQ(player.GetState(), Vra::AnimationState::New);
    }
    EXPECT_FALSE(Factory().GetAnimation((Game() / path).string(), nullptr));

    const Vra::AnimationPlayer player = Factory().GetAnimationPlayer(path, model);
    EXPECT_TRUE(player.HasAnimation());
    EXPECT_FALSE(player.IsLooping());
    EXPECT_EQ(player.GetState(), Vra::AnimationState::New);
    EXPECT_EQ(player.GetTime(), 0.0f);
    EXPECT_FLOAT_EQ(player.GetFramesPerSecond(), 30.0f);
}

TEST_F(ModelFactory, TheEngineShutDownDestroysTheFactory)
{
    Factory();
    EXPECT_NE(Vra::ModelFactory::GetInstanceIfCreated(), nullptr);
    const std::shared_ptr<Vra::Model> cube = Factory().GetModel("Cube");
    Vra::Engine::Shutdown();
    EXPECT_EQ(Vra::ModelFactory::GetInstanceIfCreated(), nullptr);
    EXPECT_EQ(cube->GetMeshCount(), 1u) << "held models live on";
}

namespace
{
    class ModelFactoryWithWatcher : public ModelFactoryTest
    {
    protected:
        ModelFactoryWithWatcher() : ModelFactoryTest(true) {}
    };
}

TEST_F(ModelFactoryWithWatcher, AChangedFileLoadsAgainAfterTheNextFrameBegins)
{
    const std::string path = Install("box.fbx");
    const std::shared_ptr<Vra::Model> first = Factory().GetModel(path);
    ASSERT_TRUE(first);
    ASSERT_TRUE(Vra::Engine::GetInstance()->GetFileWatcher()->IsThreadStarted());

    // The watcher compares last-write times: move it on, as a save would.
    const fs::path file = Game() / path;
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    std::shared_ptr<Vra::Model> current = first;
    for (int frame = 0; frame < 100 && current == first; ++frame)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
        Vra::Engine::GetInstance()->EndFrame();
        current = Factory().GetModel(path);
    }
    EXPECT_NE(current, first);
    ASSERT_TRUE(current);
    EXPECT_EQ(current->GetMeshCount(), 1u);
}
