#include "ImporterDetail.h"
#include "ImporterTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <vector>

using namespace Vra::FBX;
using namespace FbxTest;

namespace
{
    class ModelImport : public ImporterTest
    {
    protected:
        ImportedModel Load(const std::string& aName, bool aMerge = true)
        {
            ImportedModel model;
            EXPECT_TRUE(LoadModel(DataFile(aName), model, false, aMerge)) << GetLastImportError();
            return model;
        }
    };

    struct Extent
    {
        Vec3 myMin{1e9f, 1e9f, 1e9f};
        Vec3 myMax{-1e9f, -1e9f, -1e9f};
    };

    Extent PositionExtent(const ImportedMesh& aMesh)
    {
        Extent extent;
        for (const ImportedVertex& vertex : aMesh.Vertices)
        {
            for (int i = 0; i < 3; ++i)
            {
                extent.myMin[i] = std::min(extent.myMin[i], vertex.Position[i]);
                extent.myMax[i] = std::max(extent.myMax[i], vertex.Position[i]);
            }
        }
        return extent;
    }

    // A column-vector matrix (translation in column 4) applied to a point.
    Vec3 Apply(const ImportedMatrix& aMatrix, const Vec3& aPoint)
    {
        Vec3 result{};
        for (int row = 1; row <= 3; ++row)
        {
            result[row - 1] = aMatrix(row, 1) * aPoint[0] + aMatrix(row, 2) * aPoint[1] + aMatrix(row, 3) * aPoint[2] +
                              aMatrix(row, 4);
        }
        return result;
    }

    void ExpectIndicesInRange(const ImportedMesh& aMesh)
    {
        EXPECT_EQ(aMesh.Indices.size() % 3, 0u);
        for (const std::uint32_t index : aMesh.Indices)
        {
            ASSERT_LT(index, aMesh.Vertices.size());
        }
    }
}

// The same box in three files: centimetres y-up, metres y-up and centimetres z-up all land in
// centimetres on the target axes, each file by its own axis change.
TEST_F(ModelImport, UnitsAndAxesOfTheBoxFiles)
{
    const nlohmann::json& cube = Expected()["cube"];
    const Vec3 localMin = ToVec3(cube["local_min"]);
    const Vec3 localMax = ToVec3(cube["local_max"]);
    const struct
    {
        const char* myFile;
        Vec3 myCornerA;
        Vec3 myCornerB;
    } files[] = {
        {"cube_cm.fbx", YUpFileToTarget(localMin), YUpFileToTarget(localMax)},
        {"cube_m.fbx", YUpFileToTarget(localMin), YUpFileToTarget(localMax)},
        {"cube_zup.fbx", BlenderWorldToTarget(localMin), BlenderWorldToTarget(localMax)},
    };
    for (const auto& file : files)
    {
        const ImportedModel model = Load(file.myFile);
        ASSERT_EQ(model.Meshes.size(), 1u) << file.myFile;
        const ImportedMesh& mesh = model.Meshes[0];
        EXPECT_EQ(mesh.MeshName, "Cube");
        EXPECT_EQ(mesh.Indices.size(), cube["triangles"].get<std::size_t>() * 3) << file.myFile;
        // Flat faces with their own UVs: four corners a face once merged.
        EXPECT_EQ(mesh.Vertices.size(), cube["polygons"].get<std::size_t>() * 4) << file.myFile;
        ExpectIndicesInRange(mesh);

        const Extent extent = PositionExtent(mesh);
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(extent.myMin[i], std::min(file.myCornerA[i], file.myCornerB[i]), 1e-3f) << file.myFile << i;
            EXPECT_NEAR(extent.myMax[i], std::max(file.myCornerA[i], file.myCornerB[i]), 1e-3f) << file.myFile << i;
            // Mesh bounds come from the extremes, which start at zero.
            EXPECT_NEAR(mesh.Box.Min[i], std::min(extent.myMin[i], 0.f), 1e-3f);
            EXPECT_NEAR(mesh.Box.Max[i], std::max(extent.myMax[i], 0.f), 1e-3f);
            EXPECT_NEAR(model.Box.Min[i], mesh.Box.Min[i], 1e-3f);
            EXPECT_NEAR(model.Box.Max[i], mesh.Box.Max[i], 1e-3f);
        }
        EXPECT_EQ(model.Box.IsValid, 1u);
        EXPECT_EQ(model.Path, DataFile(file.myFile));
        EXPECT_TRUE(model.Skeleton.Joints.empty());
        EXPECT_TRUE(model.Skeleton.Name.empty());

        // Unit-length normals with the face's axis, and a tangent frame made from UV set 0.
        for (const ImportedVertex& vertex : mesh.Vertices)
        {
            const float length = std::sqrt(vertex.Normal[0] * vertex.Normal[0] + vertex.Normal[1] * vertex.Normal[1] +
                                           vertex.Normal[2] * vertex.Normal[2]);
            EXPECT_NEAR(length, 1.f, 1e-4f);
            const float dot = vertex.Normal[0] * vertex.Tangent[0] + vertex.Normal[1] * vertex.Tangent[1] +
                              vertex.Normal[2] * vertex.Tangent[2];
            EXPECT_NEAR(dot, 0.f, 1e-4f);
        }
    }
}

