#include "player/CollisionSet.h"
#include "player/Sphere.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

namespace
{
    using CommonUtilities::Vector3f;

    const Box UNIT_BOX{ { 0.0f, 0.0f, 0.0f }, { 100.0f, 100.0f, 100.0f } };

    struct Contact
    {
        Vector3f myPoint;
        Vector3f myNormal;
        bool myIsWall = false;
    };

    std::vector<Contact> Collide(const CollisionSet& aSet, const Sphere& aSphere)
    {
        std::vector<Contact> contacts;
        aSet.CollideSphere(aSphere, [&contacts](const Vector3f& aPoint, const Vector3f& aNormal, bool anIsWall) {
            contacts.push_back({ aPoint, aNormal, anIsWall });
        });
        return contacts;
    }

    struct ContactCase
    {
        const char* myName;
        Vector3f myCenter;
        bool myExpectContact;
        Vector3f myExpectPoint;
        Vector3f myExpectNormal;
    };

    void PrintTo(const ContactCase& aCase, std::ostream* aStream)
    {
        *aStream << aCase.myName;
    }

    class SphereBoxContactTest : public testing::TestWithParam<ContactCase>
    {
    };

    TEST_P(SphereBoxContactTest, GivesPointAndNormalTowardTheCentre)
    {
        const ContactCase& testCase = GetParam();
        for (const Box& box : { UNIT_BOX, Box{ UNIT_BOX.myMax, UNIT_BOX.myMin } })
        {
            Vector3f point;
            Vector3f normal;
            ASSERT_EQ(SphereBoxContact({ testCase.myCenter, 40.0f }, box, point, normal), testCase.myExpectContact);
            if (testCase.myExpectContact)
            {
                EXPECT_NEAR(point.x, testCase.myExpectPoint.x, 1e-4f);
                EXPECT_NEAR(point.y, testCase.myExpectPoint.y, 1e-4f);
                EXPECT_NEAR(point.z, testCase.myExpectPoint.z, 1e-4f);
                EXPECT_NEAR(normal.x, testCase.myExpectNormal.x, 1e-5f);
                EXPECT_NEAR(normal.y, testCase.myExpectNormal.y, 1e-5f);
                EXPECT_NEAR(normal.z, testCase.myExpectNormal.z, 1e-5f);
            }
        }
    }

    const float DIAGONAL = 1.0f / std::sqrt(2.0f);

    INSTANTIATE_TEST_SUITE_P(Cases, SphereBoxContactTest,
        testing::Values(
            ContactCase{ "Above", { 50.0f, 130.0f, 50.0f }, true, { 50.0f, 100.0f, 50.0f }, { 0.0f, 1.0f, 0.0f } },
            ContactCase{ "TouchingTop", { 50.0f, 140.0f, 50.0f }, true, { 50.0f, 100.0f, 50.0f }, { 0.0f, 1.0f, 0.0f } },
            ContactCase{ "JustClear", { 50.0f, 140.01f, 50.0f }, false, {}, {} },
            ContactCase{ "LeftSide", { -20.0f, 50.0f, 50.0f }, true, { 0.0f, 50.0f, 50.0f }, { -1.0f, 0.0f, 0.0f } },
            ContactCase{ "Corner", { 120.0f, 120.0f, 50.0f }, true, { 100.0f, 100.0f, 50.0f }, { DIAGONAL, DIAGONAL, 0.0f } },
            // A centre inside is pushed out through the nearest face in the plane of play.
            ContactCase{ "InsideNearTop", { 50.0f, 90.0f, 50.0f }, true, { 50.0f, 100.0f, 50.0f }, { 0.0f, 1.0f, 0.0f } },
            ContactCase{ "InsideNearLeft", { 5.0f, 40.0f, 50.0f }, true, { 0.0f, 40.0f, 50.0f }, { -1.0f, 0.0f, 0.0f } },
            ContactCase{ "InsideNearBottom", { 60.0f, 3.0f, 10.0f }, true, { 60.0f, 0.0f, 10.0f }, { 0.0f, -1.0f, 0.0f } },
            ContactCase{ "InsideNearRight", { 99.0f, 50.0f, 50.0f }, true, { 100.0f, 50.0f, 50.0f }, { 1.0f, 0.0f, 0.0f } }),
        [](const testing::TestParamInfo<ContactCase>& anInfo) { return std::string(anInfo.param.myName); });

