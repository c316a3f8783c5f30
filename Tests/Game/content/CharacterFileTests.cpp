#include "RigFiles.h"

#include <set>

using namespace RigFiles;
using Vra::FBX::ImportedAnimation;
using Vra::FBX::ImportedMesh;
using Vra::FBX::ImportedModel;

namespace
{
    constexpr std::size_t MAX_JOINTS = 128; // what the model factory accepts
    constexpr std::size_t MAX_MESHES = 4;

    std::vector<std::string> Characters()
    {
        std::vector<std::string> names;
        for (const auto& [name, facts] : Facts()["characters"].items())
        {
            names.push_back(name);
        }
        return names;
    }

    const nlohmann::json& Character(const std::string& aName)
    {
        return Facts()["characters"][aName];
    }

    std::string ShortName(const std::string& aName)
    {
        return aName.substr(aName.rfind(':') + 1);
    }

    class CharacterFiles : public ::testing::TestWithParam<std::string>
    {
    };

    std::string ParamName(const ::testing::TestParamInfo<std::string>& anInfo)
    {
        return anInfo.param;
    }
}

TEST_P(CharacterFiles, ModelHoldsOneSkinnedMeshOnASingleRootedSkeleton)
{
    const nlohmann::json& facts = Character(GetParam());
    const ImportedModel& model = Model(facts["model"]);
    ASSERT_FALSE(model.Meshes.empty());
    EXPECT_LE(model.Meshes.size(), MAX_MESHES);

    const auto& joints = model.Skeleton.Joints;
    ASSERT_LE(joints.size(), MAX_JOINTS);
    std::set<std::string> names;
    for (const auto& joint : joints)
    {
        names.insert(joint.NameShort);
    }
    const std::vector<std::string> expected = facts["joints"];
    EXPECT_EQ(names, std::set<std::string>(expected.begin(), expected.end()));
    ASSERT_FALSE(joints.empty());
    EXPECT_EQ(joints[0].NameShort, expected.front());
    // The pose maths walks the hierarchy from joint 0 only, so every other joint hangs below it.
    EXPECT_EQ(joints[0].Parent, -1);
    for (std::size_t i = 1; i < joints.size(); ++i)
    {
        EXPECT_GE(joints[i].Parent, 0) << joints[i].Name;
    }

    std::size_t triangles = 0;
    for (const ImportedMesh& mesh : model.Meshes)
    {
        triangles += mesh.Indices.size() / 3;
        for (const auto& vertex : mesh.Vertices)
        {
            float total = 0.f;
            for (int k = 0; k < 4; ++k)
            {
                EXPECT_LT(vertex.BoneIDs[k], joints.size());
                total += vertex.BoneWeights[k];
            }
            EXPECT_NEAR(total, 1.f, 1e-3f) << "every vertex follows its joints fully";
            for (const float uv : vertex.UVs[0])
            {
                EXPECT_GE(uv, 0.f);
                EXPECT_LE(uv, 1.f);
            }
        }
    }
    EXPECT_EQ(triangles, facts["triangles"].get<std::size_t>());
}

TEST_P(CharacterFiles, FacesWindClockwiseSeenFromOutside)
{
    const ImportedModel& model = Model(Character(GetParam())["model"]);
    EXPECT_EQ(InwardTriangles(model), 0u);
}

TEST_P(CharacterFiles, ClipsPlayAtThirtyFramesPerSecondOnTheModelsJoints)
{
    const nlohmann::json& facts = Character(GetParam());
    const ImportedModel& model = Model(facts["model"]);
    std::set<std::string> modelJoints;
    for (const auto& joint : model.Skeleton.Joints)
    {
        modelJoints.insert(joint.NameShort);
    }
    for (const nlohmann::json& clipFacts : facts["clips"])
    {
        const std::string path = clipFacts["path"];
        const ImportedAnimation& clip = Clip(path);
        const std::uint32_t lastFrame = clipFacts["last_frame"];
        EXPECT_FLOAT_EQ(clip.FramesPerSecond, 30.f) << path;
        EXPECT_EQ(clip.FramesCount, lastFrame + 1) << path;
        EXPECT_EQ(clip.Frames.size(), lastFrame + 1) << path;
        EXPECT_NEAR(clip.Duration, lastFrame / 30.0, 1e-6) << path;
        std::set<std::string> clipJoints;
        for (const std::string& name : clip.JointNames)
        {
            clipJoints.insert(ShortName(name));
        }
        EXPECT_EQ(clipJoints, modelJoints) << path << " animates other joints than its model has";
    }
}

TEST_P(CharacterFiles, ClipsPutEveryJointWhereBlenderPutIt)
{
    // The exporter thins out keys that a straight line between their neighbours stands in for;
    // what that leaves over stays far below what shows on screen.
    const nlohmann::json& facts = Character(GetParam());
    const auto& box = Model(facts["model"]).Box;
    const float tolerance = 0.005f * std::max({box.Max[0] - box.Min[0], box.Max[1] - box.Min[1], box.Max[2] - box.Min[2]});
    for (const nlohmann::json& clipFacts : facts["clips"])
    {
        const ImportedAnimation& clip = Clip(clipFacts["path"]);
        for (const auto& [frameName, heads] : clipFacts["joint_heads"].items())
        {
            const std::size_t frame = std::stoul(frameName);
            ASSERT_LT(frame, clip.Frames.size());
            for (const auto& [joint, head] : heads.items())
            {
                EXPECT_LT(Distance(JointAt(clip, frame, joint), FromBlender(head)), tolerance)
                    << clipFacts["path"] << " " << joint << " at frame " << frame;
            }
        }
    }
}

TEST_P(CharacterFiles, LoopingClipsEndOnTheirFirstPose)
{
    for (const nlohmann::json& clipFacts : Character(GetParam())["clips"])
    {
        if (!clipFacts["loops"].get<bool>())
        {
            continue;
        }
        const ImportedAnimation& clip = Clip(clipFacts["path"]);
        ASSERT_GE(clip.Frames.size(), 2u);
        const auto& first = clip.Frames.front().LocalTransforms;
        const auto& last = clip.Frames.back().LocalTransforms;
        for (const auto& [joint, matrix] : first)
        {
            for (int element = 0; element < 16; ++element)
            {
                EXPECT_NEAR(matrix.Data[element], last.at(joint).Data[element], 1e-2f)
                    << clipFacts["path"] << " " << joint << " element " << element;
            }
        }
    }
}

TEST_P(CharacterFiles, TexturesLoadAndEveryTexelTheMeshUsesIsPainted)
{
    const nlohmann::json& facts = Character(GetParam());
    for (const std::string texture : facts["textures"])
    {
        const auto image = Vra::DdsLoader::LoadFile(GameFile(texture), Vra::DdsLoader::FORCE_SRGB);
        ASSERT_TRUE(image.has_value()) << texture;
        EXPECT_EQ(image->myFormat, Vra::ImageFormat::R8G8B8A8UnormSrgb);
        EXPECT_EQ(UnpaintedTexels(Model(facts["model"]), texture), 0u) << texture;
    }
}

INSTANTIATE_TEST_SUITE_P(Content, CharacterFiles, ::testing::ValuesIn(Characters()), ParamName);