TEST_F(ModelImport, MergingKeepsOneVertexPerDistinctCorner)
{
    const ImportedModel merged = Load("cube_cm.fbx", true);
    const ImportedModel plain = Load("cube_cm.fbx", false);
    ASSERT_EQ(plain.Meshes.size(), 1u);
    ASSERT_EQ(merged.Meshes.size(), 1u);
    const ImportedMesh& unmerged = plain.Meshes[0];
    ASSERT_EQ(unmerged.Vertices.size(), unmerged.Indices.size());
    for (std::size_t i = 0; i < unmerged.Indices.size(); ++i)
    {
        EXPECT_EQ(unmerged.Indices[i], i);
    }
    // Both describe the same triangles corner by corner.
    const ImportedMesh& mesh = merged.Meshes[0];
    ASSERT_EQ(mesh.Indices.size(), unmerged.Indices.size());
    for (std::size_t i = 0; i < mesh.Indices.size(); ++i)
    {
        EXPECT_EQ(std::memcmp(&mesh.Vertices[mesh.Indices[i]], &unmerged.Vertices[i], sizeof(ImportedVertex)), 0);
    }
}

namespace
{
    // A mesh that merging must see through: fans of twelve triangles round a centre whose every
    // corner has a UV of its own (more vertices at one point than the import keeps at hand), each
    // fan laid twice; the second time round the first fan's points are copies at the same
    // positions, the second fan's are the same points. Normals and UVs by polygon vertex.
    std::string FanFile()
    {
        constexpr int SIDES = 12;
        std::string vertices;
        std::string polygons;
        std::string normals;
        std::string uvs;
        std::string uvIndex;
        int corners = 0;
        const auto add = [](std::string& aList, const std::string& aValue) { aList += (aList.empty() ? "" : ",") + aValue; };
        const auto number = [](double aValue) {
            std::ostringstream text;
            text.precision(17);
            text << aValue;
            return text.str();
        };
        // Points: fan f's centre, then its rim, twice over for fan 0 (the copies).
        const double centres[2] = {0.0, 100.0};
        std::vector<int> firstPoint;
        int points = 0;
        for (const int fan : {0, 0, 1})
        {
            firstPoint.push_back(points);
            add(vertices, number(centres[fan]) + ",0,0");
            for (int side = 0; side < SIDES; ++side)
            {
                const double angle = 6.283185307179586 * side / SIDES;
                add(vertices, number(centres[fan] + 10.0 * std::cos(angle)) + "," + number(10.0 * std::sin(angle)) + ",0");
            }
            points += SIDES + 1;
        }
        // Laps: fan 0 on its points, fan 0 on the copies, fan 1 twice on the same points.
        for (const int pointsOf : {0, 1, 2, 2})
        {
            const int centre = firstPoint[static_cast<std::size_t>(pointsOf)];
            for (int side = 0; side < SIDES; ++side)
            {
                const int rim[2] = {centre + 1 + side, centre + 1 + (side + 1) % SIDES};
                add(polygons, std::to_string(centre) + "," + std::to_string(rim[0]) + "," + std::to_string(-rim[1] - 1));
                for (int corner = 0; corner < 3; ++corner)
                {
                    add(normals, "0,0,1");
                    // The same UV for a corner on every lap: a value per side and corner.
                    add(uvs, number(0.01 * side) + "," + number(0.1 * corner));
                    add(uvIndex, std::to_string(corners++));
                }
            }
        }
        return std::string(R"(; FBX 7.4.0 project file
FBXHeaderExtension:  {
	FBXVersion: 7400
}
Objects:  {
	Model: 200, "Model::Fans", "Mesh" {
	}
	Geometry: 300, "Geometry::Fans", "Mesh" {
		Vertices: *)") + std::to_string(points * 3) + " {\n\t\t\ta: " + vertices + R"(
		}
		PolygonVertexIndex: *)" + std::to_string(corners) + " {\n\t\t\ta: " + polygons + R"(
		}
		LayerElementNormal: 0 {
			MappingInformationType: "ByPolygonVertex"
			ReferenceInformationType: "Direct"
			Normals: *)" + std::to_string(corners * 3) + " {\n\t\t\ta: " + normals + R"(
			}
		}
		LayerElementUV: 0 {
			MappingInformationType: "ByPolygonVertex"
			ReferenceInformationType: "IndexToDirect"
			UV: *)" + std::to_string(corners * 2) + " {\n\t\t\ta: " + uvs + R"(
			}
			UVIndex: *)" + std::to_string(corners) + " {\n\t\t\ta: " + uvIndex + R"(
			}
		}
	}
}
Connections:  {
	C: "OO",200,0
	C: "OO",300,200
}
)";
    }

