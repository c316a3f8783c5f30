#include "FbxTestScenes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

using namespace Vra::Fbx;

namespace
{
    struct Format
    {
        const char* myName;
        uint32_t myVersion; // 0: ASCII
        bool myDeflate;
    };

    std::string Encode(const Format& aFormat, const std::string& aText)
    {
        return aFormat.myVersion == 0 ? aText : FbxTest::AsciiToBinary(aText, aFormat.myVersion, aFormat.myDeflate);
    }

    class FbxReaderFormats : public testing::TestWithParam<Format>
    {
    };

    void ExpectVector(const Vector4& anActual, double anX, double aY, double aZ, double aTolerance = 1e-9)
    {
        EXPECT_NEAR(anActual[0], anX, aTolerance);
        EXPECT_NEAR(anActual[1], aY, aTolerance);
        EXPECT_NEAR(anActual[2], aZ, aTolerance);
    }
}

TEST_P(FbxReaderFormats, NodeTreeAttributesAndIds)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const Node* root = imported.myScene->GetRootNode();
    ASSERT_EQ(root->GetChildCount(), 3);
    const Node* hips = root->GetChild(0);
    EXPECT_STREQ(hips->GetName(), "Rig:Hips");
    EXPECT_EQ(hips->GetUniqueID(), 100u);
    ASSERT_NE(hips->GetNodeAttribute(), nullptr);
    EXPECT_EQ(hips->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::Skeleton);
    ASSERT_EQ(hips->GetChildCount(), 1);
    const Node* spine = hips->GetChild(0);
    EXPECT_EQ(spine->GetParent(), hips);
    // The socket has no attribute record; its sub class makes it a null node.
    const Node* socket = imported.Find("Hand_skt");
    ASSERT_NE(socket, nullptr);
    EXPECT_EQ(socket->GetParent(), spine);
    EXPECT_EQ(socket->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::Null);
    EXPECT_EQ(imported.Find("Body")->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::Mesh);
    EXPECT_EQ(imported.Find("Tree_LOD")->GetNodeAttribute()->GetAttributeType(), NodeAttribute::Type::LodGroup);
    // A mesh model without geometry has no attribute.
    EXPECT_EQ(imported.Find("Tree_LOD0")->GetNodeAttribute(), nullptr);
    EXPECT_EQ(imported.Find("NoSuchNode"), nullptr);
}

TEST_P(FbxReaderFormats, MeshGeometryAndLayers)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const Mesh* mesh = imported.Find("Body")->GetMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 5);
    ExpectVector(mesh->GetControlPointAt(4), 2, 0, 0);
    EXPECT_EQ(mesh->GetControlPointAt(4)[3], 1.0);
    ASSERT_EQ(mesh->GetPolygonCount(), 2);
    EXPECT_EQ(mesh->GetPolygonSize(0), 4);
    EXPECT_EQ(mesh->GetPolygonSize(1), 3);
    EXPECT_EQ(mesh->GetPolygonVertex(0, 3), 3);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 1), 4);
    EXPECT_EQ(mesh->GetPolygonVertex(1, 3), -1);
    EXPECT_EQ(mesh->GetPolygonVertexCount(), 7);

    ASSERT_EQ(mesh->GetUVLayerCount(), 1);
    const LayerElementUV* uvs = mesh->GetElementUV(0);
    EXPECT_EQ(uvs->GetName(), "UVMap");
    EXPECT_EQ(uvs->GetMappingMode(), MappingMode::ByPolygonVertex);
    EXPECT_EQ(uvs->GetReferenceMode(), ReferenceMode::IndexToDirect);
    const int uvIndex = mesh->GetTextureUVIndex(1, 1);
    EXPECT_EQ(uvIndex, 4);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(uvIndex)[0], 0.25);
    EXPECT_EQ(uvs->GetDirectArray().GetAt(uvIndex)[1], 0.75);

    const LayerElementNormal* normals = mesh->GetElementNormal(0);
    EXPECT_EQ(normals->GetReferenceMode(), ReferenceMode::Direct);
    EXPECT_EQ(normals->GetDirectArray().GetCount(), 7);
    ExpectVector(normals->GetDirectArray().GetAt(6), 0, 0, 1);
    EXPECT_EQ(mesh->GetElementTangentCount(), 0);

    const LayerElementVertexColor* colors = mesh->GetElementVertexColor(0);
    EXPECT_EQ(colors->GetMappingMode(), MappingMode::ByControlPoint);
    EXPECT_EQ(colors->GetDirectArray().GetAt(1).myGreen, 1.0);
    EXPECT_EQ(colors->GetDirectArray().GetAt(4).myRed, 0.5);

    const LayerElementMaterial* materials = mesh->GetElementMaterial(0);
    EXPECT_EQ(materials->GetMappingMode(), MappingMode::ByPolygon);
    EXPECT_EQ(materials->GetIndexArray().GetAt(1), 1);
}

