#include "graphics/Camera.h"

#include <gtest/gtest.h>

namespace
{
    TEST(Camera, StartsWithIdentitiesAndDefaultDepthRange)
    {
        const Vra::Camera camera;
        EXPECT_EQ(camera.myTransform, Vra::Matrix4x4());
        EXPECT_EQ(camera.myProjection, Vra::Matrix4x4());
        EXPECT_EQ(camera.myNear, 1.0f);
        EXPECT_EQ(camera.myFar, 10000.0f);
    }

    TEST(Camera, CentredOrthographicProjection)
    {
        Vra::Camera camera;
        camera.myProjection(4, 1) = 7.0f; // the setter starts over from the identity
        camera.SetOrthographicProjection(1600.0f, 900.0f, 1000.0f);
        EXPECT_FLOAT_EQ(camera.myProjection(1, 1), 0.00125f);
        EXPECT_NEAR(camera.myProjection(2, 2), 0.0022222f, 1e-7f);
        EXPECT_FLOAT_EQ(camera.myProjection(3, 3), 0.001f);
        for (int column = 1; column <= 4; ++column)
        {
            EXPECT_EQ(camera.myProjection(4, column), column == 4 ? 1.0f : 0.0f);
        }
        const Vra::Vector3<float> corner = camera.myProjection.TransformPoint({ 800.0f, -450.0f, 1000.0f });
        EXPECT_NEAR(corner.x, 1.0f, 1e-6f);
        EXPECT_NEAR(corner.y, -1.0f, 1e-6f);
        EXPECT_NEAR(corner.z, 1.0f, 1e-6f);
        EXPECT_EQ(camera.myNear, 1.0f);
        EXPECT_EQ(camera.myFar, 10000.0f);
    }

    TEST(Camera, BoxOrthographicProjectionMapsCornersToClipSpace)
    {
        Vra::Camera camera;
        camera.SetOrthographicProjection(0.0f, 1280.0f, 0.0f, 720.0f, -1.0f, 1.0f);
        const Vra::Vector3<float> far = camera.myProjection.TransformPoint({ 1280.0f, 720.0f, 1.0f });
        const Vra::Vector3<float> near = camera.myProjection.TransformPoint({ 0.0f, 0.0f, -1.0f });
        EXPECT_NEAR(far.x, 1.0f, 1e-6f);
        EXPECT_NEAR(far.y, 1.0f, 1e-6f);
        EXPECT_NEAR(far.z, 1.0f, 1e-6f);
        EXPECT_NEAR(near.x, -1.0f, 1e-6f);
        EXPECT_NEAR(near.y, -1.0f, 1e-6f);
        EXPECT_NEAR(near.z, 0.0f, 1e-6f);
        EXPECT_EQ(camera.myNear, 1.0f);
    }
}