    // What merging must give: the unmerged corners' distinct vertices (as the welder tells them
    // apart) in the order the corners first meet them.
    void ExpectMergedAsTheDistinctCorners(const ImportedMesh& aMerged, const ImportedMesh& anUnmerged, const std::string& aWhat)
    {
        std::map<std::vector<std::uint32_t>, std::uint32_t> indexOf;
        std::vector<std::uint32_t> indices;
        std::vector<const ImportedVertex*> vertices;
        for (const ImportedVertex& corner : anUnmerged.Vertices)
        {
            const impl::VertexKey key = impl::PackVertex(corner);
            const auto [at, isNew] =
                indexOf.emplace(std::vector<std::uint32_t>(std::begin(key.Fields), std::end(key.Fields)), static_cast<std::uint32_t>(vertices.size()));
            if (isNew)
            {
                vertices.push_back(&corner);
            }
            indices.push_back(at->second);
        }
        EXPECT_EQ(aMerged.Indices, indices) << aWhat;
        ASSERT_EQ(aMerged.Vertices.size(), vertices.size()) << aWhat;
        for (std::size_t i = 0; i < vertices.size(); ++i)
        {
            EXPECT_EQ(std::memcmp(&aMerged.Vertices[i], vertices[i], sizeof(ImportedVertex)), 0) << aWhat << " vertex " << i;
        }
    }
}

TEST_F(ModelImport, MergedVerticesAreTheDistinctCornersInTheOrderFirstMet)
{
    ScratchFolder folder;
    std::vector<std::string> paths = {folder.Write("fans.fbx", FanFile())};
    for (const char* file : {"character.fbx", "cube_cm.fbx", "cube_zup.fbx", "lod_group.fbx", "skinned_quad.fbx", "two_materials.fbx"})
    {
        paths.push_back(DataFile(file));
    }
    for (const std::string& path : paths)
    {
        ImportedModel merged;
        ImportedModel plain;
        ASSERT_TRUE(LoadModel(path, merged, false, true)) << GetLastImportError();
        ASSERT_TRUE(LoadModel(path, plain, false, false)) << GetLastImportError();
        ASSERT_EQ(merged.Meshes.size(), plain.Meshes.size()) << path;
        for (std::size_t mesh = 0; mesh < merged.Meshes.size(); ++mesh)
        {
            ExpectMergedAsTheDistinctCorners(merged.Meshes[mesh], plain.Meshes[mesh], path + " mesh " + std::to_string(mesh));
        }
    }
    // The fans: each lap's 36 corners are 12 centres, 12 and 12 rim corners; the copies of fan 0
    // and the second lap of fan 1 add none.
    ImportedModel fans;
    ASSERT_TRUE(LoadModel(paths.front(), fans, false, true)) << GetLastImportError();
    ASSERT_EQ(fans.Meshes.size(), 1u);
    EXPECT_EQ(fans.Meshes[0].Vertices.size(), 72u);
    EXPECT_EQ(fans.Meshes[0].Indices.size(), 144u);
}

