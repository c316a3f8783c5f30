// The reader on files Blender wrote (Tools/fbx/make_test_fbx.py), against the values Blender
// itself reported for the same scenes (expected.json: centimetres, Blender's z-up axes).
#include "fbx/Fbx.h"

#include "FbxTestFiles.h"
#include "FbxTestScenes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace Vra::Fbx;

namespace
{
    using FbxTestFiles::Expected;

    struct Loaded
    {
        Manager* myManager = Manager::Create();
        Scene* myScene = Scene::Create(myManager, "The Scene");
        bool myOk = false;
        std::string myError;

        explicit Loaded(const char* aFile)
        {
            Importer* importer = Importer::Create(myManager, "");
            myOk = importer->Initialize((FbxTestFiles::Folder() / aFile).string().c_str(), -1, nullptr) && importer->Import(myScene);
            myError = importer->GetStatus().GetErrorString();
            importer->Destroy();
        }
        ~Loaded() { myManager->Destroy(); }
        Loaded(const Loaded&) = delete;
        Loaded& operator=(const Loaded&) = delete;
    };

    // Blender's z-up (x, y, z) is the files' y-up (x, z, -y).
    Vector4 FromBlender(const nlohmann::json& aPoint)
    {
        return Vector4(aPoint[0].get<double>(), aPoint[2].get<double>(), -aPoint[1].get<double>());
    }

    using FbxTest::ExpectVector;

    struct Box
    {
        Vector4 myMin{ 1e30, 1e30, 1e30 };
        Vector4 myMax{ -1e30, -1e30, -1e30 };
    };

    // The mesh's control points placed by its node's global transform.
    Box WorldBox(const Node& aNode)
    {
        Box box;
        const Matrix global = aNode.EvaluateGlobalTransform();
        const Mesh& mesh = *aNode.GetMesh();
        for (int index = 0; index < mesh.GetControlPointsCount(); ++index)
        {
            const Vector4 point = global.MultT(mesh.GetControlPointAt(index));
            for (int axis = 0; axis < 3; ++axis)
            {
                box.myMin[axis] = std::min(box.myMin[axis], point[axis]);
                box.myMax[axis] = std::max(box.myMax[axis], point[axis]);
            }
        }
        return box;
    }

    void ExpectBox(const Box& aBox, const nlohmann::json& someFacts)
    {
        // Blender's y turns into -z, so its minimum becomes the maximum.
        const Vector4 low = FromBlender(someFacts["world_min"]);
        const Vector4 high = FromBlender(someFacts["world_max"]);
        ExpectVector(aBox.myMin, Vector4(low[0], low[1], high[2]), 1e-4);
        ExpectVector(aBox.myMax, Vector4(high[0], high[1], low[2]), 1e-4);
    }
}

TEST(FbxBlenderFiles, CharacterJointsSocketAndEventFollowTheTake)
{
    const Loaded loaded("character.fbx");
    ASSERT_TRUE(loaded.myOk) << loaded.myError;
    const nlohmann::json& facts = Expected()["character"];
    for (const nlohmann::json& joint : facts["joints"])
    {
        const Node* node = loaded.myScene->FindNodeByName(joint["name"].get<std::string>());
        ASSERT_NE(node, nullptr) << joint["name"];
        EXPECT_EQ(node->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::Skeleton);
        if (!joint["parent"].is_null())
        {
            EXPECT_EQ(node->GetParent()->GetNameString(), joint["parent"].get<std::string>());
        }
    }
    const GlobalSettings& settings = loaded.myScene->GetGlobalSettings();
    EXPECT_EQ(settings.GetFrameRate(), Expected()["fps"].get<double>());
    const TakeInfo* take = loaded.myScene->GetTakeInfo(loaded.myScene->GetAnimStack(0)->GetName());
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(take->myLocalTimeSpan.GetStart().GetFrameCount(settings.GetTimeMode()), Expected()["first_frame"].get<int>());
    EXPECT_EQ(take->myLocalTimeSpan.GetStop().GetFrameCount(settings.GetTimeMode()), Expected()["last_frame"].get<int>());

    const Node* socket = loaded.myScene->FindNodeByName("Hand_skt");
    const Node* event = loaded.myScene->FindNodeByName("Step_evt");
    ASSERT_NE(socket, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::Null);
    for (const auto& [frameText, frame] : facts["frames"].items())
    {
        SCOPED_TRACE("frame " + frameText);
        Time time;
        time.SetFrame(std::stoi(frameText), settings.GetTimeMode());
        for (const auto& [name, head] : frame["heads"].items())
        {
            SCOPED_TRACE(name);
            ExpectVector(loaded.myScene->FindNodeByName(name)->EvaluateGlobalTransform(time).GetT(), FromBlender(head), 1e-3);
        }
        ExpectVector(socket->EvaluateGlobalTransform(time).GetT(), FromBlender(frame["socket"]), 1e-3);
        ExpectVector(event->EvaluateGlobalTransform(time).GetT(), FromBlender(frame["event"]), 1e-3);
    }
}

