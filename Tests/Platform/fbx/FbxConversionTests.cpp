#include "FbxTestScenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace Vra::Fbx;

namespace
{
    using FbxTest::ExpectVector;

    using FbxTest::Replace;

    Time Frame(int aFrame)
    {
        Time time;
        time.SetFrame(aFrame, TimeMode(TimeMode::Frames30));
        return time;
    }

    // The character with its global settings and one cluster changed.
    std::string Character(const std::string& aUnit, const std::string& someAxes)
    {
        std::string text = Replace(FbxTest::CHARACTER, "\"UnitScaleFactor\", \"double\", \"Number\", \"\",1",
                                   "\"UnitScaleFactor\", \"double\", \"Number\", \"\"," + aUnit);
        text = Replace(text, "a: 1,0,0,0,0,1,0,0,0,0,1,0,0,-10,0,1", "a: 1,0,0,0,0,1,0,0,0,0,1,0,0,-10,4,1");
        const size_t start = text.find("\t\tP: \"UpAxis\"");
        const size_t end = text.find("\t\tP: \"UnitScaleFactor\"");
        text.replace(start, end - start, someAxes);
        return text;
    }

    const std::string Y_UP = "\t\tP: \"UpAxis\", \"int\", \"Integer\", \"\",1\n"
                             "\t\tP: \"FrontAxis\", \"int\", \"Integer\", \"\",2\n"
                             "\t\tP: \"CoordAxis\", \"int\", \"Integer\", \"\",0\n";
    // Up z, front -y, coord x: right-handed, as modelling packages with z up write it.
    const std::string Z_UP = "\t\tP: \"UpAxis\", \"int\", \"Integer\", \"\",2\n"
                             "\t\tP: \"FrontAxis\", \"int\", \"Integer\", \"\",1\n"
                             "\t\tP: \"FrontAxisSign\", \"int\", \"Integer\", \"\",-1\n"
                             "\t\tP: \"CoordAxis\", \"int\", \"Integer\", \"\",0\n";
}

TEST(FbxUnitConversion, MetresBecomeCentimetresEverywhere)
{
    const FbxTest::Imported imported(Character("100", Y_UP));
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    Scene& scene = *imported.myScene;
    EXPECT_EQ(scene.GetGlobalSettings().GetSystemUnit(), SystemUnit::m);
    SystemUnit::ConversionOptions options;
    options.myConvertRrsNodes = false;
    SystemUnit::cm.ConvertScene(&scene, options);
    EXPECT_EQ(scene.GetGlobalSettings().GetSystemUnit(), SystemUnit::cm);

    const Mesh* mesh = imported.Find("Body")->GetMesh();
    ExpectVector(mesh->GetControlPointAt(2), Vector4(100, 100, 0));
    EXPECT_EQ(mesh->GetControlPointAt(2)[3], 1.0);
    Matrix transform;
    mesh->GetSkin(0)->GetCluster(0)->GetTransformMatrix(transform);
    // The stored (0, -10, 4) under the link at (0, 10, 0): the mesh's bind transform is (0, 0, 4) m.
    ExpectVector(transform.GetT(), Vector4(0, 0, 400));
    ExpectVector(transform.GetRow(0), Vector4(1, 0, 0));
    // Static and animated translations scale, rotations do not.
    ExpectVector(imported.Find("Rig:Hips")->EvaluateLocalTransform(Frame(15)).GetT(), Vector4(1500, 1000, 0));
    ExpectVector(imported.Find("Hand_skt")->EvaluateGlobalTransform(Frame(30)).GetT(), Vector4(3000, 1600, 0));
    ExpectVector(imported.Find("Rig:Spine")->EvaluateLocalTransform().GetR(), Vector4(0, 0, 90));
}