TEST_F(ModelImport, HandWrittenQuadGivesExactVertices)
{
    const ImportedModel model = Load("skinned_quad.fbx");
    ASSERT_EQ(model.Meshes.size(), 2u);
    ASSERT_EQ(model.Materials.size(), 2u);
    const ImportedMesh& quad = model.Meshes[0];
    const ImportedMesh& triangle = model.Meshes[1];
    EXPECT_EQ(quad.MeshName, "Quad");
    EXPECT_EQ(triangle.MeshName, "Quad");
    EXPECT_EQ(model.Materials[quad.MaterialIndex].MaterialName, "Stone");
    EXPECT_EQ(model.Materials[triangle.MaterialIndex].MaterialName, "Moss");
    EXPECT_EQ(quad.Indices.size(), 6u);
    EXPECT_EQ(quad.Vertices.size(), 4u);
    EXPECT_EQ(triangle.Indices.size(), 3u);
    EXPECT_EQ(triangle.Vertices.size(), 3u);

    const auto corner = [](const ImportedMesh& aMesh, float anX, float aY) -> const ImportedVertex* {
        for (const ImportedVertex& vertex : aMesh.Vertices)
        {
            if (vertex.Position[0] == anX && vertex.Position[1] == aY)
            {
                return &vertex;
            }
        }
        return nullptr;
    };
    const ImportedVertex* origin = corner(quad, 0.f, 0.f);
    ASSERT_NE(origin, nullptr);
    // The file's (0.25, 0.75) is stored as (u, 1 - v); set 1 has its own single-entry index.
    EXPECT_FLOAT_EQ(origin->UVs[0][0], 0.25f);
    EXPECT_FLOAT_EQ(origin->UVs[0][1], 0.25f);
    EXPECT_FLOAT_EQ(origin->UVs[1][0], 0.5f);
    EXPECT_FLOAT_EQ(origin->UVs[1][1], 0.875f);
    EXPECT_FLOAT_EQ(origin->UVs[2][0], 0.f);
    EXPECT_FLOAT_EQ(origin->Position[3], 1.f);
    // One colour set: red on the quad; the three missing sets stay zero.
    const float red[4] = {1.f, 0.f, 0.f, 1.f};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FLOAT_EQ(origin->VertexColors[0][i], red[i]);
        EXPECT_FLOAT_EQ(origin->VertexColors[1][i], 0.f);
    }
    // Normals by control point through the index array, turned to the target axes.
    ExpectNear({origin->Normal[0], origin->Normal[1], origin->Normal[2]}, YUpFileToTarget({0.f, 0.f, 1.f}), 1e-6f, "normal");
    ExpectNear({origin->Tangent[0], origin->Tangent[1], origin->Tangent[2]}, {1.f, 0.f, 0.f}, 1e-6f, "tangent");
    ExpectNear({origin->Binormal[0], origin->Binormal[1], origin->Binormal[2]}, {0.f, 1.f, 0.f}, 1e-6f, "binormal");

    // Skin: control point 0 follows the root alone, 3 both joints half and half (cluster order), 1 the tip.
    const int root = 0;
    const int tip = 1;
    EXPECT_EQ(origin->BoneIDs[0], root);
    EXPECT_FLOAT_EQ(origin->BoneWeights[0], 1.f);
    EXPECT_FLOAT_EQ(origin->BoneWeights[1], 0.f);
    const ImportedVertex* shared = corner(quad, 0.f, 10.f);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->BoneIDs[0], root);
    EXPECT_EQ(shared->BoneIDs[1], tip);
    EXPECT_FLOAT_EQ(shared->BoneWeights[0], 0.5f);
    EXPECT_FLOAT_EQ(shared->BoneWeights[1], 0.5f);
    const ImportedVertex* far = corner(triangle, 20.f, 5.f);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->BoneIDs[0], tip);
    EXPECT_FLOAT_EQ(far->VertexColors[0][2], 1.f);
    EXPECT_FLOAT_EQ(far->VertexColors[0][3], 0.5f);
    EXPECT_FLOAT_EQ(far->UVs[0][1], 0.5f);

    // The second material's mesh keeps the running extremes of the first: its box reaches x = 0.
    EXPECT_FLOAT_EQ(quad.Box.Max[0], 10.f);
    EXPECT_FLOAT_EQ(triangle.Box.Min[0], 0.f);
    EXPECT_FLOAT_EQ(triangle.Box.Max[0], 20.f);
    EXPECT_FLOAT_EQ(triangle.Bounds.Radius, 10.f);
    EXPECT_FLOAT_EQ(model.Box.Max[0], 20.f);
    EXPECT_FLOAT_EQ(model.Box.Max[1], 10.f);
}

