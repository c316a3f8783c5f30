#include "ModelFactoryTestSupport.h"

#include "FbxTestFiles.h"
#include "FileBytes.h"

#include "effects/AnimatedObject.h"
#include "graphics/TextureResource.h"
#include "model/Model.h"

#include <cmath>
#include <fstream>
#include <numbers>

namespace
{
    using namespace ModelFactoryTestSupport;
    using Vra::AnimationState;

    CommonUtilities::Matrix4x4 Translation(float anX, float aY, float aZ)
    {
        CommonUtilities::Matrix4x4 matrix;
        matrix(4, 1) = anX;
        matrix(4, 2) = aY;
        matrix(4, 3) = aZ;
        return matrix;
    }

    CommonUtilities::Matrix4x4 QuarterTurnAboutZ(float anX, float aY, float aZ)
    {
        CommonUtilities::Matrix4x4 matrix = Translation(anX, aY, aZ);
        matrix(1, 1) = 0.0f;
        matrix(1, 2) = 1.0f;
        matrix(2, 1) = -1.0f;
        matrix(2, 2) = 0.0f;
        return matrix;
    }

    void ExpectRow(const Vra::Matrix4x4& aMatrix, int aRow, float anX, float aY, float aZ, const std::string& aWhat)
    {
        EXPECT_NEAR(aMatrix(aRow, 1), anX, 1e-4f) << aWhat;
        EXPECT_NEAR(aMatrix(aRow, 2), aY, 1e-4f) << aWhat;
        EXPECT_NEAR(aMatrix(aRow, 3), aZ, 1e-4f) << aWhat;
    }

    // The skinned test model (a post with a swinging arm, a one-second take) with clips made
    // from its take: "Once" and "Next" do not loop, "Loop" and "Last" do.
    class AnimatedObjectTest : public ModelFactoryTest
    {
    protected:
        void SetUp() override
        {
            ModelFactoryTest::SetUp();
            if (HasFatalFailure())
            {
                return;
            }
            myClip = Install("skinned.fbx");
            ModelTestFiles::CopyTexture("Body_C.dds", Game() / "textures");
            testing::internal::CaptureStdout();
            myObject.LoadModel(myClip, "textures/Body_C.dds", 1.0f);
            myObject.LoadAnimation(myClip, "Once", false);
            myObject.LoadAnimation(myClip, "Next", false);
            myObject.LoadAnimation(myClip, "Loop", true);
            myObject.LoadAnimation(myClip, "Last", true);
            myLoadOutput = testing::internal::GetCapturedStdout();
        }

        std::string myClip;
        AnimatedObject myObject;
        std::string myLoadOutput;
        TransformNode myRoot;
    };
}

TEST_F(AnimatedObjectTest, LoadsTheSkinnedModelWithItsTextureAndTheClips)
{
    EXPECT_NE(myLoadOutput.find("Model Loaded with texture and scale\n"), std::string::npos) << myLoadOutput;
    for (const char* name : { "Once", "Next", "Loop", "Last" })
    {
        EXPECT_NE(myLoadOutput.find(std::string("Animation Loaded: ") + name + "\n"), std::string::npos) << name;
    }
    const Vra::AnimatedModelInstance& instance = myObject.GetModelInstance();
    ASSERT_TRUE(instance.IsBound());
    const Vra::TextureResource* colour = instance.GetTextures()[0][0];
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(fs::path(colour->myPath).filename(), "Body_C.dds");
    EXPECT_EQ(colour->mySrgbMode, Vra::TextureSrgbMode::ForceSrgb);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::New) << "nothing plays yet";
}

TEST_F(AnimatedObjectTest, TheFirstClipStoredUnderANameStays)
{
    testing::internal::CaptureStdout();
    myObject.LoadAnimation(myClip, "Once", true);
    testing::internal::GetCapturedStdout();
    const std::shared_ptr<Vra::AnimationPlayer> player = myObject.PlayAnimation("Once");
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->IsLooping());
}

TEST_F(AnimatedObjectTest, PlayingStartsTheClipAtTimeZero)
{
    myObject.PlayAnimation("Loop");
    myObject.Update(0.4f, myRoot);
    testing::internal::CaptureStdout();
    const std::shared_ptr<Vra::AnimationPlayer> player = myObject.PlayAnimation("Once");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Playing Once\n");
    ASSERT_TRUE(player);
    EXPECT_EQ(myObject.GetCurrentAnimation(), player);
    EXPECT_EQ(player->GetTime(), 0.0f);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Playing);
    EXPECT_TRUE(player->HasAnimation());
}