TEST(FbxUnitConversion, ClustersStayWhenNotAsked)
{
    const FbxTest::Imported imported(Character("100", Y_UP));
    ASSERT_TRUE(imported.myOk);
    SystemUnit::ConversionOptions options;
    options.myConvertClusters = false;
    SystemUnit::cm.ConvertScene(imported.myScene, options);
    Matrix link;
    imported.Find("Body")->GetMesh()->GetSkin(0)->GetCluster(1)->GetTransformLinkMatrix(link);
    ExpectVector(link.GetT(), Vector4(0, 15, 0));
    ExpectVector(imported.Find("Body")->GetMesh()->GetControlPointAt(4), Vector4(200, 0, 0));
}

TEST(FbxAxisConversion, YUpRightHandedToDirectXMirrorsZ)
{
    const FbxTest::Imported imported(Character("1", Y_UP));
    ASSERT_TRUE(imported.myOk);
    Scene& scene = *imported.myScene;
    Mesh* mesh = imported.Find("Body")->GetMesh();
    ASSERT_TRUE(mesh->GenerateTangentsData(0));
    const AxisSystem directX(AxisSystem::PreDefined::DirectX);
    EXPECT_FALSE(directX.IsRightHanded());
    directX.DeepConvertScene(&scene);
    EXPECT_EQ(scene.GetGlobalSettings().GetAxisSystem(), directX);
    ExpectVector(mesh->GetElementNormal(0)->GetDirectArray().GetAt(0), Vector4(0, 0, -1));
    ExpectVector(mesh->GetElementTangent(0)->GetDirectArray().GetAt(0), Vector4(1, 0, 0));
    Matrix transform;
    mesh->GetSkin(0)->GetCluster(0)->GetTransformMatrix(transform);
    ExpectVector(transform.GetT(), Vector4(0, 0, -4));
    // A turn about z stays one about z; the winding of the mesh is kept.
    const Matrix spine = imported.Find("Rig:Spine")->EvaluateGlobalTransform();
    ExpectVector(spine.MultR(Vector4(1, 0, 0)), Vector4(0, 1, 0));
    EXPECT_EQ(mesh->GetPolygonVertex(0, 1), 1);
    // Converting again changes nothing.
    directX.DeepConvertScene(&scene);
    ExpectVector(mesh->GetElementNormal(0)->GetDirectArray().GetAt(0), Vector4(0, 0, -1));
}

TEST(FbxAxisConversion, ZUpToDirectXPutsUpOnY)
{
    std::string text = Character("1", Z_UP);
    text = Replace(text, "a: 0,0,0,1,0,0,1,1,0,0,1,0,2,0,0", "a: 0,0,0,1,0,0,1,1,0,0,1,0,1,2,3");
    text = Replace(text, "P: \"Lcl Translation\", \"Lcl Translation\", \"\", \"A\",1,0,0",
                   "P: \"Lcl Translation\", \"Lcl Translation\", \"\", \"A\",1,0,0\n"
                   "\t\t\tP: \"GeometricTranslation\", \"Vector3D\", \"\", \"A\",1,2,3\n"
                   "\t\t\tP: \"GeometricRotation\", \"Vector3D\", \"\", \"A\",0,0,90");
    const FbxTest::Imported imported(text);
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const Node* socket = imported.Find("Hand_skt");
    const Matrix geometryBefore(socket->GetGeometricTranslation(), socket->GetGeometricRotation(), socket->GetGeometricScaling());
    const Vector4 socketBefore = socket->EvaluateGlobalTransform().MultT(Vector4(0, 0, 1));

    AxisSystem(AxisSystem::PreDefined::DirectX).DeepConvertScene(imported.myScene);
    // File (x, y, z) with z up and -y front lands at (x, z, y).
    const auto swap = [](const Vector4& aPoint) { return Vector4(aPoint[0], aPoint[2], aPoint[1]); };
    ExpectVector(imported.Find("Body")->GetMesh()->GetControlPointAt(4), Vector4(1, 3, 2));
    ExpectVector(socket->EvaluateGlobalTransform().MultT(Vector4(0, 1, 0)), swap(socketBefore));
    const Matrix geometryAfter(socket->GetGeometricTranslation(), socket->GetGeometricRotation(), socket->GetGeometricScaling());
    ExpectVector(geometryAfter.MultT(Vector4(5, 7, 6)), swap(geometryBefore.MultT(Vector4(5, 6, 7))));
    ExpectVector(socket->GetGeometricTranslation(), Vector4(1, 3, 2));
}

