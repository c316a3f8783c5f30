#include "Math/Matrix4x4.h"
#include "model/JointTransform.h"
#include "model/Model.h"
#include "model/PoseMaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace
{
    using Vra::JointTransform;
    using Vra::Matrix4x4;
    using Vra::Quaternion;

    void ExpectMatrixNear(const Matrix4x4& anActual, const Matrix4x4& anExpected, float aTolerance = 1e-5f)
    {
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_NEAR(anActual[i], anExpected[i], aTolerance) << "element " << i;
        }
    }

    void ExpectQuaternionNear(const Quaternion& anActual, const Quaternion& anExpected, float aTolerance = 1e-5f)
    {
        EXPECT_NEAR(anActual.w, anExpected.w, aTolerance);
        EXPECT_NEAR(anActual.x, anExpected.x, aTolerance);
        EXPECT_NEAR(anActual.y, anExpected.y, aTolerance);
        EXPECT_NEAR(anActual.z, anExpected.z, aTolerance);
    }

    Quaternion AboutAxis(float anX, float aY, float aZ, float aRadians)
    {
        const float s = std::sin(aRadians / 2.0f);
        return Quaternion(std::cos(aRadians / 2.0f), anX * s, aY * s, aZ * s);
    }

    Matrix4x4 RandomMatrix(std::mt19937& aRandom)
    {
        std::uniform_real_distribution<float> value(-3.0f, 3.0f);
        Matrix4x4 matrix;
        for (int i = 0; i < 16; ++i)
        {
            matrix[i] = value(aRandom);
        }
        return matrix;
    }
}

TEST(JointTransformTest, TheIdentityTransformGivesTheIdentityMatrix)
{
    EXPECT_EQ(JointTransform::ToMatrix(JointTransform()), Matrix4x4());
}

TEST(JointTransformTest, ScalesThenTranslates)
{
    JointTransform transform;
    transform.myScale = { 2.0f, 2.0f, 2.0f };
    transform.myTranslation = { 1.0f, 0.0f, 0.0f };
    const Vra::Vector3f point = JointTransform::ToMatrix(transform).TransformPoint({ 1.0f, 0.0f, 0.0f });
    EXPECT_FLOAT_EQ(point.x, 3.0f);
    EXPECT_FLOAT_EQ(point.y, 0.0f);
    EXPECT_FLOAT_EQ(point.z, 0.0f);
}

TEST(JointTransformTest, IsScaleTimesRotationWithTheTranslationInRowFour)
{
    // Checked against the engine's own rotation and scale matrices for turns about each axis.
    const float angle = 0.7f;
    const struct
    {
        Quaternion myRotation;
        Matrix4x4 myMatrix;
    } turns[] = {
        { AboutAxis(1, 0, 0, angle), Matrix4x4::CreateRotationAroundX(angle) },
        { AboutAxis(0, 1, 0, angle), Matrix4x4::CreateRotationAroundY(angle) },
        { AboutAxis(0, 0, 1, angle), Matrix4x4::CreateRotationAroundZ(angle) },
    };
    for (const auto& turn : turns)
    {
        JointTransform transform;
        transform.myRotation = turn.myRotation;
        transform.myScale = { 2.0f, 3.0f, 4.0f };
        transform.myTranslation = { 5.0f, 6.0f, 7.0f };
        const Matrix4x4 expected = Matrix4x4::CreateScale({ 2.0f, 3.0f, 4.0f }) * turn.myMatrix * Matrix4x4::CreateTranslation({ 5.0f, 6.0f, 7.0f });
        ExpectMatrixNear(JointTransform::ToMatrix(transform), expected);
        ExpectMatrixNear(JointTransform::ToMatrix(transform, true), turn.myMatrix * Matrix4x4::CreateTranslation({ 5.0f, 6.0f, 7.0f }));
    }
}

TEST(PoseMathsTest, FourWideProductMatchesTheMatrixProductAndMayWriteIntoEitherOperand)
{
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round)
    {
        const Matrix4x4 a = RandomMatrix(random);
        const Matrix4x4 b = RandomMatrix(random);
        const Matrix4x4 expected = a * b;
        Matrix4x4 result;
        Vra::Multiply(a, b, result);
        ExpectMatrixNear(result, expected, 1e-4f);
        Matrix4x4 first = a;
        Vra::MultiplyAssign(first, b);
        ExpectMatrixNear(first, expected, 1e-4f);
        Matrix4x4 second = b;
        Vra::Multiply(a, second, second);
        ExpectMatrixNear(second, expected, 1e-4f);
    }
}

TEST(PoseMathsTest, BlendTakesTheShorterWayRound)
{
    ExpectQuaternionNear(Vra::BlendQuaternions(Quaternion(1, 0, 0, 0), Quaternion(-1, 0, 0, 0), 0.5f), Quaternion(1, 0, 0, 0));
    // The same rotation written with the other sign blends as itself.
    const Quaternion turn = AboutAxis(0, 0, 1, 1.0f);
    ExpectQuaternionNear(Vra::BlendQuaternions(turn, Quaternion(-turn.w, -turn.x, -turn.y, -turn.z), 0.3f), turn);
}