    TEST(SphereIntersectsBox, TouchingCountsAndWritesTheClosestPoint)
    {
        Vector3f point;
        EXPECT_TRUE(SphereIntersectsBox({ { 140.0f, 50.0f, 50.0f }, 40.0f }, UNIT_BOX, point));
        EXPECT_EQ(point, Vector3f(100.0f, 50.0f, 50.0f));
        EXPECT_FALSE(SphereIntersectsBox({ { 141.0f, 50.0f, 50.0f }, 40.0f }, UNIT_BOX, point));
        EXPECT_FLOAT_EQ(SquaredDistanceToBox(UNIT_BOX, { 130.0f, 140.0f, 50.0f }), 900.0f + 1600.0f);
        EXPECT_FLOAT_EQ(SquaredDistanceToBox(UNIT_BOX, { 30.0f, 40.0f, 50.0f }), 0.0f);
    }

    TEST(CollisionSet, ReportsWallsThenSolidBoxesThenOneWayBoxes)
    {
        CollisionSet set;
        set.SetOneWayBoxes({ UNIT_BOX });
        set.AddBox(UNIT_BOX);
        set.SetWallBoxes({ UNIT_BOX });
        EXPECT_TRUE(set.HasWallBoxes());

        const std::vector<Contact> contacts = Collide(set, { { 50.0f, 130.0f, 50.0f }, 40.0f });
        ASSERT_EQ(contacts.size(), 3u);
        EXPECT_TRUE(contacts[0].myIsWall);
        EXPECT_FALSE(contacts[1].myIsWall);
        EXPECT_FALSE(contacts[2].myIsWall);
        EXPECT_EQ(contacts[2].myNormal, Vector3f(0.0f, 1.0f, 0.0f));
    }

    TEST(CollisionSet, OneWayBoxesPushOnlyUpAndOnlyFromAbove)
    {
        CollisionSet set;
        set.SetOneWayBoxes({ UNIT_BOX });

        const std::vector<Contact> below = Collide(set, { { 50.0f, -30.0f, 50.0f }, 40.0f });
        ASSERT_EQ(below.size(), 1u);
        EXPECT_EQ(below[0].myNormal, Vector3f(0.0f, 0.0f, 0.0f));

        const std::vector<Contact> side = Collide(set, { { 130.0f, 50.0f, 50.0f }, 40.0f });
        ASSERT_EQ(side.size(), 1u);
        EXPECT_EQ(side[0].myNormal, Vector3f(0.0f, 0.0f, 0.0f));

        // Over the corner, more above than beside: only the upward part stays.
        const std::vector<Contact> corner = Collide(set, { { 110.0f, 120.0f, 50.0f }, 40.0f });
        ASSERT_EQ(corner.size(), 1u);
        EXPECT_FLOAT_EQ(corner[0].myNormal.x, 0.0f);
        EXPECT_NEAR(corner[0].myNormal.y, 2.0f / std::sqrt(5.0f), 1e-5f);
    }

    TEST(CollisionSet, OverlapsAnyWallBoxTouchingIncludedAndReversedAxesAccepted)
    {
        CollisionSet set;
        EXPECT_FALSE(set.Overlaps(UNIT_BOX));
        set.AddBox(UNIT_BOX);
        EXPECT_FALSE(set.Overlaps(UNIT_BOX)) << "only wall boxes count";
        set.SetWallBoxes({ Box{ { 300.0f, 0.0f, 0.0f }, { 200.0f, 100.0f, 100.0f } } });
        EXPECT_TRUE(set.Overlaps({ { 100.0f, 50.0f, 50.0f }, { 200.0f, 60.0f, 60.0f } }));
        EXPECT_TRUE(set.Overlaps({ { 250.0f, 60.0f, 60.0f }, { 240.0f, 50.0f, 50.0f } }));
        EXPECT_FALSE(set.Overlaps({ { 100.0f, 50.0f, 50.0f }, { 199.0f, 60.0f, 60.0f } }));
        EXPECT_FALSE(set.Overlaps({ { 250.0f, 101.0f, 50.0f }, { 260.0f, 120.0f, 60.0f } }));
    }
}
