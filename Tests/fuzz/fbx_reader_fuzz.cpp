// libFuzzer target for the FBX reader: any bytes go through import, the scene conversions and
// transform evaluation; see Tests/fuzz/CMakeLists.txt.
#include "fbx/Fbx.h"

#include <cstddef>
#include <cstdint>

using namespace Vra::Fbx;

namespace
{
    void Exercise(Scene& aScene)
    {
        if (aScene.GetGlobalSettings().GetSystemUnit() != SystemUnit::cm)
        {
            SystemUnit::ConversionOptions options;
            options.myConvertRrsNodes = false;
            SystemUnit::cm.ConvertScene(&aScene, options);
        }
        GeometryConverter converter(nullptr);
        converter.Triangulate(&aScene, true, true);
        for (int index = 0; index < aScene.GetNodeCount(); ++index)
        {
            if (Mesh* mesh = aScene.GetNode(index)->GetMesh(); mesh && mesh->GetUVLayerCount() > 0)
            {
                mesh->GenerateTangentsData(0, false, false);
            }
        }
        AxisSystem(AxisSystem::PreDefined::DirectX).DeepConvertScene(&aScene);
        const TimeMode mode = aScene.GetGlobalSettings().GetTimeMode();
        for (int index = 0; index < aScene.GetNodeCount() && index < 64; ++index)
        {
            const Node* node = aScene.GetNode(index);
            for (int frame = 0; frame < 3; ++frame)
            {
                Time time;
                time.SetFrame(frame, mode);
                node->EvaluateGlobalTransform(time);
                node->EvaluateLocalTransform(time);
            }
            if (const Mesh* mesh = node->GetMesh())
            {
                // What an importer reads: every corner and its layer values.
                for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon)
                {
                    for (int corner = 0; corner < mesh->GetPolygonSize(polygon); ++corner)
                    {
                        mesh->GetControlPointAt(mesh->GetPolygonVertex(polygon, corner));
                        for (int set = 0; set < mesh->GetElementUVCount(); ++set)
                        {
                            const int uv = mesh->GetTextureUVIndex(polygon, corner, set);
                            if (uv >= 0)
                            {
                                mesh->GetElementUV(set)->GetDirectArray().GetAt(uv);
                            }
                        }
                    }
                }
                for (int skin = 0; skin < mesh->GetSkinCount(); ++skin)
                {
                    for (int cluster = 0; cluster < mesh->GetSkin(skin)->GetClusterCount(); ++cluster)
                    {
                        const Cluster* found = mesh->GetSkin(skin)->GetCluster(cluster);
                        for (int at = 0; at < found->GetControlPointIndicesCount(); ++at)
                        {
                            mesh->GetControlPointAt(found->GetControlPointIndices()[at]);
                        }
                    }
                }
            }
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    Importer* importer = Importer::Create(nullptr, "");
    Scene* scene = Scene::Create(nullptr, "The Scene");
    if (importer->InitializeFromMemory(someData, aSize) && importer->Import(scene))
    {
        Exercise(*scene);
    }
    scene->Destroy();
    importer->Destroy();
    return 0;
}