TEST(PoseMathsTest, BlendIsNormalisedLinearBetweenRotationsAQuarterTurnApart)
{
    // 90 degrees about z: dot about 0.707. Normalised linear, not spherical: at t = 0.25 the two differ.
    const Quaternion from(1, 0, 0, 0);
    const Quaternion to = AboutAxis(0, 0, 1, std::numbers::pi_v<float> / 2.0f);
    const double w = 0.75 + 0.25 * std::cos(std::numbers::pi / 4.0);
    const double z = 0.25 * std::sin(std::numbers::pi / 4.0);
    const double length = std::sqrt(w * w + z * z);
    const Quaternion blended = Vra::BlendQuaternions(from, to, 0.25f);
    ExpectQuaternionNear(blended, Quaternion(static_cast<float>(w / length), 0, 0, static_cast<float>(z / length)));
    EXPECT_GT(std::abs(blended.z - std::sin(std::numbers::pi / 16.0)), 1e-3) << "the spherical blend would give this";
}

TEST(PoseMathsTest, BlendIsSphericalBetweenRotationsHalfATurnApart)
{
    // (1, 0, 0, 0) and a half turn about x are orthogonal in four dimensions (dot 0).
    const Quaternion blended = Vra::BlendQuaternions(Quaternion(1, 0, 0, 0), Quaternion(0, 1, 0, 0), 0.25f);
    ExpectQuaternionNear(blended, Quaternion(std::cos(std::numbers::pi_v<float> / 8.0f), std::sin(std::numbers::pi_v<float> / 8.0f), 0, 0));
}

namespace
{
    // Joint 0 the root with joint 1 below it; joint 2 a second root the walk never reaches.
    Vra::Model ThreeJointModel()
    {
        Vra::Skeleton skeleton;
        skeleton.myJoints.resize(3);
        skeleton.myJoints[0].myChildren = { 1 };
        skeleton.myJoints[1].myParent = 0;
        skeleton.myJoints[2].myParent = -1;
        Vra::Model model;
        model.SetSkeleton(std::move(skeleton));
        return model;
    }
}

TEST(PoseMathsTest, GlobalPoseAppliesEachJointBeforeItsParentAndSkipsASecondRoot)
{
    const Vra::Model model = ThreeJointModel();
    Vra::AnimationPose local;
    local.myJointCount = 3;
    local.myJoints[0].myTranslation = { 10.0f, 0.0f, 0.0f };
    local.myJoints[0].myRotation = AboutAxis(0, 0, 1, std::numbers::pi_v<float> / 2.0f);
    local.myJoints[1].myTranslation = { 1.0f, 0.0f, 0.0f };
    local.myJoints[2].myTranslation = { 99.0f, 0.0f, 0.0f };

    Vra::GlobalPose global;
    const Matrix4x4 sentinel = Matrix4x4::CreateScale({ 7.0f, 7.0f, 7.0f });
    global.myJoints[2] = sentinel;
    model.ComputeGlobalPose(local, global);

    EXPECT_EQ(global.myJointCount, 3);
    // The child's offset along x turns with its parent to y, then the parent's translation adds.
    const Vra::Vector3f child = global.myJoints[1].GetTranslation();
    EXPECT_NEAR(child.x, 10.0f, 1e-5f);
    EXPECT_NEAR(child.y, 1.0f, 1e-5f);
    EXPECT_NEAR(child.z, 0.0f, 1e-5f);
    ExpectMatrixNear(global.myJoints[1], JointTransform::ToMatrix(local.myJoints[1]) * global.myJoints[0]);
    EXPECT_EQ(global.myJoints[2], sentinel);
}

TEST(PoseMathsTest, SkinningMatricesAreInverseBindTimesGlobal)
{
    Vra::Skeleton skeleton;
    skeleton.myJoints.resize(2);
    skeleton.myJoints[0].myChildren = { 1 };
    skeleton.myJoints[1].myParent = 0;
    skeleton.myJoints[0].myInverseBindMatrix = Matrix4x4::CreateTranslation({ 0.0f, -5.0f, 0.0f });
    skeleton.myJoints[1].myInverseBindMatrix = Matrix4x4::CreateTranslation({ 0.0f, -8.0f, 0.0f });
    Vra::Model model;
    model.SetSkeleton(skeleton);

    Vra::GlobalPose global;
    global.myJoints[0] = Matrix4x4::CreateTranslation({ 0.0f, 5.0f, 0.0f });
    global.myJoints[1] = Matrix4x4::CreateRotationAroundZ(1.0f) * Matrix4x4::CreateTranslation({ 0.0f, 8.0f, 0.0f });
    Matrix4x4 joints[Vra::MAX_ANIMATION_BONES];
    joints[2] = Matrix4x4::CreateScale({ 3.0f, 3.0f, 3.0f });
    model.ComputeSkinningMatrices(global, joints);

    // At its bind place a joint moves nothing; the turned one turns about its own origin.
    ExpectMatrixNear(joints[0], Matrix4x4());
    ExpectMatrixNear(joints[1], skeleton.myJoints[1].myInverseBindMatrix * global.myJoints[1]);
    const Vra::Vector3f atJoint = joints[1].TransformPoint({ 0.0f, 8.0f, 0.0f });
    EXPECT_NEAR(atJoint.y, 8.0f, 1e-5f);
    EXPECT_EQ(joints[2], Matrix4x4::CreateScale({ 3.0f, 3.0f, 3.0f })) << "past the joint count nothing is written";
}
