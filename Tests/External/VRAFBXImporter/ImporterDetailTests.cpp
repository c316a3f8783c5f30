#include "ImporterDetail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using namespace Vra::FBX;
using namespace Vra::FBX::impl;

namespace
{
    ImportedVertex SampleVertex()
    {
        ImportedVertex vertex;
        const float position[4] = {1.5f, -2.f, 3.25f, 1.f};
        std::memcpy(vertex.Position, position, sizeof(position));
        vertex.VertexColors[0][0] = 0.5f;
        vertex.VertexColors[2][3] = 1.f;
        vertex.UVs[0][0] = 0.25f;
        vertex.UVs[0][1] = 0.75f;
        vertex.UVs[3][1] = 0.125f;
        vertex.Normal[2] = 1.f;
        vertex.Tangent[0] = 1.f;
        vertex.Binormal[1] = 1.f;
        vertex.BoneIDs[0] = 3;
        vertex.BoneIDs[1] = 1;
        vertex.BoneWeights[0] = 0.75f;
        vertex.BoneWeights[1] = 0.25f;
        return vertex;
    }

    // The same rule written over the vertex's 45 packed fields, skipping the fourth (position w).
    std::uint64_t ReferenceHash(const ImportedVertex& aVertex)
    {
        std::uint32_t fields[45];
        std::memcpy(fields, &aVertex, sizeof(fields));
        std::uint64_t seed = 0;
        for (int field = 0; field < 45; ++field)
        {
            if (field == 3)
            {
                continue;
            }
            std::uint32_t bits = fields[field];
            if (field < 37 || field > 40)
            {
                bits = bits == 0x80000000u ? 0u : bits; // negative zero counts as zero
            }
            std::uint64_t hash = 0xcbf29ce484222325ull;
            for (int byte = 0; byte < 4; ++byte)
            {
                hash = (hash ^ ((bits >> (8 * byte)) & 0xffu)) * 0x100000001b3ull;
            }
            seed ^= hash + 0x9e3779b9ull + (seed << 6) + (seed >> 2);
        }
        return seed;
    }
}

TEST(HashVertex, FollowsFieldOrderWithFnvAndSeedCombination)
{
    EXPECT_EQ(HashVertex(SampleVertex()), ReferenceHash(SampleVertex()));
    EXPECT_EQ(HashVertex(ImportedVertex{}), ReferenceHash(ImportedVertex{}));
}

TEST(HashVertex, IgnoresFourthPositionComponentAndSignOfZero)
{
    ImportedVertex other = SampleVertex();
    other.Position[3] = 0.f;
    EXPECT_EQ(HashVertex(other), HashVertex(SampleVertex()));

    other = SampleVertex();
    other.Normal[0] = -0.f;
    other.UVs[1][0] = -0.f;
    other.BoneWeights[3] = -0.f;
    EXPECT_EQ(HashVertex(other), HashVertex(SampleVertex()));
}

TEST(HashVertex, EveryOtherFieldChangesTheHash)
{
    const std::pair<const char*, std::function<void(ImportedVertex&)>> changes[] = {
        {"position x", [](ImportedVertex& v) { v.Position[0] += 1.f; }},
        {"position z", [](ImportedVertex& v) { v.Position[2] = 0.f; }},
        {"colour", [](ImportedVertex& v) { v.VertexColors[3][1] = 0.1f; }},
        {"uv", [](ImportedVertex& v) { v.UVs[2][0] = 0.5f; }},
        {"normal", [](ImportedVertex& v) { v.Normal[1] = 0.2f; }},
        {"tangent", [](ImportedVertex& v) { v.Tangent[2] = 1.f; }},
        {"binormal", [](ImportedVertex& v) { v.Binormal[0] = 1.f; }},
        {"bone index", [](ImportedVertex& v) { v.BoneIDs[3] = 7; }},
        {"bone weight", [](ImportedVertex& v) { v.BoneWeights[2] = 0.5f; }},
        {"swapped bones", [](ImportedVertex& v) { std::swap(v.BoneIDs[0], v.BoneIDs[1]); }},
    };
    const std::uint64_t original = HashVertex(SampleVertex());
    for (const auto& [what, change] : changes)
    {
        ImportedVertex vertex = SampleVertex();
        change(vertex);
        EXPECT_NE(HashVertex(vertex), original) << what;
    }
}