TEST_F(AnimatedObjectTest, AnUnknownNameIsAnnouncedAndChangesNothing)
{
    const std::shared_ptr<Vra::AnimationPlayer> loop = myObject.PlayAnimation("Loop");
    myObject.QueueAnimation("Once");
    testing::internal::CaptureStdout();
    EXPECT_EQ(myObject.PlayAnimation("Nope"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Playing Nope\n");
    EXPECT_EQ(myObject.GetCurrentAnimation(), loop);
    EXPECT_TRUE(myObject.IsQueued()) << "the queue stays too";

    // Nor does queueing it: at the wrap the clip queued before takes over.
    const std::shared_ptr<Vra::AnimationPlayer> once = myObject.PlayAnimation("Once");
    myObject.PlayAnimation("Loop");
    myObject.QueueAnimation("Nope");
    EXPECT_FALSE(myObject.IsQueued());
    myObject.QueueAnimation("Once");
    myObject.QueueAnimation("Nope");
    myObject.Update(1.1f, myRoot);
    myObject.Update(0.1f, myRoot);
    EXPECT_EQ(myObject.GetCurrentAnimation(), once);
    EXPECT_FALSE(myObject.IsQueued());
}

TEST_F(AnimatedObjectTest, AOneShotClipEndsAndALoopingOneWraps)
{
    myObject.PlayAnimation("Once");
    myObject.Update(0.6f, myRoot);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Playing);
    myObject.Update(0.6f, myRoot);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Ended);
    EXPECT_FLOAT_EQ(myObject.GetCurrentAnimation()->GetTime(), 1.0f);

    myObject.PlayAnimation("Loop");
    myObject.Update(0.6f, myRoot);
    myObject.Update(0.6f, myRoot);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Wrapped);
    EXPECT_NEAR(myObject.GetCurrentAnimation()->GetTime(), 0.2f, 1e-5f);
}

TEST_F(AnimatedObjectTest, QueuedClipsFollowInOrderAtTheEndOfTheOneBefore)
{
    const std::shared_ptr<Vra::AnimationPlayer> once = myObject.PlayAnimation("Once");
    myObject.QueueAnimation("Next");
    myObject.QueueAnimation("Last");
    myObject.Update(1.0f, myRoot);
    EXPECT_EQ(myObject.GetCurrentAnimation(), once);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Ended);

    // The next step hands over and advances the new clip.
    myObject.Update(0.25f, myRoot);
    const std::shared_ptr<Vra::AnimationPlayer> next = myObject.GetCurrentAnimation();
    ASSERT_NE(next, once);
    EXPECT_FALSE(next->IsLooping());
    EXPECT_FLOAT_EQ(next->GetTime(), 0.25f);
    EXPECT_TRUE(myObject.IsQueued());

    myObject.Update(0.75f, myRoot);
    EXPECT_EQ(myObject.GetCurrentAnimation(), next);
    myObject.Update(0.5f, myRoot);
    ASSERT_TRUE(myObject.GetCurrentAnimation()->IsLooping()) << "\"Last\" took over";
    EXPECT_FLOAT_EQ(myObject.GetCurrentAnimation()->GetTime(), 0.5f);
    EXPECT_FALSE(myObject.IsQueued());
}

TEST_F(AnimatedObjectTest, ALoopingClipHandsOverOnlyOnceItHasWrapped)
{
    const std::shared_ptr<Vra::AnimationPlayer> loop = myObject.PlayAnimation("Loop");
    myObject.QueueAnimation("Once");
    myObject.Update(0.9f, myRoot);
    myObject.Update(0.05f, myRoot);
    EXPECT_EQ(myObject.GetCurrentAnimation(), loop);
    myObject.Update(0.1f, myRoot);
    EXPECT_EQ(myObject.GetAnimationState(), AnimationState::Wrapped);
    EXPECT_EQ(myObject.GetCurrentAnimation(), loop);
    myObject.Update(0.1f, myRoot);
    EXPECT_NE(myObject.GetCurrentAnimation(), loop);
    EXPECT_FALSE(myObject.GetCurrentAnimation()->IsLooping());
}

TEST_F(AnimatedObjectTest, PlayingDropsTheQueue)
{
    myObject.PlayAnimation("Once");
    myObject.QueueAnimation("Next");
    const std::shared_ptr<Vra::AnimationPlayer> loop = myObject.PlayAnimation("Loop");
    EXPECT_FALSE(myObject.IsQueued());
    myObject.Update(1.5f, myRoot);
    myObject.Update(0.1f, myRoot);
    EXPECT_EQ(myObject.GetCurrentAnimation(), loop);
}