TEST_F(ModelImport, HandWrittenSkeletonBindMatricesAndSocket)
{
    const ImportedModel model = Load("skinned_quad.fbx");
    const ImportedSkeleton& skeleton = model.Skeleton;
    EXPECT_EQ(skeleton.Name, "Arm");
    ASSERT_EQ(skeleton.Joints.size(), 2u);
    EXPECT_EQ(skeleton.Joints[0].Name, "Arm:Root");
    EXPECT_EQ(skeleton.Joints[0].NameShort, "Root");
    EXPECT_EQ(skeleton.Joints[0].Parent, -1);
    EXPECT_EQ(skeleton.Joints[0].Children, std::vector<std::uint32_t>{1});
    EXPECT_EQ(skeleton.Joints[1].Name, "Arm:Tip");
    EXPECT_EQ(skeleton.Joints[1].Parent, 0);
    EXPECT_EQ(skeleton.JointNameToIndex.at("Tip"), 1u);

    // Bind = (link^-1 * transform * geometry) transposed: the geometric offset (0, 0, 5) and the
    // tip's link at x = 10 show in column 4, on the target axes.
    const ImportedMatrix& rootBind = skeleton.Joints[0].BindPoseInverse;
    const ImportedMatrix& tipBind = skeleton.Joints[1].BindPoseInverse;
    const Vec3 offset = YUpFileToTarget({0.f, 0.f, 5.f});
    ExpectNear({rootBind(1, 4), rootBind(2, 4), rootBind(3, 4)}, offset, 1e-5f, "root bind");
    ExpectNear({tipBind(1, 4), tipBind(2, 4), tipBind(3, 4)}, {offset[0] - 10.f, offset[1], offset[2]}, 1e-5f, "tip bind");
    ExpectNear(Translation(tipBind), {0.f, 0.f, 0.f}, 1e-6f, "tip bind row 4");
    EXPECT_FLOAT_EQ(tipBind(4, 4), 1.f);

    ASSERT_EQ(skeleton.Sockets.size(), 1u);
    const ImportedSocket& socket = skeleton.Sockets.at("Grip_skt");
    EXPECT_EQ(socket.Name, "Grip_skt");
    EXPECT_EQ(socket.Parent, 1);
    EXPECT_TRUE(socket.SecondName.empty());
    ExpectNear(Translation(socket.Transform), {10.f, 2.f, 0.f}, 1e-5f, "socket");
}

