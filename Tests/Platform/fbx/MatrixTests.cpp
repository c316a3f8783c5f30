#include "fbx/Matrix.h"

#include <gtest/gtest.h>

using Vra::Fbx::Matrix;
using Vra::Fbx::RotationOrder;
using Vra::Fbx::Vector4;

namespace
{
    void ExpectNear(const Vector4& anActual, const Vector4& anExpected, double aTolerance = 1e-9)
    {
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(anActual[i], anExpected[i], aTolerance) << "component " << i;
        }
    }

    void ExpectNear(const Matrix& anActual, const Matrix& anExpected, double aTolerance = 1e-9)
    {
        for (int row = 0; row < 4; ++row)
        {
            for (int column = 0; column < 4; ++column)
            {
                EXPECT_NEAR(anActual.Get(row, column), anExpected.Get(row, column), aTolerance) << row << "," << column;
            }
        }
    }
}

TEST(FbxMatrix, TranslationLivesInRowThreeAndProductAppliesRightFirst)
{
    const Matrix translate = Matrix::Translation(Vector4(10, 0, 0));
    const Matrix turn = Matrix::Rotation(Vector4(0, 0, 90));
    ExpectNear(translate.GetRow(3), Vector4(10, 0, 0));
    // Turn first, then move: (1, 0, 0) -> (0, 1, 0) -> (10, 1, 0).
    ExpectNear((translate * turn).MultT(Vector4(1, 0, 0)), Vector4(10, 1, 0));
    // Move first, then turn: (1, 0, 0) -> (11, 0, 0) -> (0, 11, 0).
    ExpectNear((turn * translate).MultT(Vector4(1, 0, 0)), Vector4(0, 11, 0));
}

TEST(FbxMatrix, EulerOrderTurnsFirstNamedAxisFirst)
{
    const Vector4 angles(90, 90, 0);
    const Vector4 point(0, 1, 0);
    // XYZ: about x first, (0,1,0) -> (0,0,1), then about y -> (1,0,0).
    ExpectNear(Matrix::Rotation(angles, RotationOrder::XYZ).MultT(point), Vector4(1, 0, 0));
    // YXZ: about y first (no change), then about x -> (0,0,1).
    ExpectNear(Matrix::Rotation(angles, RotationOrder::YXZ).MultT(point), Vector4(0, 0, 1));
}

TEST(FbxMatrix, DecompositionGivesBackTranslationRotationScaling)
{
    const Vector4 translation(1, -2, 3);
    const Vector4 rotation(30, -45, 60);
    const Vector4 scaling(2, 3, 4);
    const Matrix composed(translation, rotation, scaling);
    ExpectNear(composed.GetT(), translation);
    ExpectNear(composed.GetR(), rotation, 1e-7);
    ExpectNear(composed.GetS(), scaling);
}

TEST(FbxMatrix, InverseUndoesAndTransposeSwaps)
{
    const Matrix composed(Vector4(5, 6, 7), Vector4(10, 20, 30), Vector4(1, 2, 0.5));
    ExpectNear(composed * composed.Inverse(), Matrix());
    ExpectNear(composed.Inverse() * composed, Matrix());
    const Matrix transposed = composed.Transpose();
    EXPECT_EQ(transposed.Get(0, 3), composed.Get(3, 0));
    EXPECT_EQ(transposed.Get(2, 1), composed.Get(1, 2));
    Matrix singular;
    singular.Set(1, 1, 0.0);
    EXPECT_EQ(singular.Inverse(), Matrix());
}