TEST_F(AnimatedObjectTest, UpdateWithoutAClipSaysSoAndDoesNothingElse)
{
    const Vra::Matrix4x4 before = myObject.GetModelInstance().GetTransform();
    testing::internal::CaptureStdout();
    myObject.Update(0.1f, TransformNode(Translation(5, 0, 0)));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "No Valid Animation!\n");
    EXPECT_EQ(myObject.GetModelInstance().GetTransform(), before);
}

TEST_F(AnimatedObjectTest, TheAnimationSpeedScalesTheFrameTime)
{
    myObject.SetAnimationSpeed(0.5f);
    myObject.PlayAnimation("Loop");
    myObject.Update(1.0f, myRoot);
    EXPECT_FLOAT_EQ(myObject.GetCurrentAnimation()->GetTime(), 0.5f);
}

TEST_F(AnimatedObjectTest, TheCurrentPoseReachesTheModel)
{
    myObject.PlayAnimation("Once");
    myObject.Update(0.7f, myRoot);
    Vra::AnimatedModelInstance expected = myObject.GetModelInstance();
    expected.SetPose(*myObject.GetCurrentAnimation());
    EXPECT_EQ(myObject.GetModelInstance().GetJointMatrices(), expected.GetJointMatrices());
    // The arm has turned: its joint matrix is no longer the rest one.
    const std::size_t arm = myObject.GetModelInstance().GetModel()->GetSkeleton().myJointIndexByName.at("Arm");
    EXPECT_GT(std::abs(expected.GetJointMatrices()[arm](1, 1) - 1.0f), 0.05f);
}

TEST_F(AnimatedObjectTest, TheModelSitsAtItsOffsetInTheParentsAxes)
{
    myObject.PlayAnimation("Loop");
    myObject.SetPosition(10.0f, 0.0f, 0.0f);
    myObject.Update(0.1f, TransformNode(QuarterTurnAboutZ(100.0f, 0.0f, 0.0f)));
    const Vra::Matrix4x4& transform = myObject.GetModelInstance().GetTransform();
    ExpectRow(transform, 4, 100.0f, 10.0f, 0.0f, "position");
    ExpectRow(transform, 1, 0.0f, 1.0f, 0.0f, "x axis turned with the parent");
    ExpectRow(transform, 2, -1.0f, 0.0f, 0.0f, "y axis turned with the parent");
    ExpectRow(transform, 3, 0.0f, 0.0f, 1.0f, "z axis");
}

TEST_F(AnimatedObjectTest, AParentChainMultipliesUpToTheRoot)
{
    TransformNode grandparent(QuarterTurnAboutZ(0.0f, 0.0f, 50.0f));
    TransformNode parent(Translation(20.0f, 0.0f, 0.0f));
    parent.SetParent(&grandparent);
    const CommonUtilities::Matrix4x4 world = AnimatedObject::GetWorldTransform(parent);
    EXPECT_EQ(world, Translation(20.0f, 0.0f, 0.0f) * QuarterTurnAboutZ(0.0f, 0.0f, 50.0f));

    myObject.PlayAnimation("Loop");
    myObject.SetPosition(0.0f, 5.0f, 0.0f);
    myObject.Update(0.1f, parent);
    // (20, 0, 0) turned a quarter about z is (0, 20, 0); the offset's y turns to -x.
    ExpectRow(myObject.GetModelInstance().GetTransform(), 4, -5.0f, 20.0f, 50.0f, "position");

    // A parent pointer without its flag is not followed.
    parent.myHasParent = false;
    EXPECT_EQ(AnimatedObject::GetWorldTransform(parent), Translation(20.0f, 0.0f, 0.0f));
}

TEST_F(AnimatedObjectTest, RotationsAddInDegreesToTheParents)
{
    myObject.PlayAnimation("Loop");
    myObject.Rotate(0.0f, 0.0f, 45.0f);
    myObject.Rotate(0.0f, 0.0f, 45.0f);
    myObject.Update(0.1f, myRoot);
    ExpectRow(myObject.GetModelInstance().GetTransform(), 1, 0.0f, 1.0f, 0.0f, "a quarter turn about z");

    myObject.Rotate(90.0f, 0.0f, -90.0f);
    myObject.Update(0.1f, myRoot);
    // About x by a quarter: y turns to z.
    ExpectRow(myObject.GetModelInstance().GetTransform(), 2, 0.0f, 0.0f, 1.0f, "a quarter turn about x");
    ExpectRow(myObject.GetModelInstance().GetTransform(), 1, 1.0f, 0.0f, 0.0f, "x stays");
}