TEST_F(ModelImport, MaterialsAndTheirTextureSlots)
{
    const ImportedModel model = Load("skinned_quad.fbx");
    ASSERT_EQ(model.Materials.size(), 2u);
    const ImportedMaterial& stone = model.Materials[0];
    EXPECT_EQ(stone.Diffuse.Name, "Stone_D.dds");
    EXPECT_EQ(stone.Diffuse.Path, "C:\\Art\\textures\\Stone_D.dds");
    EXPECT_EQ(stone.Diffuse.RelativePath, "textures\\Stone_D.dds");
    EXPECT_TRUE(stone.NormalMap.Path.empty());
    const ImportedMaterial& moss = model.Materials[1];
    // A layered texture leaves its slot empty; the normal map is a plain file texture.
    EXPECT_TRUE(moss.Diffuse.Name.empty());
    EXPECT_TRUE(moss.Diffuse.Path.empty());
    EXPECT_EQ(moss.NormalMap.Name, "Moss_N.dds");
    EXPECT_EQ(moss.NormalMap.Path, "/art/Moss_N.dds");

    const ImportedModel crate = Load("two_materials.fbx");
    const nlohmann::json& facts = Expected()["materials"];
    ASSERT_EQ(crate.Materials.size(), 2u);
    ASSERT_EQ(crate.Meshes.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
    {
        const ImportedMesh& mesh = crate.Meshes[i];
        const std::string name = facts["names"][i];
        EXPECT_EQ(mesh.MeshName, "Crate");
        EXPECT_EQ(crate.Materials[mesh.MaterialIndex].MaterialName, name);
        // Each mesh holds only its material's quads, two triangles each.
        EXPECT_EQ(mesh.Indices.size(), facts["polygons_per_material"][i].get<std::size_t>() * 6) << name;
        EXPECT_EQ(crate.Materials[mesh.MaterialIndex].Diffuse.Name, "textures/" + name + "_D.png");
        EXPECT_EQ(crate.Materials[mesh.MaterialIndex].Diffuse.RelativePath, "textures/" + name + "_D.png");
    }
}

TEST_F(ModelImport, CharacterSkeletonAndSkin)
{
    const ImportedModel model = Load("character.fbx");
    const nlohmann::json& facts = Expected()["character"];
    ASSERT_EQ(model.Meshes.size(), 1u);
    const ImportedMesh& body = model.Meshes[0];
    EXPECT_EQ(body.MeshName, "Body");
    EXPECT_EQ(body.Indices.size(), facts["mesh"]["triangles"].get<std::size_t>() * 3);
    ExpectIndicesInRange(body);

    const ImportedSkeleton& skeleton = model.Skeleton;
    EXPECT_EQ(skeleton.Name, "Rig");
    ASSERT_EQ(skeleton.Joints.size(), facts["joints"].size());
    for (const nlohmann::json& expected : facts["joints"])
    {
        const std::string name = expected["name"];
        const std::string shortName = name.substr(name.rfind(':') + 1);
        ASSERT_TRUE(skeleton.JointNameToIndex.contains(shortName)) << name;
        const ImportedJoint& joint = skeleton.Joints[skeleton.JointNameToIndex.at(shortName)];
        EXPECT_EQ(joint.Name, name);
        EXPECT_EQ(joint.NameShort, shortName);
        if (expected["parent"].is_null())
        {
            EXPECT_EQ(joint.Parent, -1) << name;
        }
        else
        {
            ASSERT_GE(joint.Parent, 0) << name;
            const ImportedJoint& parent = skeleton.Joints[joint.Parent];
            EXPECT_EQ(parent.Name, expected["parent"].get<std::string>());
            const auto& children = parent.Children;
            EXPECT_NE(std::find(children.begin(), children.end(), skeleton.JointNameToIndex.at(shortName)), children.end());
        }
        // The bind matrix takes the joint's head, in the mesh's own coordinates, to the joint's origin.
        const Vec3 head = YUpFileToTarget(ToVec3(expected["head"]));
        ExpectNear(Apply(joint.BindPoseInverse, head), {0.f, 0.f, 0.f}, 1e-2f, name + " bind");
    }

    // Depth first: a joint's parent always comes before it.
    for (std::size_t i = 0; i < skeleton.Joints.size(); ++i)
    {
        EXPECT_LT(skeleton.Joints[i].Parent, static_cast<std::int32_t>(i));
    }

    // The socket under the left arm, at the arm's tail in the scene at time 0.
    ASSERT_TRUE(skeleton.Sockets.contains("Hand_skt"));
    const ImportedSocket& socket = skeleton.Sockets.at("Hand_skt");
    EXPECT_EQ(socket.Parent, static_cast<std::int32_t>(skeleton.JointNameToIndex.at("Arm_L")));
    ExpectNear(Translation(socket.Transform), BlenderWorldToTarget(ToVec3(facts["frames"]["0"]["socket"])), 1e-2f, "socket");
    EXPECT_FALSE(skeleton.Sockets.contains("Step_evt"));

    // Weights as painted: below 120 cm only the hips, above 160 cm only the head.
    const std::uint32_t hips = static_cast<std::uint32_t>(skeleton.JointNameToIndex.at("Hips"));
    const std::uint32_t head = static_cast<std::uint32_t>(skeleton.JointNameToIndex.at("Head"));
    for (const ImportedVertex& vertex : body.Vertices)
    {
        const float height = -vertex.Position[2];
        float sum = 0.f;
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_LT(vertex.BoneIDs[i], skeleton.Joints.size());
            sum += vertex.BoneWeights[i];
        }
        EXPECT_NEAR(sum, 1.f, 1e-4f);
        if (height < 119.f)
        {
            EXPECT_EQ(vertex.BoneIDs[0], hips);
            EXPECT_FLOAT_EQ(vertex.BoneWeights[0], 1.f);
        }
        else if (height > 161.f)
        {
            EXPECT_EQ(vertex.BoneIDs[0], head);
            EXPECT_FLOAT_EQ(vertex.BoneWeights[0], 1.f);
        }
    }
}

