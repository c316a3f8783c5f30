#include "level/ObjectTransform.h"

#include "scene/SceneObject.h"
#include "scene/SceneSerialize.h"

#include <gtest/gtest.h>

namespace
{
    TEST(ObjectTransform, TheMatrixDecomposesBackIntoTheObjectsTransform)
    {
        const Vra::Vector3<float> rotations[] = { { 0.0f, 0.0f, 0.0f }, { 30.0f, -45.0f, 60.0f }, { 0.0f, 90.0f, 0.0f }, { -170.0f, 10.0f, 5.0f } };
        for (const Vra::Vector3<float>& rotation : rotations)
        {
            Vra::SceneObject object;
            object.myTranslation = { 10.0f, -20.0f, 30.0f };
            object.myRotation = rotation;
            object.myScale = { 2.0f, 3.0f, 0.5f };
            const Vra::Matrix4x4 matrix = ObjectTransformToMatrix(object);
            Vra::SceneObject decomposed;
            Vra::DecomposeTransform(decomposed, matrix);
            const Vra::Matrix4x4 rebuilt = ObjectTransformToMatrix(decomposed);
            for (int index = 0; index < 16; ++index)
            {
                EXPECT_NEAR(rebuilt[index], matrix[index], 1e-3f) << index;
            }
            EXPECT_NEAR(decomposed.myScale.y, 3.0f, 1e-4f);
            EXPECT_NEAR(decomposed.myTranslation.z, 30.0f, 1e-4f);
        }
    }

    TEST(ObjectTransform, AQuarterTurnAboutZTurnsTheXAxisIntoY)
    {
        Vra::SceneObject object;
        object.myRotation = { 0.0f, 0.0f, 90.0f };
        object.myScale = { 2.0f, 1.0f, 1.0f };
        const Vra::Matrix4x4 matrix = ObjectTransformToMatrix(object);
        const Vra::Vector3<float> x = matrix.TransformDirection({ 1.0f, 0.0f, 0.0f });
        EXPECT_NEAR(x.x, 0.0f, 1e-5f);
        EXPECT_NEAR(x.y, 2.0f, 1e-5f);
        EXPECT_NEAR(x.z, 0.0f, 1e-5f);
    }

    TEST(ObjectTransform, TheGameMatrixHoldsTheSameElements)
    {
        Vra::SceneObject object;
        object.myTranslation = { 1.0f, 2.0f, 3.0f };
        object.myRotation = { 10.0f, 20.0f, 30.0f };
        const Vra::Matrix4x4 matrix = ObjectTransformToMatrix(object);
        const CommonUtilities::Matrix4x4 game = ToGameMatrix(matrix);
        for (int row = 1; row <= 4; ++row)
        {
            for (int column = 1; column <= 4; ++column)
            {
                EXPECT_EQ(game(row, column), matrix(row, column));
            }
        }
    }
}