TEST_P(FbxReaderFormats, SkinClustersAndLinks)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const Mesh* mesh = imported.Find("Body")->GetMesh();
    ASSERT_EQ(mesh->GetSkinCount(), 1);
    const Skin* skin = mesh->GetSkin(0);
    ASSERT_EQ(skin->GetClusterCount(), 2);
    const Cluster* spine = skin->GetCluster(1);
    EXPECT_EQ(spine->GetLink(), imported.Find("Rig:Spine"));
    ASSERT_EQ(spine->GetControlPointIndicesCount(), 2);
    EXPECT_EQ(spine->GetControlPointIndices()[1], 4);
    EXPECT_EQ(spine->GetControlPointWeights()[0], 0.5);
    Matrix link;
    spine->GetTransformLinkMatrix(link);
    ExpectVector(link.GetRow(3), 0, 15, 0);
    ExpectVector(link.GetRow(0), 0, 1, 0);
    // Stored relative to the link (-10 under a link at +10): the mesh sat at the origin.
    Matrix transform;
    skin->GetCluster(0)->GetTransformMatrix(transform);
    ExpectVector(transform.GetT(), 0, 0, 0);
}

TEST_P(FbxReaderFormats, MaterialsAndTextures)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    ASSERT_EQ(imported.myScene->GetMaterialCount(), 2);
    const Node* body = imported.Find("Body");
    ASSERT_EQ(body->GetMaterialCount(), 2);
    EXPECT_EQ(body->GetMaterial(1), imported.myScene->GetMaterial(1));
    const SurfaceMaterial* skin = imported.myScene->GetMaterial(0);
    EXPECT_STREQ(skin->GetName(), "Skin");
    const MaterialProperty diffuse = skin->FindProperty(SurfaceMaterial::DIFFUSE);
    ASSERT_TRUE(diffuse.IsValid());
    EXPECT_EQ(diffuse.GetLayeredTextureCount(), 0);
    ASSERT_EQ(diffuse.GetTextureCount(), 1);
    const FileTexture* file = diffuse.GetTexture(0)->AsFileTexture();
    ASSERT_NE(file, nullptr);
    EXPECT_STREQ(file->GetFileName(), "C:\\work\\textures\\skin_c.png");
    EXPECT_STREQ(file->GetRelativeFileName(), "textures\\skin_c.png");
    EXPECT_TRUE(skin->FindProperty(SurfaceMaterial::EMISSIVE).IsValid());
    EXPECT_EQ(skin->FindProperty(SurfaceMaterial::EMISSIVE).GetTextureCount(), 0);
    EXPECT_FALSE(skin->FindProperty("NoSuchProperty").IsValid());

    const SurfaceMaterial* cloth = imported.myScene->GetMaterial(1);
    const MaterialProperty layered = cloth->FindProperty(SurfaceMaterial::DIFFUSE);
    ASSERT_EQ(layered.GetLayeredTextureCount(), 1);
    EXPECT_EQ(layered.GetTexture(0)->AsFileTexture(), nullptr);
    EXPECT_EQ(layered.GetLayeredTexture(0)->GetTextureCount(), 1);
    const MaterialProperty normalMap = cloth->FindProperty(SurfaceMaterial::NORMAL_MAP);
    ASSERT_EQ(normalMap.GetTextureCount(), 1);
    EXPECT_STREQ(normalMap.GetTexture(0)->AsFileTexture()->GetRelativeFileName(), "maps\\cloth_n.png");
}

