#include "ImporterTestSupport.h"

#include <cstring>

using namespace Vra::FBX;
using namespace FbxTest;

namespace
{
    class AnimationImport : public ImporterTest
    {
    protected:
        ImportedAnimation Load(const std::string& aName)
        {
            ImportedAnimation animation;
            EXPECT_TRUE(LoadAnimation(DataFile(aName), animation)) << GetLastImportError();
            return animation;
        }
    };

    // Row-vector matrices: A * B applies A first.
    ImportedMatrix Multiply(const ImportedMatrix& aFirst, const ImportedMatrix& aSecond)
    {
        ImportedMatrix result;
        for (int row = 1; row <= 4; ++row)
        {
            for (int column = 1; column <= 4; ++column)
            {
                float sum = 0.f;
                for (int k = 1; k <= 4; ++k)
                {
                    sum += aFirst(row, k) * aSecond(k, column);
                }
                result(row, column) = sum;
            }
        }
        return result;
    }
}

TEST_F(AnimationImport, TakeFromFrameZeroToThirtyGivesThirtyOneFramesOverOneSecond)
{
    const ImportedAnimation animation = Load("character.fbx");
    const nlohmann::json& facts = Expected();
    EXPECT_EQ(animation.FramesCount, 31u);
    EXPECT_EQ(animation.Frames.size(), 31u);
    EXPECT_DOUBLE_EQ(animation.Duration, 1.0);
    EXPECT_FLOAT_EQ(animation.FramesPerSecond, facts["fps"].get<float>());
    EXPECT_EQ(animation.Path, DataFile("character.fbx"));

    std::vector<std::string> names;
    for (const nlohmann::json& joint : facts["character"]["joints"])
    {
        names.push_back(joint["name"]);
    }
    EXPECT_EQ(animation.JointNames, names);
    for (const ImportedAnimationFrame& frame : animation.Frames)
    {
        EXPECT_EQ(frame.GlobalTransforms.size(), names.size());
        EXPECT_EQ(frame.LocalTransforms.size(), names.size());
        EXPECT_EQ(frame.SocketTransforms.size(), 1u);
    }
}

TEST_F(AnimationImport, SampledJointsSocketsAndEventsFollowTheTake)
{
    const ImportedAnimation animation = Load("character.fbx");
    ASSERT_EQ(animation.Frames.size(), 31u);
    const nlohmann::json& facts = Expected()["character"];
    for (const auto& [frameName, expected] : facts["frames"].items())
    {
        const ImportedAnimationFrame& frame = animation.Frames.at(std::stoul(frameName));
        const std::string at = " at frame " + frameName;
        for (const auto& [joint, head] : expected["heads"].items())
        {
            const std::string shortName = joint.substr(joint.rfind(':') + 1);
            ASSERT_TRUE(frame.GlobalTransforms.contains(shortName)) << joint;
            // File units: the take is sampled in centimetres as the file has them.
            ExpectNear(Translation(frame.GlobalTransforms.at(shortName)), BlenderWorldToTarget(ToVec3(head)), 1e-2f,
                       joint + at);
        }
        ExpectNear(Translation(frame.SocketTransforms.at("Hand_skt")), BlenderWorldToTarget(ToVec3(expected["socket"])),
                   1e-2f, "socket" + at);
        const bool raised = ToVec3(expected["event"])[2] != 0.f;
        EXPECT_EQ(frame.TriggeredEvents.contains("Step_evt"), raised) << at;
        if (raised)
        {
            EXPECT_TRUE(frame.TriggeredEvents.at("Step_evt"));
        }
    }
}

TEST_F(AnimationImport, LocalTransformsComposeBackToGlobals)
{
    const ImportedAnimation animation = Load("character.fbx");
    ASSERT_EQ(animation.Frames.size(), 31u);
    const std::pair<const char*, const char*> links[] = {{"Spine", "Hips"}, {"Head", "Spine"}, {"Arm_L", "Spine"}};
    for (const std::size_t index : {0u, 15u, 30u})
    {
        const ImportedAnimationFrame& frame = animation.Frames[index];
        for (const auto& [child, parent] : links)
        {
            const ImportedMatrix composed = Multiply(frame.LocalTransforms.at(child), frame.GlobalTransforms.at(parent));
            const ImportedMatrix& global = frame.GlobalTransforms.at(child);
            for (int i = 0; i < 16; ++i)
            {
                EXPECT_NEAR(composed.Data[i], global.Data[i], 1e-3f) << child << " frame " << index << " element " << i;
            }
        }
    }
}

TEST_F(AnimationImport, TakeStartingLaterIsCountedFromItsFirstFrame)
{
    const ImportedAnimation animation = Load("events_take.fbx");
    // Frames 5 to 15 at 30 frames a second.
    EXPECT_EQ(animation.FramesCount, 11u);
    ASSERT_EQ(animation.Frames.size(), 11u);
    EXPECT_NEAR(animation.Duration, 10.0 / 30.0, 1e-9);
    EXPECT_FLOAT_EQ(animation.FramesPerSecond, 30.f);
    EXPECT_EQ(animation.JointNames, std::vector<std::string>{"Solo"});
    // The joint slides linearly from x = 0 at frame 5 to x = 10 at frame 15.
    for (const std::size_t index : {0u, 5u, 10u})
    {
        const ImportedAnimationFrame& frame = animation.Frames[index];
        EXPECT_NEAR(frame.LocalTransforms.at("Solo")(4, 1), static_cast<float>(index), 1e-4f) << index;
        EXPECT_NEAR(frame.GlobalTransforms.at("Solo")(4, 1), static_cast<float>(index), 1e-4f) << index;
        // Raised at (0, 1, 0); (1, -1, 0) cancels out; (0, 0, 0) rests.
        EXPECT_EQ(frame.TriggeredEvents.size(), 1u);
        EXPECT_TRUE(frame.TriggeredEvents.contains("Up_event"));
        EXPECT_TRUE(frame.SocketTransforms.empty());
    }
}