namespace
{
    double SignedArea2D(const Mesh& aMesh, int aPolygon, int anU, int aV)
    {
        double area = 0.0;
        const int size = aMesh.GetPolygonSize(aPolygon);
        for (int corner = 0; corner < size; ++corner)
        {
            const Vector4& a = aMesh.GetControlPointAt(aMesh.GetPolygonVertex(aPolygon, corner));
            const Vector4& b = aMesh.GetControlPointAt(aMesh.GetPolygonVertex(aPolygon, (corner + 1) % size));
            area += a[anU] * b[aV] - b[anU] * a[aV];
        }
        return area * 0.5;
    }

    // One polygon whose corners' UV is (x, y) of the corner, in a plane given by two axes.
    std::string PolygonScene(const std::vector<std::pair<double, double>>& someCorners, int anU, int aV)
    {
        std::string vertices;
        std::string indices;
        std::string uvs;
        for (size_t corner = 0; corner < someCorners.size(); ++corner)
        {
            double point[3] = { 0.0, 0.0, 0.0 };
            point[anU] = someCorners[corner].first;
            point[aV] = someCorners[corner].second;
            vertices += (corner ? "," : "") + std::to_string(point[0]) + "," + std::to_string(point[1]) + "," + std::to_string(point[2]);
            const int index = corner + 1 == someCorners.size() ? -static_cast<int>(corner) - 1 : static_cast<int>(corner);
            indices += (corner ? "," : "") + std::to_string(index);
            uvs += (corner ? "," : "") + std::to_string(someCorners[corner].first) + "," + std::to_string(someCorners[corner].second);
        }
        const size_t count = someCorners.size();
        const std::string objects =
            "\tModel: 1, \"Model::Shape\", \"Mesh\" {\n\t}\n"
            "\tGeometry: 2, \"Geometry::Shape\", \"Mesh\" {\n"
            "\t\tVertices: *" + std::to_string(count * 3) + " {\n\t\t\ta: " + vertices + "\n\t\t}\n"
            "\t\tPolygonVertexIndex: *" + std::to_string(count) + " {\n\t\t\ta: " + indices + "\n\t\t}\n"
            "\t\tLayerElementUV: 0 {\n\t\t\tMappingInformationType: \"ByPolygonVertex\"\n"
            "\t\t\tReferenceInformationType: \"Direct\"\n"
            "\t\t\tUV: *" + std::to_string(count * 2) + " {\n\t\t\t\ta: " + uvs + "\n\t\t\t}\n\t\t}\n"
            "\t\tLayerElementMaterial: 0 {\n\t\t\tMappingInformationType: \"AllSame\"\n"
            "\t\t\tReferenceInformationType: \"IndexToDirect\"\n\t\t\tMaterials: *1 {\n\t\t\t\ta: 0\n\t\t\t}\n\t\t}\n\t}\n";
        return FbxTest::MakeScene("", objects, "\tC: \"OO\",1,0\n\tC: \"OO\",2,1\n");
    }
}

