#include "fbx/impl/SceneBuilder.h"

#include "fbx/AnimCurve.h"
#include "fbx/AnimCurveNode.h"
#include "fbx/AxisSystem.h"
#include "fbx/Cluster.h"
#include "fbx/Mesh.h"
#include "fbx/Node.h"
#include "fbx/Scene.h"
#include "fbx/Skin.h"
#include "fbx/SystemUnit.h"

#include <cmath>
#include <unordered_set>

namespace Vra::Fbx
{
    namespace
    {
        // Node properties that are lengths.
        constexpr const char* LENGTH_PROPERTIES[] = { "Lcl Translation", "RotationOffset", "RotationPivot",
                                                      "ScalingOffset", "ScalingPivot", "GeometricTranslation" };

        bool IsLengthProperty(const std::string& aName)
        {
            for (const char* name : LENGTH_PROPERTIES)
            {
                if (aName == name)
                {
                    return true;
                }
            }
            return false;
        }

        void ScaleProperty(PropertySet& someProperties, const char* aName, double aFactor)
        {
            const Property* found = someProperties.Find(aName);
            if (!found)
            {
                return;
            }
            Property scaled = *found;
            for (size_t index = 0; index < scaled.myNumbers.size() && index < 3; ++index)
            {
                scaled.myNumbers[index] *= aFactor;
            }
            someProperties.Set(std::move(scaled));
        }

        void SetVector(PropertySet& someProperties, const char* aName, const char* aType, const Vector4& aValue)
        {
            Property property;
            property.myName = aName;
            property.myType = aType;
            property.myNumbers = { aValue[0], aValue[1], aValue[2] };
            someProperties.Set(std::move(property));
        }

        Matrix ScaleTranslation(const Matrix& aMatrix, double aFactor)
        {
            Matrix result = aMatrix;
            const Vector4 translation = aMatrix.GetRow(3);
            result.SetRow(3, Vector4(translation[0] * aFactor, translation[1] * aFactor, translation[2] * aFactor, translation[3]));
            return result;
        }

        std::unordered_set<Mesh*> MeshesOf(const Scene& aScene)
        {
            std::unordered_set<Mesh*> meshes;
            for (int index = 0; index < aScene.GetNodeCount(); ++index)
            {
                if (Mesh* mesh = aScene.GetNode(index)->GetMesh())
                {
                    meshes.insert(mesh);
                }
            }
            return meshes;
        }

        std::unordered_set<Cluster*> ClustersOf(const std::unordered_set<Mesh*>& someMeshes)
        {
            std::unordered_set<Cluster*> clusters;
            for (const Mesh* mesh : someMeshes)
            {
                for (int skin = 0; skin < mesh->GetSkinCount(); ++skin)
                {
                    for (int cluster = 0; cluster < mesh->GetSkin(skin)->GetClusterCount(); ++cluster)
                    {
                        clusters.insert(mesh->GetSkin(skin)->GetCluster(cluster));
                    }
                }
            }
            return clusters;
        }

        template <typename Element>
        void TurnDirections(std::vector<Element>& someElements, const Matrix& aConversion)
        {
            for (Element& element : someElements)
            {
                for (Vector4& value : element.GetDirectArray().GetValues())
                {
                    value = aConversion.MultR(value);
                }
            }
        }
    }

    void SceneBuilder::ConvertUnit(Scene& aScene, const SystemUnit& aTarget, bool aConvertClusters)
    {
        GlobalSettings& settings = aScene.GetGlobalSettings();
        const double factor = settings.GetSystemUnit().GetScaleFactor() / aTarget.GetScaleFactor();
        settings.SetSystemUnit(aTarget);
        if (!std::isfinite(factor) || std::abs(factor - 1.0) < 1e-12)
        {
            return;
        }
        std::unordered_set<const AnimCurve*> scaledCurves;
        for (Node* node : aScene.myNodes)
        {
            for (const char* name : LENGTH_PROPERTIES)
            {
                ScaleProperty(node->GetProperties(), name, factor);
            }
        }
        // Curve nodes and curves may be shared; each is scaled once.
        std::unordered_set<const AnimCurveNode*> scaledNodes;
        for (Node* node : aScene.myNodes)
        {
            for (const Node::Animated& animated : node->myAnimated)
            {
                auto* curveNode = const_cast<AnimCurveNode*>(animated.myCurveNode);
                if (!IsLengthProperty(curveNode->myTargetProperty) || !scaledNodes.insert(curveNode).second)
                {
                    continue;
                }
                for (AnimCurveNode::Channel& channel : curveNode->myChannels)
                {
                    channel.myDefault *= factor;
                    if (channel.myCurve && scaledCurves.insert(channel.myCurve).second)
                    {
                        for (AnimCurve::Key& key : const_cast<AnimCurve*>(channel.myCurve)->GetKeys())
                        {
                            key.myValue *= factor;
                            key.myRightSlope *= factor;
                            key.myNextLeftSlope *= factor;
                        }
                    }
                }
            }
        }
        for (Node* node : aScene.myNodes)
        {
            node->RefreshTransform();
        }
        const std::unordered_set<Mesh*> meshes = MeshesOf(aScene);
        for (Mesh* mesh : meshes)
        {
            for (Vector4& point : mesh->GetControlPointArray())
            {
                point = Vector4(point[0] * factor, point[1] * factor, point[2] * factor, point[3]);
            }
        }
        if (aConvertClusters)
        {
            for (Cluster* cluster : ClustersOf(meshes))
            {
                cluster->SetTransform(ScaleTranslation(cluster->GetTransform(), factor));
                cluster->SetTransformLink(ScaleTranslation(cluster->GetTransformLink(), factor));
            }
        }
    }

    void SceneBuilder::ConvertAxes(Scene& aScene, const AxisSystem& aTarget)
    {
        GlobalSettings& settings = aScene.GetGlobalSettings();
        const Matrix conversion = aTarget.GetConversionMatrix(settings.GetAxisSystem());
        settings.SetAxisSystem(aTarget);
        if (conversion == Matrix())
        {
            return;
        }
        const Matrix inverse = conversion.Inverse();
        aScene.SetAxisConversion(conversion * aScene.GetAxisConversion());
        const std::unordered_set<Mesh*> meshes = MeshesOf(aScene);
        for (Mesh* mesh : meshes)
        {
            for (Vector4& point : mesh->GetControlPointArray())
            {
                const double w = point[3];
                point = conversion.MultT(point);
                point[3] = w;
            }
            TurnDirections(mesh->GetNormalElements(), conversion);
            TurnDirections(mesh->GetTangentElements(), conversion);
            TurnDirections(mesh->GetBinormalElements(), conversion);
        }
        for (Cluster* cluster : ClustersOf(meshes))
        {
            cluster->SetTransform(conversion * cluster->GetTransform() * inverse);
            cluster->SetTransformLink(conversion * cluster->GetTransformLink() * inverse);
        }
        for (Node* node : aScene.myNodes)
        {
            const Matrix geometric(node->GetGeometricTranslation(), node->GetGeometricRotation(), node->GetGeometricScaling());
            if (geometric == Matrix())
            {
                continue;
            }
            const Matrix turned = conversion * geometric * inverse;
            SetVector(node->GetProperties(), "GeometricTranslation", "Vector3D", turned.GetT());
            SetVector(node->GetProperties(), "GeometricRotation", "Vector3D", turned.GetR());
            SetVector(node->GetProperties(), "GeometricScaling", "Vector3D", turned.GetS());
        }
    }
}