TEST_F(AnimationImport, MissingSkeletonOrStackThrows)
{
    const std::pair<const char*, const char*> files[] = {
        {"cube_cm.fbx", "] has no skeleton!"},
        {"skeleton_noanim.fbx", "] has no animation stack!"},
    };
    for (const auto& [file, ending] : files)
    {
        ImportedAnimation animation;
        EXPECT_EQ(ThrownMessage([&] { LoadAnimation(DataFile(file), animation); }),
                  "The file [" + DataFile(file) + ending)
            << file;
    }
}

TEST_F(AnimationImport, TruncatedFileThrowsTheReadersError)
{
    const std::string bytes = ReadBytes(DataFile("character.fbx"));
    const ScratchFolder folder;
    const std::string path = folder.Write("cut.fbx", bytes.substr(0, bytes.size() * 2 / 3));
    ImportedAnimation animation;
    animation.Path = "untouched";
    const std::string message = ThrownMessage([&] { LoadAnimation(path, animation); });
    EXPECT_EQ(message.rfind("Failed to import the animation. ", 0), 0u) << message;
    EXPECT_GT(message.size(), std::string("Failed to import the animation. ").size());
    EXPECT_EQ(animation.Path, "untouched");
}

TEST_F(AnimationImport, TakeSpansThatCannotBeSampled)
{
    const std::string text = ReadBytes(DataFile("events_take.fbx"));
    const std::string span = "LocalTime: 7697693000,23093079000";
    ASSERT_NE(text.find(span), std::string::npos);
    const ScratchFolder folder;
    const auto withSpan = [&](const std::string& aName, const std::string& aSpan) {
        std::string changed = text;
        changed.replace(changed.find(span), span.size(), "LocalTime: " + aSpan);
        return folder.Write(aName, changed);
    };

    // Stop before start: no frame at all.
    ImportedAnimation backwards;
    EXPECT_TRUE(LoadAnimation(withSpan("backwards.fbx", "23093079000,7697693000"), backwards));
    EXPECT_EQ(backwards.FramesCount, 0u);
    EXPECT_TRUE(backwards.Frames.empty());

    // A span of eleven days is a damaged file, not a take to sample frame by frame.
    const std::string path = withSpan("endless.fbx", "0,46186158000000000");
    ImportedAnimation endless;
    const std::string message = ThrownMessage([&] { LoadAnimation(path, endless); });
    EXPECT_EQ(message, "The file [" + path + "] has a take of 30000001 frames, too many to sample!");
    EXPECT_TRUE(endless.Frames.empty());
}

TEST_F(AnimationImport, AFileInMetresIsSampledInCentimetresLikeItsModel)
{
    // The character with its unit declared as metres: every length in it is a hundred times longer.
    std::string bytes = ReadBytes(DataFile("character.fbx"));
    static constexpr char UNIT[] = "UnitScaleFactorS\x06\0\0\0doubleS\x06\0\0\0NumberS\0\0\0\0D";
    const std::string unit(UNIT, sizeof(UNIT) - 1);
    const std::size_t at = bytes.find(unit);
    ASSERT_NE(at, std::string::npos);
    const double metres = 100.0;
    std::memcpy(bytes.data() + at + unit.size(), &metres, sizeof(metres));
    const ScratchFolder folder;
    const std::string metreFile = folder.Write("character_m.fbx", bytes);

    const ImportedAnimation inCentimetres = Load("character.fbx");
    const ImportedAnimation inMetres = Load(metreFile);
    ASSERT_EQ(inMetres.Frames.size(), inCentimetres.Frames.size());
    for (std::size_t frame = 0; frame < inMetres.Frames.size(); ++frame)
    {
        for (const auto& [joint, centimetres] : inCentimetres.Frames[frame].GlobalTransforms)
        {
            const std::string where = joint + " at frame " + std::to_string(frame);
            const ImportedMatrix& converted = inMetres.Frames[frame].GlobalTransforms.at(joint);
            const Vec3 expected = Translation(centimetres);
            ExpectNear(Translation(converted), {expected[0] * 100.f, expected[1] * 100.f, expected[2] * 100.f}, 0.05f, where);
            for (int row = 1; row <= 3; ++row)
            {
                for (int column = 1; column <= 3; ++column)
                {
                    EXPECT_NEAR(converted(row, column), centimetres(row, column), 1e-4f) << where;
                }
            }
            const Vec3 local = Translation(inCentimetres.Frames[frame].LocalTransforms.at(joint));
            ExpectNear(Translation(inMetres.Frames[frame].LocalTransforms.at(joint)), {local[0] * 100.f, local[1] * 100.f, local[2] * 100.f},
                       0.05f, where + " (local)");
        }
    }

    // The model of the same file is scaled alike, so the skeleton stays on the mesh.
    ImportedModel model;
    ImportedModel modelInCentimetres;
    ASSERT_TRUE(LoadModel(metreFile, model, false, true));
    ASSERT_TRUE(LoadModel(DataFile("character.fbx"), modelInCentimetres, false, true));
    ASSERT_FALSE(model.Meshes.empty());
    const auto& vertex = model.Meshes[0].Vertices[0].Position;
    const auto& vertexInCentimetres = modelInCentimetres.Meshes[0].Vertices[0].Position;
    for (int axis = 0; axis < 3; ++axis)
    {
        EXPECT_NEAR(vertex[axis], vertexInCentimetres[axis] * 100.f, 0.05f) << "axis " << axis;
    }
}