TEST(FbxTriangulation, ConcavePolygonsAreCutInsideTheirOutline)
{
    struct Case
    {
        const char* myName;
        std::vector<std::pair<double, double>> myCorners;
        int myU;
        int myV;
    };
    const std::vector<Case> cases = {
        { "Square", { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } }, 0, 1 },
        { "LShape", { { 0, 0 }, { 2, 0 }, { 2, 1 }, { 1, 1 }, { 1, 2 }, { 0, 2 } }, 0, 1 },
        { "Arrow", { { 0, 0 }, { 2, 1 }, { 0, 2 }, { 1, 1 } }, 0, 1 },
        { "StarInXZ", { { 0, 3 }, { 1, 1 }, { 3, 0 }, { 1, -1 }, { 0, -3 }, { -1, -1 }, { -3, 0 }, { -1, 1 } }, 2, 0 },
        { "ClockwiseComb", { { 0, 0 }, { 0, 3 }, { 1, 3 }, { 1, 1 }, { 2, 1 }, { 2, 3 }, { 3, 3 }, { 3, 0 } }, 1, 2 },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const FbxTest::Imported imported(PolygonScene(oneCase.myCorners, oneCase.myU, oneCase.myV));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        Mesh& mesh = *imported.Find("Shape")->GetMesh();
        const double area = SignedArea2D(mesh, 0, oneCase.myU, oneCase.myV);
        GeometryConverter converter(imported.myManager);
        ASSERT_TRUE(converter.Triangulate(imported.myScene, true, true));
        ASSERT_TRUE(mesh.IsTriangleMesh());
        ASSERT_EQ(mesh.GetPolygonCount(), static_cast<int>(oneCase.myCorners.size()) - 2);
        double total = 0.0;
        const LayerElementUV& uvs = *mesh.GetElementUV(0);
        for (int triangle = 0; triangle < mesh.GetPolygonCount(); ++triangle)
        {
            // Every piece keeps the outline's winding, so none folds outside it.
            const double piece = SignedArea2D(mesh, triangle, oneCase.myU, oneCase.myV);
            EXPECT_GT(piece * area, 0.0) << "triangle " << triangle;
            total += piece;
            for (int corner = 0; corner < 3; ++corner)
            {
                const Vector4& point = mesh.GetControlPointAt(mesh.GetPolygonVertex(triangle, corner));
                const Vector2& uv = uvs.GetDirectArray().GetAt(mesh.GetTextureUVIndex(triangle, corner));
                EXPECT_NEAR(uv[0], point[oneCase.myU], 1e-6);
                EXPECT_NEAR(uv[1], point[oneCase.myV], 1e-6);
            }
            EXPECT_EQ(mesh.GetElementMaterial(0)->GetIndexArray().GetAt(triangle), 0);
        }
        EXPECT_NEAR(total, area, 1e-9);
    }
}

TEST(FbxTriangulation, MaterialsFollowTheirPolygonsAndTinyPolygonsGo)
{
    std::string text = Replace(FbxTest::CHARACTER, "PolygonVertexIndex: *7", "PolygonVertexIndex: *9");
    text = Replace(text, "a: 0,1,2,-4,1,4,-3", "a: 0,1,2,-4,3,-5,1,4,-3");
    text = Replace(text, "Materials: *2 {\n\t\t\t\ta: 0,1", "Materials: *3 {\n\t\t\t\ta: 0,0,1");
    text = Replace(text, "Normals: *21 {\n\t\t\t\ta: 0,0,1,", "Normals: *27 {\n\t\t\t\ta: 0,0,1,0,0,1,0,1,0,");
    text = Replace(text, "UVIndex: *7 {\n\t\t\t\ta: 0,1,2,3,1,4,2", "UVIndex: *9 {\n\t\t\t\ta: 0,1,2,3,0,0,1,4,2");
    const FbxTest::Imported imported(text);
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    Mesh& mesh = *imported.Find("Body")->GetMesh();
    ASSERT_EQ(mesh.GetPolygonCount(), 3);
    ASSERT_TRUE(mesh.Triangulate());
    // The quad gives two triangles, the two-corner polygon none, the triangle stays.
    ASSERT_EQ(mesh.GetPolygonCount(), 3);
    const LayerArray<int>& materials = mesh.GetElementMaterial(0)->GetIndexArray();
    EXPECT_EQ(materials.GetAt(0), 0);
    EXPECT_EQ(materials.GetAt(1), 0);
    EXPECT_EQ(materials.GetAt(2), 1);
    EXPECT_EQ(mesh.GetPolygonVertex(2, 1), 4);
    EXPECT_EQ(mesh.GetElementNormal(0)->GetDirectArray().GetCount(), 9);
    EXPECT_EQ(mesh.GetTextureUVIndex(2, 1), 4);
}