TEST_P(FbxReaderFormats, LodThresholdsAndTake)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const LodGroup* lod = imported.Find("Tree_LOD")->GetLodGroup();
    ASSERT_NE(lod, nullptr);
    ASSERT_EQ(lod->GetNumThresholds(), 2);
    Distance distance;
    EXPECT_TRUE(lod->GetThreshold(1, distance));
    EXPECT_EQ(distance.value(), 400.0f);
    EXPECT_FALSE(lod->GetThreshold(2, distance));
    EXPECT_EQ(Distance().value(), 0.0f);

    ASSERT_EQ(imported.myScene->GetAnimStackCount(), 1);
    const AnimStack* stack = imported.myScene->GetAnimStack(0);
    EXPECT_STREQ(stack->GetName(), "Rig|Walk");
    const TakeInfo* take = imported.myScene->GetTakeInfo(stack->GetName());
    ASSERT_NE(take, nullptr);
    const TimeMode mode = imported.myScene->GetGlobalSettings().GetTimeMode();
    EXPECT_EQ(mode.GetFrameRate(), 30.0);
    EXPECT_EQ(take->myLocalTimeSpan.GetStart().GetFrameCount(mode), 0);
    EXPECT_EQ(take->myLocalTimeSpan.GetStop().GetFrameCount(mode), 30);
    EXPECT_DOUBLE_EQ(take->myLocalTimeSpan.GetDuration().GetSecondDouble(), 1.0);
}

TEST_P(FbxReaderFormats, TransformsSampledAtFrames)
{
    const FbxTest::Imported imported(Encode(GetParam(), FbxTest::CHARACTER));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const TimeMode mode = imported.myScene->GetGlobalSettings().GetTimeMode();
    const Node* hips = imported.Find("Rig:Hips");
    const Node* socket = imported.Find("Hand_skt");
    // x of the hips runs linearly from 0 to 30 over the second; y stays at the node's 10.
    for (const int frame : { 0, 15, 30, 45 })
    {
        Time time;
        time.SetFrame(frame, mode);
        const double x = std::min(frame, 30);
        ExpectVector(hips->EvaluateLocalTransform(time).GetT(), x, 10, 0);
        // The spine turns 90 degrees about z, so the socket's local +x points up.
        ExpectVector(socket->EvaluateGlobalTransform(time).GetT(), x, 16, 0, 1e-9);
    }
}

TEST_P(FbxReaderFormats, WithoutGeometryMeshesAreEmptyAndTheRestIsRead)
{
    const std::string file = Encode(GetParam(), FbxTest::CHARACTER);
    IOSettings* settings = IOSettings::Create(nullptr, "no geometry");
    settings->SetBoolProp(IOSettings::GEOMETRY, false);
    const FbxTest::Imported full(file);
    const FbxTest::Imported bare(file, settings);
    settings->Destroy();
    ASSERT_TRUE(full.myOk) << full.myStatus.GetErrorString();
    ASSERT_TRUE(bare.myOk) << bare.myStatus.GetErrorString();

    const Mesh* mesh = bare.Find("Body")->GetMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 0);
    EXPECT_EQ(mesh->GetPolygonCount(), 0);
    EXPECT_EQ(mesh->GetLayerCount(), 0);
    ASSERT_EQ(mesh->GetSkinCount(), 1);
    for (int cluster = 0; cluster < mesh->GetSkin(0)->GetClusterCount(); ++cluster)
    {
        EXPECT_EQ(mesh->GetSkin(0)->GetCluster(cluster)->GetControlPointIndicesCount(), 0);
        EXPECT_NE(mesh->GetSkin(0)->GetCluster(cluster)->GetLink(), nullptr);
    }
    ASSERT_EQ(bare.myScene->GetNodeCount(), full.myScene->GetNodeCount());
    const TimeMode mode = full.myScene->GetGlobalSettings().GetTimeMode();
    Time time;
    time.SetFrame(12, mode);
    for (int index = 0; index < full.myScene->GetNodeCount(); ++index)
    {
        const Node* node = full.myScene->GetNode(index);
        const Node* same = bare.myScene->GetNode(index);
        ASSERT_EQ(same->GetNameString(), node->GetNameString());
        EXPECT_EQ(same->EvaluateGlobalTransform(time), node->EvaluateGlobalTransform(time)) << node->GetNameString();
    }
}

