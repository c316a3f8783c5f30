#include "RigFiles.h"

// Where the models stand in their own space decides where the game draws them: the bird on the
// player's feet, the fox on the ground below its event, the beetle round its pad's sphere, and
// each prop over the box or sphere its object collides with.
using namespace RigFiles;
using Vra::FBX::ImportedModel;

namespace
{
    void ExpectBox(const ImportedModel& aModel, const Vec3& aMin, const Vec3& aMax, float aTolerance, const std::string& aWhat)
    {
        for (int axis = 0; axis < 3; ++axis)
        {
            EXPECT_NEAR(aModel.Box.Min[axis], aMin[axis], aTolerance) << aWhat << " axis " << axis;
            EXPECT_NEAR(aModel.Box.Max[axis], aMax[axis], aTolerance) << aWhat << " axis " << axis;
        }
    }
}

TEST(ContentPlacement, BirdStandsOnThePlayersFeetAtItsSize)
{
    const ImportedModel& bird = Model("animation/Bird/SK_bird.fbx");
    const Vec3 size = BoxSize(bird);
    // Drawn at 0.8, over the player's sphere of radius 40 whose centre is 40 above the feet.
    EXPECT_NEAR(bird.Box.Min[1], 0.f, 1.5f) << "feet on the ground";
    EXPECT_GT(size[1] * 0.8f, 80.f);
    EXPECT_LT(size[1] * 0.8f, 100.f);
    EXPECT_LT(size[0] * 0.8f, 100.f);
    EXPECT_LT(std::abs(bird.Box.Min[2] + bird.Box.Max[2]), 1.f) << "centred across the view";
    EXPECT_LT(std::abs(bird.Box.Min[0] + bird.Box.Max[0]), 30.f) << "centred on its feet along x";
}

TEST(ContentPlacement, FoxStandsOnTheGroundAndBeetleAroundItsMiddle)
{
    const ImportedModel& fox = Model("animation/Fox/SK_fox.fbx");
    EXPECT_NEAR(fox.Box.Min[1], 0.f, 2.f);
    // The attack draws it at 0.5, 100 below its event's point, over an attack box 144 high and
    // 360 long centred on that point.
    EXPECT_GT(BoxSize(fox)[1] * 0.5f, 130.f);
    EXPECT_LT(BoxSize(fox)[1] * 0.5f, 200.f);
    EXPECT_GT(BoxSize(fox)[0] * 0.5f, 300.f);
    EXPECT_LT(BoxSize(fox)[0] * 0.5f, 450.f);

    // The beetle is drawn at scale 1 with its origin on its pad's sphere centre.
    const ImportedModel& beetle = Model("animation/Beetle/SK_Beetle.fbx");
    for (int axis = 0; axis < 3; ++axis)
    {
        EXPECT_LT(std::abs(beetle.Box.Min[axis] + beetle.Box.Max[axis]) / 2.f, 15.f) << axis;
    }
    EXPECT_GT(BoxSize(beetle)[2], 80.f) << "long along +z, where it faces";
}

TEST(ContentPlacement, PropsCoverTheBoxesAndSpheresOfTheirObjects)
{
    const struct
    {
        std::string myName;
        Vec3 myMin;
        Vec3 myMax;
        float myTolerance;
    } props[] = {
        // A box object spans p to p + 100 s, so its model spans 0..100.
        {"SM_Box", {0.f, 0.f, 0.f}, {100.f, 100.f, 100.f}, 1e-3f},
        // A checkpoint's box: x and z as a box, y from p.y to p.y + 500.
        {"SM_Checkpoint", {0.f, 0.f, 0.f}, {100.f, 500.f, 100.f}, 1e-3f},
        // A pad's sphere sits one radius right of and above its point: Radius 0.5 fills 0..100.
        {"SM_Mushroom", {0.f, 0.f, 0.f}, {100.f, 100.f, 100.f}, 3.f},
        // A pickup's sphere sits one radius above its point: Radius 0.5 spans x -50..50, y 0..100.
        {"SM_Pickup", {-50.f, 0.f, -5.f}, {50.f, 100.f, 5.f}, 1.f},
    };
    const nlohmann::json& facts = Facts()["props"];
    for (const auto& prop : props)
    {
        ASSERT_TRUE(facts.contains(prop.myName)) << prop.myName;
        const nlohmann::json& entry = facts[prop.myName];
        const std::string path = entry["model"];
        const ImportedModel& model = Model(path);
        ASSERT_EQ(model.Meshes.size(), 1u) << path;
        EXPECT_TRUE(model.Skeleton.Joints.empty()) << path;
        EXPECT_EQ(model.Meshes[0].Indices.size() / 3, entry["triangles"].get<std::size_t>()) << path;
        ExpectBox(model, prop.myMin, prop.myMax, prop.myTolerance, path);
        EXPECT_EQ(InwardTriangles(model), 0u) << path;

        // The model factory looks for "<material>_C.dds" beside the model.
        ASSERT_EQ(model.Materials.size(), 1u) << path;
        const std::string texture = entry["texture"];
        EXPECT_EQ(texture, path.substr(0, path.rfind('/') + 1) + model.Materials[0].MaterialName + "_C.dds");
        EXPECT_EQ(UnpaintedTexels(model, texture), 0u) << texture;
    }
}
