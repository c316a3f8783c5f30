#include "Matrix4x4.h"
#include "Vector3.h"

#include "AssertionCatcher.h"

#include <gtest/gtest.h>

namespace
{
    using CommonUtilities::Matrix4x4;
    using CommonUtilities::Vector4;

    Matrix4x4 Sequence()
    {
        std::array<float, 16> elements;
        for (int i = 0; i < 16; ++i)
        {
            elements[i] = static_cast<float>(i + 1) * 0.5f;
        }
        return Matrix4x4(elements);
    }

    TEST(CommonMatrix4x4, DefaultIsIdentityAddressedRowByRow)
    {
        const Matrix4x4 identity;
        for (int row = 1; row <= 4; ++row)
        {
            for (int column = 1; column <= 4; ++column)
            {
                EXPECT_EQ(identity(row, column), row == column ? 1.0f : 0.0f);
            }
        }
        Matrix4x4 matrix = Sequence();
        EXPECT_EQ(matrix(2, 3), matrix.GetElements()[6]);
        matrix(4, 1) = 42.0f;
        EXPECT_EQ(matrix.GetElements()[12], 42.0f);
    }

    TEST(CommonMatrix4x4, IdentityTimesAnyMatrixIsThatMatrix)
    {
        EXPECT_EQ(Matrix4x4() * Sequence(), Sequence());
        EXPECT_EQ(Sequence() * Matrix4x4(), Sequence());
    }

    TEST(CommonMatrix4x4, ProductOfRowsAndColumns)
    {
        // Row 1 of A = (1, 2, 0, 0), column 1 of B = (3, 4, 0, 0): 1*3 + 2*4 = 11.
        Matrix4x4 a;
        a(1, 2) = 2.0f;
        Matrix4x4 b;
        b(1, 1) = 3.0f;
        b(2, 1) = 4.0f;
        const Matrix4x4 product = a * b;
        EXPECT_EQ(product(1, 1), 11.0f);
        EXPECT_EQ(product(1, 2), 2.0f);
        EXPECT_EQ(product(2, 1), 4.0f);
        EXPECT_EQ(product(4, 4), 1.0f);
    }

    TEST(CommonMatrix4x4, RowVectorPicksUpTheTranslation)
    {
        Matrix4x4 move;
        move(4, 1) = 10.0f;
        move(4, 2) = 20.0f;
        move(4, 3) = 30.0f;
        EXPECT_EQ(Vector4(1, 2, 3, 1) * move, Vector4(11, 22, 33, 1));
        EXPECT_EQ(Vector4(1, 2, 3, 0) * move, Vector4(1, 2, 3, 0));
    }

    TEST(CommonMatrix4x4, OutOfRangeIndicesFailRowBeforeColumn)
    {
        struct Case
        {
            int myRow;
            int myColumn;
            const char* myExpected;
        };
        const Case cases[] = {
            { 0, 1, "aRow > 0 && aRow < 5" },
            { 5, 2, "aRow > 0 && aRow < 5" },
            { 0, 0, "aRow > 0 && aRow < 5" },
            { 1, 0, "aColumn > 0 && aColumn < 5" },
            { 4, 5, "aColumn > 0 && aColumn < 5" },
        };
        Matrix4x4 matrix;
        const Matrix4x4& constant = matrix;
        for (const Case& testCase : cases)
        {
            EXPECT_EQ(TestSupport::FailedAssertion([&] { matrix(testCase.myRow, testCase.myColumn) = 2.0f; }), testCase.myExpected);
            EXPECT_EQ(TestSupport::FailedAssertion([&] { (void)constant(testCase.myRow, testCase.myColumn); }), testCase.myExpected);
        }
        EXPECT_EQ(matrix, Matrix4x4());
    }

    TEST(CommonVector3, DefaultIsZeroAndArithmeticWorksPerComponent)
    {
        const CommonUtilities::Vector3<float> zero;
        EXPECT_EQ(zero, CommonUtilities::Vector3<float>(0, 0, 0));
        const CommonUtilities::Vector3<float> a(1, 2, 3);
        const CommonUtilities::Vector3<float> b(4, 5, 6);
        EXPECT_EQ(a + b, CommonUtilities::Vector3<float>(5, 7, 9));
        EXPECT_EQ(b - a, CommonUtilities::Vector3<float>(3, 3, 3));
        EXPECT_EQ(a.Dot(b), 32.0f);
        EXPECT_EQ(a.Cross(b), CommonUtilities::Vector3<float>(-3, 6, -3));
        EXPECT_FLOAT_EQ(CommonUtilities::Vector3<float>(3, 0, 4).GetNormalized().z, 0.8f);
        EXPECT_EQ(zero.GetNormalized(), zero);
    }
}