TEST(FbxReaderGeometry, ArraysOfGeometryThatIsNotReadAreNotDecoded)
{
    // The character with the checksum of its deflated vertex array broken.
    std::string file = FbxTest::AsciiToBinary(FbxTest::CHARACTER, 7500, true);
    const std::size_t vertices = file.find("Vertices");
    ASSERT_NE(vertices, std::string::npos);
    uint32_t storedBytes = 0;
    std::memcpy(&storedBytes, file.data() + vertices + 8 + 1 + 8, sizeof(storedBytes));
    file[vertices + 8 + 1 + 12 + storedBytes - 1] ^= 0x55;
    EXPECT_FALSE(FbxTest::Imported(file).myOk);
    IOSettings* settings = IOSettings::Create(nullptr, "no geometry");
    settings->SetBoolProp(IOSettings::GEOMETRY, false);
    const FbxTest::Imported bare(file, settings);
    settings->Destroy();
    EXPECT_TRUE(bare.myOk) << bare.myStatus.GetErrorString();
    EXPECT_NE(bare.Find("Rig:Hips"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Formats, FbxReaderFormats,
                         testing::Values(Format{ "Ascii", 0, false }, Format{ "Binary7400", 7400, false },
                                         Format{ "Binary7500Deflated", 7500, true }),
                         [](const testing::TestParamInfo<Format>& anInfo) { return anInfo.param.myName; });

TEST(FbxReaderThreads, ImportersOfOneManagerRunTogether)
{
    // Two loading threads share the manager while each reads, converts and samples its own scene.
    Manager* manager = Manager::Create();
    const std::string binary = FbxTest::AsciiToBinary(FbxTest::CHARACTER, 7500, true);
    std::vector<std::thread> threads;
    std::atomic<int> good = 0;
    for (int thread = 0; thread < 4; ++thread)
    {
        threads.emplace_back([&, thread] {
            for (int round = 0; round < 20; ++round)
            {
                const std::string& bytes = thread % 2 ? binary : std::string(FbxTest::CHARACTER);
                Importer* importer = Importer::Create(manager, "");
                Scene* scene = Scene::Create(manager, "The Scene");
                if (importer->InitializeFromMemory(bytes.data(), bytes.size()) && importer->Import(scene))
                {
                    SystemUnit::cm.ConvertScene(scene);
                    GeometryConverter(manager).Triangulate(scene, true);
                    AxisSystem(AxisSystem::PreDefined::DirectX).DeepConvertScene(scene);
                    Time time;
                    time.SetFrame(15, scene->GetGlobalSettings().GetTimeMode());
                    const Vector4 hips = scene->FindNodeByName("Rig:Hips")->EvaluateGlobalTransform(time).GetT();
                    good += std::abs(hips[0] - 15.0) < 1e-9 && std::abs(hips[1] - 10.0) < 1e-9 ? 1 : 0;
                }
                // Half the scenes are left for the manager to destroy.
                if (round % 2)
                {
                    scene->Destroy();
                }
                importer->Destroy();
            }
        });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(good, 80);
    manager->Destroy();
}
