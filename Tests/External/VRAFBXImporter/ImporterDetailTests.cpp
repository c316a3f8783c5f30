#include "ImporterDetail.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

    // Welds one vertex into someVertices and says whether it was taken as new.
    bool WeldedAsNew(VertexWelder& aWelder, std::vector<ImportedVertex>& someVertices, const ImportedVertex& aVertex)
    {
        const std::size_t before = someVertices.size();
        const std::uint32_t index = aWelder.Weld(aVertex, someVertices);
        EXPECT_LT(index, someVertices.size());
        return someVertices.size() > before && index == before;
    }
}

TEST(VertexWelder, IgnoresFourthPositionComponentAndSignOfZero)
{
    VertexWelder welder;
    std::vector<ImportedVertex> vertices;
    ASSERT_TRUE(WeldedAsNew(welder, vertices, SampleVertex()));
    ImportedVertex other = SampleVertex();
    other.Position[3] = 0.f;
    EXPECT_EQ(welder.Weld(other, vertices), 0u);

    other = SampleVertex();
    other.Normal[0] = -0.f;
    other.UVs[1][0] = -0.f;
    other.BoneWeights[3] = -0.f;
    EXPECT_EQ(welder.Weld(other, vertices), 0u);
    EXPECT_EQ(vertices.size(), 1u);
    EXPECT_EQ(PackVertex(other), PackVertex(SampleVertex()));
}

TEST(VertexWelder, EveryOtherFieldTellsVerticesApart)
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
        {"bone index past the sign bit", [](ImportedVertex& v) { v.BoneIDs[2] = 0x80000000u; }},
        {"bone weight", [](ImportedVertex& v) { v.BoneWeights[2] = 0.5f; }},
        {"swapped bones", [](ImportedVertex& v) { std::swap(v.BoneIDs[0], v.BoneIDs[1]); }},
    };
    for (const auto& change : changes)
    {
        VertexWelder welder;
        std::vector<ImportedVertex> vertices;
        ASSERT_TRUE(WeldedAsNew(welder, vertices, SampleVertex()));
        ImportedVertex vertex = SampleVertex();
        change.second(vertex);
        EXPECT_TRUE(WeldedAsNew(welder, vertices, vertex)) << change.first;
        EXPECT_EQ(welder.Weld(vertex, vertices), 1u) << change.first;
    }
}

TEST(VertexWelder, KeepsEveryIndexAsTheTableGrows)
{
    VertexWelder welder;
    std::vector<ImportedVertex> vertices;
    std::vector<std::uint32_t> indices;
    for (int i = 0; i < 20000; ++i)
    {
        ImportedVertex vertex = SampleVertex();
        vertex.Position[0] = static_cast<float>(i % 5000);
        vertex.UVs[0][0] = static_cast<float>(i / 5000) * 0.25f;
        indices.push_back(welder.Weld(vertex, vertices));
    }
    ASSERT_EQ(vertices.size(), 20000u);
    for (int i = 0; i < 20000; ++i)
    {
        EXPECT_EQ(indices[static_cast<std::size_t>(i)], static_cast<std::uint32_t>(i));
        // Welding a copy again, after every growth, finds the first one.
        EXPECT_EQ(welder.Weld(vertices[static_cast<std::size_t>(i)], vertices), static_cast<std::uint32_t>(i));
    }
    EXPECT_EQ(vertices.size(), 20000u);
}

TEST(SharedPositions, MarksEveryPointWhosePositionAnotherHasAsVerticesCompareThem)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::array<float, 3>> positions = {
        {1.f, 2.f, 3.f},   // 0: with 3 and 6
        {1.f, 2.f, 4.f},   // 1: alone
        {0.f, -0.f, 5.f},  // 2: with 4 (-0 is +0)
        {1.f, 2.f, 3.f},   // 3
        {-0.f, 0.f, 5.f},  // 4
        {nan, 0.f, 0.f},   // 5: with 7 (the same bits)
        {1.f, 2.f, 3.f},   // 6
        {nan, 0.f, 0.f},   // 7
        {2.f, 1.f, 3.f},   // 8: alone (the same numbers, in another order)
    };
    const std::vector<bool> expected = {true, false, true, true, true, true, true, true, false};
    EXPECT_EQ(SharedPositions(positions), expected);

    // Past the table's first size, every point alone but the last, which repeats the first.
    std::vector<std::array<float, 3>> many;
    for (int i = 0; i < 5000; ++i)
    {
        many.push_back({static_cast<float>(i % 70), static_cast<float>(i / 70), 0.f});
    }
    many.push_back(many.front());
    const std::vector<bool> shared = SharedPositions(many);
    EXPECT_TRUE(shared.front());
    EXPECT_TRUE(shared.back());
    EXPECT_EQ(std::count(shared.begin(), shared.end(), true), 2);
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