TEST(FbxTangents, FollowTheUvDirections)
{
    struct Case
    {
        const char* myName;
        const char* myUvs;
        Vector4 myTangent;
        Vector4 myBinormal;
    };
    // A unit quad in the xy plane facing +z.
    const std::vector<Case> cases = {
        { "UAlongX", "0,0,1,0,1,1,0,1", Vector4(1, 0, 0), Vector4(0, 1, 0) },
        { "UAgainstX", "1,0,0,0,0,1,1,1", Vector4(-1, 0, 0), Vector4(0, 1, 0) },
        { "UAlongY", "0,0,0,1,1,1,1,0", Vector4(0, 1, 0), Vector4(1, 0, 0) },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const std::string objects =
            std::string("\tModel: 1, \"Model::Quad\", \"Mesh\" {\n\t}\n"
                        "\tGeometry: 2, \"Geometry::Quad\", \"Mesh\" {\n"
                        "\t\tVertices: *12 {\n\t\t\ta: 0,0,0,1,0,0,1,1,0,0,1,0\n\t\t}\n"
                        "\t\tPolygonVertexIndex: *4 {\n\t\t\ta: 0,1,2,-4\n\t\t}\n"
                        "\t\tLayerElementNormal: 0 {\n\t\t\tMappingInformationType: \"ByControlPoint\"\n"
                        "\t\t\tReferenceInformationType: \"Direct\"\n"
                        "\t\t\tNormals: *12 {\n\t\t\t\ta: 0,0,1,0,0,1,0,0,1,0,0,1\n\t\t\t}\n\t\t}\n"
                        "\t\tLayerElementUV: 0 {\n\t\t\tMappingInformationType: \"ByControlPoint\"\n"
                        "\t\t\tReferenceInformationType: \"Direct\"\n"
                        "\t\t\tUV: *8 {\n\t\t\t\ta: ") +
            oneCase.myUvs + "\n\t\t\t}\n\t\t}\n\t}\n";
        const FbxTest::Imported imported(FbxTest::MakeScene("", objects, "\tC: \"OO\",1,0\n\tC: \"OO\",2,1\n"));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        Mesh& mesh = *imported.Find("Quad")->GetMesh();
        EXPECT_FALSE(mesh.GenerateTangentsData(1));
        ASSERT_TRUE(mesh.GenerateTangentsData(0));
        const LayerElementTangent& tangents = *mesh.GetElementTangent(0);
        const LayerElementBinormal& binormals = *mesh.GetElementBinormal(0);
        EXPECT_EQ(tangents.GetMappingMode(), MappingMode::ByPolygonVertex);
        // Each corner indexes its frame; corners of one control point, UV and normal would share one.
        EXPECT_EQ(tangents.GetReferenceMode(), ReferenceMode::IndexToDirect);
        EXPECT_EQ(binormals.GetReferenceMode(), ReferenceMode::IndexToDirect);
        ASSERT_EQ(tangents.GetIndexArray().GetCount(), 4);
        ASSERT_EQ(binormals.GetIndexArray().GetCount(), 4);
        for (int corner = 0; corner < 4; ++corner)
        {
            ExpectVector(tangents.GetDirectArray().GetAt(tangents.GetIndexArray().GetAt(corner)), oneCase.myTangent);
            ExpectVector(binormals.GetDirectArray().GetAt(binormals.GetIndexArray().GetAt(corner)), oneCase.myBinormal);
        }
        // Present tangents are kept unless overwriting is asked for.
        mesh.GetTangentElements()[0].GetDirectArray().GetValues()[0] = Vector4(9, 9, 9);
        EXPECT_TRUE(mesh.GenerateTangentsData(0, false));
        ExpectVector(mesh.GetElementTangent(0)->GetDirectArray().GetAt(0), Vector4(9, 9, 9));
        EXPECT_TRUE(mesh.GenerateTangentsData(0, true));
        ExpectVector(mesh.GetElementTangent(0)->GetDirectArray().GetAt(0), oneCase.myTangent);
    }
}