TEST(MergeBoxes, KeepsOuterCornersAndLargestHalfExtentAsRadius)
{
    const float firstMin[3] = {-1.f, 0.f, 2.f}, firstMax[3] = {1.f, 4.f, 3.f};
    const float secondMin[3] = {0.f, -6.f, 2.5f}, secondMax[3] = {5.f, 1.f, 2.75f};
    const ImportedBounds merged = MergeBoxes(BoundsFromExtremes(firstMin, firstMax), BoundsFromExtremes(secondMin, secondMax));
    const ImportedBox box = BoxFromBounds(merged);
    const float expectedMin[3] = {-1.f, -6.f, 2.f}, expectedMax[3] = {5.f, 4.f, 3.f};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ(box.Min[i], expectedMin[i]);
        EXPECT_FLOAT_EQ(box.Max[i], expectedMax[i]);
    }
    EXPECT_FLOAT_EQ(merged.Radius, 5.f);
    EXPECT_EQ(box.IsValid, 1u);
}

TEST(MergeBoxes, ZeroBoundsAlwaysHoldTheOrigin)
{
    const float min[3] = {10.f, 20.f, 30.f}, max[3] = {11.f, 21.f, 31.f};
    const ImportedBox box = BoxFromBounds(MergeBoxes(ImportedBounds{}, BoundsFromExtremes(min, max)));
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ(box.Min[i], 0.f);
        EXPECT_FLOAT_EQ(box.Max[i], max[i]);
    }
}

TEST(ImporterNames, ShortNamesSkeletonNamesAndTextureNames)
{
    const struct
    {
        const char* myName;
        const char* myShort;
        const char* mySkeleton;
    } joints[] = {
        {"Rig:Spine", "Spine", "Rig"},
        {"Outer:Inner:Hand", "Hand", "Outer"},
        {"Pelvis", "Pelvis", "SK_bird"},
        {"Trailing:", "", "Trailing"},
    };
    for (const auto& joint : joints)
    {
        EXPECT_EQ(ShortName(joint.myName), joint.myShort) << joint.myName;
        EXPECT_EQ(SkeletonName(joint.myName, "animation/Bird/SK_bird.fbx"), joint.mySkeleton) << joint.myName;
    }

    const std::pair<const char*, const char*> paths[] = {
        {"animation/Bird/SK_bird.fbx", "SK_bird"},
        {"C:\\Art\\Fox.fbx", "Fox"},
        {"mixed/dir\\Box.fbx", "Box"},
        {"a.b", "a.b"},
        {"abcd", ""},
    };
    for (const auto& [path, name] : paths)
    {
        EXPECT_EQ(SkeletonName("Hips", path), name) << path;
    }

    EXPECT_EQ(AfterLastBackslash("textures\\Stone_D.dds"), "Stone_D.dds");
    EXPECT_EQ(AfterLastBackslash("textures/Stone_D.dds"), "textures/Stone_D.dds");
}

TEST(ImportedRecords, MatrixIsRowMajorFromOneAndStartsAsIdentity)
{
    ImportedMatrix matrix;
    for (int row = 1; row <= 4; ++row)
    {
        for (int column = 1; column <= 4; ++column)
        {
            EXPECT_EQ(matrix(row, column), row == column ? 1.f : 0.f);
        }
    }
    matrix(4, 2) = 7.f;
    EXPECT_EQ(matrix.Data[13], 7.f);

    const ImportedSkeleton skeleton;
    EXPECT_GE(skeleton.Sockets.bucket_count(), 8u);
    EXPECT_GE(skeleton.JointNameToIndex.bucket_count(), 8u);
    EXPECT_FLOAT_EQ(skeleton.Sockets.max_load_factor(), 1.f);
}

TEST(ToFloat, SaturatesValuesBeyondFloatRangeAndKeepsTheRest)
{
    constexpr float largest = std::numeric_limits<float>::max();
    const struct
    {
        double myValue;
        float myExpected;
    } cases[] = {
        { 1.5, 1.5f },
        { -2.25, -2.25f },
        { 1e300, largest },
        { -1e300, -largest },
        { std::numeric_limits<double>::infinity(), largest },
        { -std::numeric_limits<double>::infinity(), -largest },
    };
    for (const auto& testCase : cases)
    {
        EXPECT_EQ(ToFloat(testCase.myValue), testCase.myExpected) << testCase.myValue;
    }
    EXPECT_TRUE(std::isnan(ToFloat(std::numeric_limits<double>::quiet_NaN())));
}