TEST(FbxBlenderFiles, CharacterMeshSkinWeightsAndBindPose)
{
    const Loaded loaded("character.fbx");
    ASSERT_TRUE(loaded.myOk) << loaded.myError;
    const nlohmann::json& facts = Expected()["character"];
    const Node* body = loaded.myScene->FindNodeByName("Body");
    ASSERT_NE(body, nullptr);
    Mesh& mesh = *body->GetMesh();
    EXPECT_EQ(mesh.GetControlPointsCount(), facts["mesh"]["control_points"].get<int>());
    EXPECT_EQ(mesh.GetPolygonCount(), facts["mesh"]["polygons"].get<int>());
    ExpectBox(WorldBox(*body), facts["mesh"]);
    EXPECT_EQ(mesh.GetUVLayerCount(), 1);

    // Every control point's weights add up to one; each cluster's link sits at its joint's rest head.
    ASSERT_EQ(mesh.GetSkinCount(), 1);
    const Skin& skin = *mesh.GetSkin(0);
    std::vector<double> totals(mesh.GetControlPointsCount(), 0.0);
    for (int index = 0; index < skin.GetClusterCount(); ++index)
    {
        const Cluster& cluster = *skin.GetCluster(index);
        ASSERT_NE(cluster.GetLink(), nullptr);
        for (int at = 0; at < cluster.GetControlPointIndicesCount(); ++at)
        {
            totals[cluster.GetControlPointIndices()[at]] += cluster.GetControlPointWeights()[at];
        }
        for (const nlohmann::json& joint : facts["joints"])
        {
            if (joint["name"] == cluster.GetLink()->GetNameString())
            {
                Matrix link;
                cluster.GetTransformLinkMatrix(link);
                ExpectVector(link.GetT(), FromBlender(joint["head"]), 1e-3);
            }
        }
    }
    for (const double total : totals)
    {
        EXPECT_NEAR(total, 1.0, 1e-5);
    }

    GeometryConverter converter(loaded.myManager);
    ASSERT_TRUE(converter.Triangulate(loaded.myScene, true, false));
    EXPECT_EQ(mesh.GetPolygonCount(), facts["mesh"]["triangles"].get<int>());
    EXPECT_TRUE(mesh.GenerateTangentsData(0, false, false));
    // A frame for every corner, each corner indexing one of the distinct frames.
    const LayerElementTangent& tangents = *mesh.GetElementTangent(0);
    ASSERT_EQ(tangents.GetReferenceMode(), ReferenceMode::IndexToDirect);
    ASSERT_EQ(tangents.GetIndexArray().GetCount(), mesh.GetPolygonVertexCount());
    EXPECT_LE(tangents.GetDirectArray().GetCount(), mesh.GetPolygonVertexCount());
    for (const int frame : tangents.GetIndexArray().GetValues())
    {
        ASSERT_TRUE(frame >= 0 && frame < tangents.GetDirectArray().GetCount());
    }
}

TEST(FbxBlenderFiles, CubesAgreeAfterUnitAndAxisConversion)
{
    const nlohmann::json& facts = Expected()["cube"];
    const Loaded centimetres("cube_cm.fbx");
    const Loaded metres("cube_m.fbx");
    const Loaded zUp("cube_zup.fbx");
    ASSERT_TRUE(centimetres.myOk && metres.myOk && zUp.myOk);
    for (const Loaded* loaded : { &centimetres, &metres, &zUp })
    {
        EXPECT_EQ(loaded->myScene->FindNodeByName("Cube")->GetMesh()->GetControlPointsCount(), facts["control_points"].get<int>());
    }
    EXPECT_EQ(metres.myScene->GetGlobalSettings().GetSystemUnit(), SystemUnit::m);
    SystemUnit::cm.ConvertScene(metres.myScene);
    ExpectBox(WorldBox(*centimetres.myScene->FindNodeByName("Cube")), facts);
    ExpectBox(WorldBox(*metres.myScene->FindNodeByName("Cube")), facts);

    // The z-up file, turned into the y-up files' axes, lands where they are.
    ASSERT_NE(zUp.myScene->GetGlobalSettings().GetAxisSystem(), centimetres.myScene->GetGlobalSettings().GetAxisSystem());
    centimetres.myScene->GetGlobalSettings().GetAxisSystem().DeepConvertScene(zUp.myScene);
    ExpectBox(WorldBox(*zUp.myScene->FindNodeByName("Cube")), facts);
}

TEST(FbxBlenderFiles, TwoMaterialsSplitThePolygons)
{
    const Loaded loaded("two_materials.fbx");
    ASSERT_TRUE(loaded.myOk) << loaded.myError;
    const nlohmann::json& facts = Expected()["materials"];
    ASSERT_EQ(loaded.myScene->GetMaterialCount(), 2);
    const Node* crate = loaded.myScene->FindNodeByName("Crate");
    ASSERT_EQ(crate->GetMaterialCount(), 2);
    std::vector<int> perMaterial(2, 0);
    const Mesh& mesh = *crate->GetMesh();
    const LayerElementMaterial& materials = *mesh.GetElementMaterial(0);
    for (int polygon = 0; polygon < mesh.GetPolygonCount(); ++polygon)
    {
        const int slot = materials.GetIndexArray().GetAt(polygon);
        ASSERT_TRUE(slot == 0 || slot == 1);
        ++perMaterial[slot];
    }
    for (int slot = 0; slot < 2; ++slot)
    {
        EXPECT_EQ(crate->GetMaterial(slot)->GetNameString(), facts["names"][slot].get<std::string>());
        EXPECT_EQ(perMaterial[slot], facts["polygons_per_material"][slot].get<int>());
    }
    const MaterialProperty normalMap = crate->GetMaterial(1)->FindProperty(SurfaceMaterial::NORMAL_MAP);
    ASSERT_EQ(normalMap.GetTextureCount(), 1);
    EXPECT_STREQ(normalMap.GetTexture(0)->AsFileTexture()->GetRelativeFileName(), "textures/Blue_N.png");
    EXPECT_EQ(crate->GetMaterial(0)->FindProperty(SurfaceMaterial::NORMAL_MAP).GetTextureCount(), 0);
}