TEST_F(AnimatedObjectTest, NegativeScalesMirrorTheModel)
{
    myObject.PlayAnimation("Loop");
    myObject.FlipScaleX();
    myObject.Update(0.1f, myRoot);
    ExpectRow(myObject.GetModelInstance().GetTransform(), 1, -1.0f, 0.0f, 0.0f, "x mirrored");
    ExpectRow(myObject.GetModelInstance().GetTransform(), 3, 0.0f, 0.0f, 1.0f, "z kept");

    myObject.FlipScaleX();
    myObject.FlipScaleZ();
    myObject.Update(0.1f, myRoot);
    ExpectRow(myObject.GetModelInstance().GetTransform(), 1, 1.0f, 0.0f, 0.0f, "x back");
    ExpectRow(myObject.GetModelInstance().GetTransform(), 3, 0.0f, 0.0f, -1.0f, "z mirrored");
}

TEST_F(AnimatedObjectTest, TheLoadScaleMultipliesEveryAxis)
{
    AnimatedObject scaled;
    scaled.FlipScaleZ();
    testing::internal::CaptureStdout();
    scaled.LoadModel(myClip, "textures/Body_C.dds", 0.5f);
    scaled.LoadAnimation(myClip, "Loop", true);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(scaled.GetScale(), CommonUtilities::Vector3f(0.5f, 0.5f, -0.5f));
    scaled.PlayAnimation("Loop");
    scaled.Update(0.1f, myRoot);
    ExpectRow(scaled.GetModelInstance().GetTransform(), 2, 0.0f, 0.5f, 0.0f, "y scaled");
}

TEST_F(AnimatedObjectTest, RendersOnlyWhileTheCurrentClipHoldsAnAnimation)
{
    ASSERT_TRUE(Vra::Engine::GetInstance()->BeginFrame());
    std::uint32_t before = Vra::Engine::GetDrawCallCount();
    myObject.Render();
    EXPECT_EQ(Vra::Engine::GetDrawCallCount(), before) << "no clip yet";

    myObject.PlayAnimation("Once");
    myObject.Update(0.1f, myRoot);
    before = Vra::Engine::GetDrawCallCount();
    myObject.Render();
    EXPECT_EQ(Vra::Engine::GetDrawCallCount() - before, myObject.GetModelInstance().GetModel()->GetMeshCount());
}

TEST_F(AnimatedObjectTest, AFileThatCannotBeReadLeavesTheObjectWithoutAModel)
{
    const std::string bytes = TestSupport::ReadFileBytes(ModelTestFiles::Folder() / "skinned.fbx");
    const fs::path cut = Game() / "models" / "cut.fbx";
    std::ofstream(cut, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 3));
    const fs::path noUv = FbxTestFiles::Folder() / "no_uv.fbx";
    fs::copy_file(noUv, Game() / "models" / "no_uv.fbx");

    for (const char* path : { "models/none.fbx", "models/cut.fbx", "models/no_uv.fbx" })
    {
        AnimatedObject object;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        object.LoadModel(path, "textures/Body_C.dds", 1.0f);
        object.LoadAnimation(myClip, "Once", false);
        object.LoadAnimation(path, "Broken", false);
        const std::string output = testing::internal::GetCapturedStdout();
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(object.GetModelInstance().IsBound()) << path;
        EXPECT_EQ(output.find("Model Loaded"), std::string::npos) << path;
        if (std::string(path) == "models/no_uv.fbx")
        {
            EXPECT_NE(errors.find("No UV layers"), std::string::npos) << errors;
        }
        // A clip for no model has no animation: the object plays it without drawing.
        const std::shared_ptr<Vra::AnimationPlayer> once = object.PlayAnimation("Once");
        ASSERT_TRUE(once) << path;
        EXPECT_FALSE(once->HasAnimation());
        object.Update(0.1f, myRoot);
        object.Render();
    }
}

TEST_F(AnimatedObjectTest, AClipFileThatCannotBeReadIsNotStored)
{
    // The box file has no skeleton, so its take cannot be read for the model.
    const std::string box = Install("box.fbx");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    myObject.LoadAnimation(box, "Box", false);
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("has no skeleton!"), std::string::npos) << errors;
    EXPECT_EQ(output.find("Animation Loaded: Box"), std::string::npos) << output;
    testing::internal::CaptureStdout();
    EXPECT_EQ(myObject.PlayAnimation("Box"), nullptr);
    testing::internal::GetCapturedStdout();
}