TEST_F(ModelImport, LodGroupLevelsTakeTheMeshesBelowTheirLevelNode)
{
    const ImportedModel model = Load("lod_group.fbx");
    ASSERT_EQ(model.LodGroups.size(), 1u);
    const ImportedLodGroup& group = model.LodGroups[0];
    ASSERT_EQ(group.size(), 3u);
    const struct
    {
        float myDistance;
        std::vector<std::string> myMeshes;
    } levels[] = {
        {0.f, {"Rock_LOD0_Mesh"}},
        {250.f, {"Rock_LOD1_Mesh", "Rock_LOD1_Detail"}},
        {600.f, {}},
    };
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(group[i].Level, i);
        EXPECT_FLOAT_EQ(group[i].Distance, levels[i].myDistance);
        std::vector<std::string> names;
        for (const ImportedMesh& mesh : group[i].Meshes)
        {
            names.push_back(mesh.MeshName);
        }
        EXPECT_EQ(names, levels[i].myMeshes) << "level " << i;
    }
    // The level node that is itself a mesh stays a plain mesh, beside the ground.
    std::vector<std::string> plain;
    for (const ImportedMesh& mesh : model.Meshes)
    {
        plain.push_back(mesh.MeshName);
    }
    EXPECT_EQ(plain, (std::vector<std::string>{"Rock_LOD2", "Ground"}));
    EXPECT_TRUE(model.Materials.empty());
    // Model bounds cover the ground (x -50..50) and the biggest level mesh (y up to 4).
    EXPECT_FLOAT_EQ(model.Box.Min[0], -50.f);
    EXPECT_FLOAT_EQ(model.Box.Max[0], 50.f);
    EXPECT_FLOAT_EQ(model.Box.Max[1], 4.f);
}

TEST_F(ModelImport, FileWithoutMeshesSucceedsAndLeavesTheOutputAlone)
{
    ImportedModel model;
    model.Path = "untouched";
    EXPECT_TRUE(LoadModel(DataFile("skeleton_noanim.fbx"), model));
    EXPECT_EQ(model.Path, "untouched");
    EXPECT_TRUE(model.Skeleton.Joints.empty());
}

TEST_F(ModelImport, MalformedContentThrowsItsMessage)
{
    const std::pair<const char*, const char*> files[] = {
        {"no_uv.fbx", "Cannot load FBX file! No UV layers are present in the file."},
        {"bad_reference_mode.fbx", "Invalid Reference Mode!"},
        {"duplicate_joints.fbx", "Found more than one bone with the same name [Right:Hand]!"},
    };
    for (const auto& [file, message] : files)
    {
        ImportedModel model;
        model.Path = "untouched";
        EXPECT_EQ(ThrownMessage([&] { LoadModel(DataFile(file), model); }), message) << file;
        EXPECT_EQ(model.Path, "untouched") << file;
    }
}

TEST_F(ModelImport, TruncatedFileFailsWithTheReadersError)
{
    const std::string bytes = ReadBytes(DataFile("cube_cm.fbx"));
    const ScratchFolder folder;
    const std::string path = folder.Write("cut.fbx", bytes.substr(0, bytes.size() / 2));
    ImportedModel model;
    model.Path = "untouched";
    EXPECT_FALSE(LoadModel(path, model));
    EXPECT_EQ(model.Path, "untouched");
    EXPECT_EQ(GetLastImportError().rfind("Failed to import the FBX file! Error was: ", 0), 0u) << GetLastImportError();
}
