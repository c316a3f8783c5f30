#include "drawers/SpriteInstanceBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
    using Vra::Matrix4x4;
    using Vra::Sprite2DInstanceData;
    using Vra::SpriteInstance;
    using Vra::impl::SpriteInstanceBuilder;

    // Where a corner of the unit quad (x 0..1, y -1..0) lands under the instance's world matrix.
    std::pair<float, float> Corner(const SpriteInstance& anInstance, float aX, float aY)
    {
        const float* m = anInstance.myWorld;
        return { aX * m[0] + aY * m[4] + m[12], aX * m[1] + aY * m[5] + m[13] };
    }

    Sprite2DInstanceData MakeSprite()
    {
        Sprite2DInstanceData sprite;
        sprite.myPosition = { 10.0f, 20.0f };
        sprite.mySize = { 100.0f, 50.0f };
        return sprite;
    }

    struct PlacementCase
    {
        const char* myName;
        Vra::Vector2<float> myPivot;
        Vra::Vector2<float> myScale;
        float myRotation;
        // Expected top-left (quad corner 0, 0) and bottom-right (1, -1).
        float myTopLeftX, myTopLeftY, myBottomRightX, myBottomRightY;
    };

    class SpritePlacement : public ::testing::TestWithParam<PlacementCase> {};

    TEST_P(SpritePlacement, PutsTheQuadCornersWhereThePivotSays)
    {
        const PlacementCase& placement = GetParam();
        Sprite2DInstanceData sprite = MakeSprite();
        sprite.myPivot = placement.myPivot;
        sprite.myScale = placement.myScale;
        sprite.myRotation = placement.myRotation;

        SpriteInstanceBuilder builder;
        SpriteInstance instance{};
        builder.Build(sprite, Matrix4x4(), instance);

        const auto [topLeftX, topLeftY] = Corner(instance, 0.0f, 0.0f);
        const auto [bottomRightX, bottomRightY] = Corner(instance, 1.0f, -1.0f);
        EXPECT_NEAR(topLeftX, placement.myTopLeftX, 1e-4f) << placement.myName;
        EXPECT_NEAR(topLeftY, placement.myTopLeftY, 1e-4f) << placement.myName;
        EXPECT_NEAR(bottomRightX, placement.myBottomRightX, 1e-4f) << placement.myName;
        EXPECT_NEAR(bottomRightY, placement.myBottomRightY, 1e-4f) << placement.myName;
    }

    INSTANTIATE_TEST_SUITE_P(Table, SpritePlacement, ::testing::Values(
        PlacementCase{ "top-left pivot", { 0.0f, 0.0f }, { 1.0f, 1.0f }, 0.0f, 10.0f, 20.0f, 110.0f, -30.0f },
        PlacementCase{ "centred", { 0.5f, 0.5f }, { 1.0f, 1.0f }, 0.0f, -40.0f, 45.0f, 60.0f, -5.0f },
        PlacementCase{ "bottom-right pivot", { 1.0f, 1.0f }, { 1.0f, 1.0f }, 0.0f, -90.0f, 70.0f, 10.0f, 20.0f },
        PlacementCase{ "mirrored about the pivot", { 0.0f, 0.0f }, { -1.0f, 1.0f }, 0.0f, 10.0f, 20.0f, -90.0f, -30.0f },
        PlacementCase{ "scaled", { 0.0f, 0.0f }, { 2.0f, 0.5f }, 0.0f, 10.0f, 20.0f, 210.0f, -5.0f },
        // A quarter turn counter-clockwise about the top-left corner: the right edge points up.
        PlacementCase{ "quarter turn", { 0.0f, 0.0f }, { 1.0f, 1.0f }, std::numbers::pi_v<float> / 2.0f, 10.0f, 20.0f, 60.0f, 120.0f }));

    TEST(SpriteInstanceBuilder, MultipliesByTheStateTransformAfterTheLocalPlacement)
    {
        Matrix4x4 transform;
        transform(1, 1) = 2.0f;          // scale x by 2, then move by (5, 7)
        transform(4, 1) = 5.0f;
        transform(4, 2) = 7.0f;

        SpriteInstanceBuilder builder;
        SpriteInstance instance{};
        builder.Build(MakeSprite(), transform, instance);

        const auto [topLeftX, topLeftY] = Corner(instance, 0.0f, 0.0f);
        const auto [bottomRightX, bottomRightY] = Corner(instance, 1.0f, -1.0f);
        EXPECT_FLOAT_EQ(topLeftX, 25.0f);
        EXPECT_FLOAT_EQ(topLeftY, 27.0f);
        EXPECT_FLOAT_EQ(bottomRightX, 225.0f);
        EXPECT_FLOAT_EQ(bottomRightY, -23.0f);
    }

    TEST(SpriteInstanceBuilder, WritesLinearColourTheClipRectangleAndTheReorderedTextureRectangle)
    {
        Sprite2DInstanceData sprite = MakeSprite();
        sprite.myColor = { 0.5f, 0.5f, 0.5f, 0.5f };
        sprite.myClipRectangle = { 0.1f, 0.2f, 0.3f, 0.4f };
        sprite.myTextureRectangle = { 0.0f, 0.0f, 0.5f, 0.25f };

        SpriteInstanceBuilder builder;
        SpriteInstance instance{};
        builder.Build(sprite, Matrix4x4(), instance);

        for (int channel = 0; channel < 3; ++channel)
        {
            EXPECT_NEAR(instance.myColor[channel], 0.21404f, 1e-4f);
        }
        EXPECT_FLOAT_EQ(instance.myColor[3], 0.5f);
        EXPECT_FLOAT_EQ(instance.myClipRectangle[0], 0.1f);
        EXPECT_FLOAT_EQ(instance.myClipRectangle[1], 0.2f);
        EXPECT_FLOAT_EQ(instance.myClipRectangle[2], 0.3f);
        EXPECT_FLOAT_EQ(instance.myClipRectangle[3], 0.4f);
        EXPECT_FLOAT_EQ(instance.myTextureRectangle[0], 0.0f);
        EXPECT_FLOAT_EQ(instance.myTextureRectangle[1], 0.25f);
        EXPECT_FLOAT_EQ(instance.myTextureRectangle[2], 0.5f);
        EXPECT_FLOAT_EQ(instance.myTextureRectangle[3], 0.0f);
    }

    TEST(SpriteInstanceBuilder, ConvertsEachNewColourEvenAfterARepeatedOne)
    {
        SpriteInstanceBuilder builder;
        SpriteInstance instance{};
        Sprite2DInstanceData sprite = MakeSprite();
        const float values[] = { 0.02f, 0.02f, 1.0f, 0.5f, 0.0f };
        for (const float value : values)
        {
            sprite.myColor = { value, 1.0f - value, value, 1.0f };
            builder.Build(sprite, Matrix4x4(), instance);
            EXPECT_FLOAT_EQ(instance.myColor[0], Vra::SrgbToLinear(value));
            EXPECT_FLOAT_EQ(instance.myColor[1], Vra::SrgbToLinear(1.0f - value));
        }
    }

    TEST(SpriteInstanceBuilder, LinearisesBelowAndAboveTheKnee)
    {
        EXPECT_FLOAT_EQ(Vra::SrgbToLinear(0.04f), 0.04f / 12.92f);
        EXPECT_NEAR(Vra::SrgbToLinear(0.04045f), 0.0031308f, 1e-6f);
        EXPECT_FLOAT_EQ(Vra::SrgbToLinear(1.0f), 1.0f);
    }

    TEST(SpriteInstanceBuilder, A3DSpriteTakesItsTransformTimesTheStateTransform)
    {
        Vra::Sprite3DInstanceData sprite;
        sprite.myTransform(1, 1) = 3.0f;
        sprite.myTransform(4, 1) = 1.0f;
        Matrix4x4 transform;
        transform(4, 1) = 10.0f;
        transform(2, 2) = 2.0f;

        SpriteInstanceBuilder builder;
        SpriteInstance instance{};
        builder.Build(sprite, transform, instance);

        const Matrix4x4 expected = sprite.myTransform * transform;
        for (int index = 0; index < 16; ++index)
        {
            EXPECT_FLOAT_EQ(instance.myWorld[index], expected[index]) << index;
        }
        EXPECT_FLOAT_EQ(instance.myWorld[12], 11.0f);
    }
}
