#include "Math/Matrix4x4.h"
#include "Math/MatrixDecomposition.h"

#include "AssertionCatcher.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
    void ExpectMatrixNear(const Vra::Matrix4x4& anActual, const Vra::Matrix4x4& anExpected, float aTolerance = 1e-5f)
    {
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_NEAR(anActual[i], anExpected[i], aTolerance) << "element " << i;
        }
    }

    Vra::Matrix4x4 Sequence()
    {
        std::array<float, 16> elements;
        for (int i = 0; i < 16; ++i)
        {
            elements[i] = static_cast<float>(i + 1);
        }
        return Vra::Matrix4x4(elements);
    }

    TEST(VraMatrix4x4, ElementsAreAddressedRowByRowFromOne)
    {
        const Vra::Matrix4x4 matrix = Sequence();
        EXPECT_EQ(&matrix(1, 1), matrix.GetData());
        EXPECT_EQ(matrix(1, 1), 1.0f);
        EXPECT_EQ(matrix(4, 3), 15.0f);
        EXPECT_EQ(matrix(2, 1), 5.0f);
        EXPECT_EQ(Vra::Matrix4x4()(3, 3), 1.0f);
        EXPECT_EQ(Vra::Matrix4x4()(3, 4), 0.0f);
    }

    TEST(VraMatrix4x4, OutOfRangeAccessFailsAndTouchesNothing)
    {
        const std::string expected = "aRow > 0 && aRow < 5 && aColumn > 0 && aColumn < 5 && \"Argument out of bounds\"";
        const int badIndices[][2] = { { 0, 1 }, { 1, 5 }, { 5, 1 }, { 1, 0 }, { -1, -1 } };
        Vra::Matrix4x4 matrix = Sequence();
        const Vra::Matrix4x4& constant = matrix;
        for (const auto& index : badIndices)
        {
            EXPECT_EQ(TestSupport::FailedAssertion([&] { matrix(index[0], index[1]) = 99.0f; }), expected);
            EXPECT_EQ(TestSupport::FailedAssertion([&] { (void)constant(index[0], index[1]); }), expected);
        }
        EXPECT_EQ(matrix, Sequence());
    }

    TEST(VraMatrix4x4, ProductAppliesTheLeftMatrixFirst)
    {
        const Vra::Matrix4x4 scale = Vra::Matrix4x4::CreateScale({ 2.0f, 2.0f, 2.0f });
        const Vra::Matrix4x4 move = Vra::Matrix4x4::CreateTranslation({ 1.0f, 0.0f, 0.0f });
        const Vra::Vector3<float> point(1.0f, 0.0f, 0.0f);
        EXPECT_EQ((scale * move).TransformPoint(point), (Vra::Vector3<float>(3.0f, 0.0f, 0.0f)));
        EXPECT_EQ((move * scale).TransformPoint(point), (Vra::Vector3<float>(4.0f, 0.0f, 0.0f)));
        EXPECT_EQ((move * scale).TransformDirection(point), (Vra::Vector3<float>(2.0f, 0.0f, 0.0f)));

        Vra::Matrix4x4 accumulated = scale;
        accumulated *= move;
        EXPECT_EQ(accumulated, scale * move);
        EXPECT_EQ(Vra::Matrix4x4() * Sequence(), Sequence());
    }

    TEST(VraMatrix4x4, RotationsTurnCounterClockwise)
    {
        const float quarter = std::numbers::pi_v<float> / 2.0f;
        const Vra::Vector3<float> z = Vra::Matrix4x4::CreateRotationAroundZ(quarter).TransformDirection({ 1, 0, 0 });
        const Vra::Vector3<float> x = Vra::Matrix4x4::CreateRotationAroundX(quarter).TransformDirection({ 0, 1, 0 });
        const Vra::Vector3<float> y = Vra::Matrix4x4::CreateRotationAroundY(quarter).TransformDirection({ 0, 0, 1 });
        EXPECT_NEAR(z.y, 1.0f, 1e-6f);
        EXPECT_NEAR(x.z, 1.0f, 1e-6f);
        EXPECT_NEAR(y.x, 1.0f, 1e-6f);
    }

    TEST(VraMatrix4x4, InverseOfScaleAndTranslation)
    {
        Vra::Matrix4x4 matrix = Vra::Matrix4x4::CreateScale({ 2.0f, 2.0f, 2.0f });
        matrix.SetTranslation({ 1.0f, 2.0f, 3.0f });

        Vra::Matrix4x4 expected = Vra::Matrix4x4::CreateScale({ 0.5f, 0.5f, 0.5f });
        expected.SetTranslation({ -0.5f, -1.0f, -1.5f });
        ExpectMatrixNear(Vra::Matrix4x4::GetInverse(matrix), expected);
    }

    TEST(VraMatrix4x4, InverseTimesMatrixIsIdentity)
    {
        const Vra::Matrix4x4 matrix = Vra::Matrix4x4::CreateRotationAroundX(0.3f) * Vra::Matrix4x4::CreateRotationAroundY(1.1f) *
                                      Vra::Matrix4x4::CreateScale({ 1.5f, 0.5f, 3.0f }) *
                                      Vra::Matrix4x4::CreateTranslation({ 4.0f, -2.0f, 7.0f });
        ExpectMatrixNear(matrix * Vra::Matrix4x4::GetInverse(matrix), Vra::Matrix4x4());
        ExpectMatrixNear(Vra::Matrix4x4::GetInverse(matrix) * matrix, Vra::Matrix4x4());
    }

    TEST(VraMatrix4x4, SingularMatrixGivesNonFiniteInverse)
    {
        const Vra::Matrix4x4 inverse = Vra::Matrix4x4::GetInverse(Sequence());
        bool anyNonFinite = false;
        for (int i = 0; i < 16; ++i)
        {
            anyNonFinite = anyNonFinite || !std::isfinite(inverse[i]);
        }
        EXPECT_TRUE(anyNonFinite);
    }

    TEST(VraMatrix4x4, TransposeSwapsRowsAndColumns)
    {
        const Vra::Matrix4x4 transposed = Vra::Matrix4x4::GetTranspose(Sequence());
        EXPECT_EQ(transposed(1, 4), 13.0f);
        EXPECT_EQ(transposed(4, 1), 4.0f);
        EXPECT_EQ(Vra::Matrix4x4::GetTranspose(transposed), Sequence());
    }

    struct AxesCase
    {
        Vra::Vector3<float> myX, myY, myZ;
        Vra::Quaternion myExpected;
    };

    TEST(VraQuaternionFromAxes, EachLargestCandidate)
    {
        const float half = std::sqrt(0.5f);
        const AxesCase cases[] = {
            { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 }, { 1, 0, 0, 0 } },
            // Half turns about X, Y and Z: the w candidate is the smallest.
            { { 1, 0, 0 }, { 0, -1, 0 }, { 0, 0, -1 }, { 0, 1, 0, 0 } },
            { { -1, 0, 0 }, { 0, 1, 0 }, { 0, 0, -1 }, { 0, 0, 1, 0 } },
            { { -1, 0, 0 }, { 0, -1, 0 }, { 0, 0, 1 }, { 0, 0, 0, 1 } },
            // A quarter turn about Z: the X axis goes to Y.
            { { 0, 1, 0 }, { -1, 0, 0 }, { 0, 0, 1 }, { half, 0, 0, half } },
        };
        for (const AxesCase& testCase : cases)
        {
            const Vra::Quaternion result = Vra::QuaternionFromAxes(testCase.myX, testCase.myY, testCase.myZ);
            EXPECT_NEAR(result.w, testCase.myExpected.w, 1e-6f);
            EXPECT_NEAR(result.x, testCase.myExpected.x, 1e-6f);
            EXPECT_NEAR(result.y, testCase.myExpected.y, 1e-6f);
            EXPECT_NEAR(result.z, testCase.myExpected.z, 1e-6f);
        }
    }

    TEST(VraDecomposeMatrix, RecoversScaleRotationAndTranslation)
    {
        Vra::Matrix4x4 matrix = Vra::Matrix4x4::CreateScale({ 2.0f, 3.0f, 4.0f });
        matrix.SetTranslation({ 5.0f, 6.0f, 7.0f });

        Vra::Vector3<float> translation;
        Vra::Quaternion rotation(0, 0, 0, 0);
        float scale[3] = {};
        Vra::DecomposeMatrix(matrix, translation, rotation, scale);
        EXPECT_EQ(translation, (Vra::Vector3<float>(5.0f, 6.0f, 7.0f)));
        EXPECT_EQ(rotation, Vra::Quaternion(1, 0, 0, 0));
        EXPECT_EQ(scale[0], 2.0f);
        EXPECT_EQ(scale[1], 3.0f);
        EXPECT_EQ(scale[2], 4.0f);

        const Vra::Matrix4x4 turned = Vra::Matrix4x4::CreateScale({ 2.0f, 2.0f, 2.0f }) *
                                      Vra::Matrix4x4::CreateRotationAroundZ(std::numbers::pi_v<float> / 2.0f);
        Vra::DecomposeMatrix(turned, translation, rotation, scale);
        EXPECT_NEAR(scale[0], 2.0f, 1e-6f);
        EXPECT_NEAR(rotation.w, std::sqrt(0.5f), 1e-6f);
        EXPECT_NEAR(rotation.z, std::sqrt(0.5f), 1e-6f);
    }
}
