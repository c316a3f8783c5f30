#include "fbx/Node.h"

#include "fbx/AnimCurve.h"
#include "fbx/AnimCurveNode.h"
#include "fbx/AnimLayer.h"
#include "fbx/AnimStack.h"
#include "fbx/LodGroup.h"
#include "fbx/Mesh.h"
#include "fbx/Scene.h"

#include <cstring>

namespace Vra::Fbx
{
    namespace
    {
        const Vector4 ZERO(0.0, 0.0, 0.0, 1.0);
        const Vector4 ONE(1.0, 1.0, 1.0, 1.0);

        Matrix LinearPart(const Matrix& aMatrix)
        {
            Matrix result = aMatrix;
            result.SetRow(3, Vector4(0.0, 0.0, 0.0, 1.0));
            return result;
        }

        Matrix RotationPart(const Matrix& aMatrix)
        {
            return Matrix::Rotation(aMatrix.GetR());
        }
    }

    Node* Node::GetChild(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetChildCount() ? myChildren[anIndex] : nullptr;
    }

    Mesh* Node::GetMesh() const
    {
        return myAttribute && myAttribute->GetAttributeType() == NodeAttribute::Type::Mesh ? static_cast<Mesh*>(myAttribute)
                                                                                            : nullptr;
    }

    LodGroup* Node::GetLodGroup() const
    {
        return myAttribute && myAttribute->GetAttributeType() == NodeAttribute::Type::LodGroup
                   ? static_cast<LodGroup*>(myAttribute)
                   : nullptr;
    }

    SurfaceMaterial* Node::GetMaterial(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetMaterialCount() ? myMaterials[anIndex] : nullptr;
    }

    Vector4 Node::GetGeometricTranslation(PivotSet) const
    {
        return GetProperties().GetVector("GeometricTranslation", ZERO);
    }

    Vector4 Node::GetGeometricRotation(PivotSet) const
    {
        return GetProperties().GetVector("GeometricRotation", ZERO);
    }

    Vector4 Node::GetGeometricScaling(PivotSet) const
    {
        return GetProperties().GetVector("GeometricScaling", ONE);
    }

    RotationOrder Node::GetRotationOrder() const
    {
        const double order = GetProperties().GetNumber("RotationOrder", 0.0);
        return order >= 0.0 && order <= 6.0 ? static_cast<RotationOrder>(static_cast<int>(order)) : RotationOrder::XYZ;
    }

    InheritType Node::GetInheritType() const
    {
        const double type = GetProperties().GetNumber("InheritType", 0.0);
        return type >= 0.0 && type <= 2.0 ? static_cast<InheritType>(static_cast<int>(type)) : InheritType::RSrs;
    }

    Vector4 Node::EvaluateProperty(const char* aName, const Vector4& aDefault, Time aTime) const
    {
        Vector4 value = GetProperties().GetVector(aName, aDefault);
        const AnimStack* stack = myScene ? myScene->GetCurrentAnimationStack() : nullptr;
        if (!stack || myAnimated.empty())
        {
            return value;
        }
        bool first = true;
        for (int layerIndex = 0; layerIndex < stack->GetLayerCount(); ++layerIndex)
        {
            const AnimLayer* layer = stack->GetLayer(layerIndex);
            for (const Animated& animated : myAnimated)
            {
                if (animated.myLayer != layer || animated.myCurveNode->GetTargetProperty() != aName)
                {
                    continue;
                }
                Vector4 layerValue = value;
                const AnimCurveNode& curveNode = *animated.myCurveNode;
                for (int channel = 0; channel < 3 && channel < curveNode.GetChannelCount(); ++channel)
                {
                    const AnimCurveNode::Channel& source = curveNode.GetChannel(channel);
                    layerValue[channel] = source.myCurve ? source.myCurve->Evaluate(aTime, source.myDefault) : source.myDefault;
                }
                const double weight = layer->GetWeight() / 100.0;
                for (int channel = 0; channel < 3; ++channel)
                {
                    if (first)
                    {
                        value[channel] = layerValue[channel];
                    }
                    else if (layer->GetBlendMode() == AnimLayer::BlendMode::Additive)
                    {
                        value[channel] += weight * layerValue[channel];
                    }
                    else
                    {
                        value[channel] += weight * (layerValue[channel] - value[channel]);
                    }
                }
                first = false;
            }
        }
        return value;
    }

    Vector4 Node::EvaluateLocalTranslation(Time aTime) const
    {
        return EvaluateProperty("Lcl Translation", ZERO, aTime);
    }

    Vector4 Node::EvaluateLocalRotation(Time aTime) const
    {
        return EvaluateProperty("Lcl Rotation", ZERO, aTime);
    }

    Vector4 Node::EvaluateLocalScaling(Time aTime) const
    {
        return EvaluateProperty("Lcl Scaling", ONE, aTime);
    }

    Matrix Node::EvaluateRawLocalStack(Time aTime, Matrix* aRotation, Matrix* aScaling) const
    {
        const Matrix translation = Matrix::Translation(EvaluateLocalTranslation(aTime));
        const Matrix rotationOffset = Matrix::Translation(EvaluateProperty("RotationOffset", ZERO, aTime));
        const Matrix rotationPivot = Matrix::Translation(EvaluateProperty("RotationPivot", ZERO, aTime));
        const Matrix preRotation = Matrix::Rotation(EvaluateProperty("PreRotation", ZERO, aTime));
        const Matrix postRotation = Matrix::Rotation(EvaluateProperty("PostRotation", ZERO, aTime));
        const Matrix rotation = Matrix::Rotation(EvaluateLocalRotation(aTime), GetRotationOrder());
        const Matrix scalingOffset = Matrix::Translation(EvaluateProperty("ScalingOffset", ZERO, aTime));
        const Matrix scalingPivot = Matrix::Translation(EvaluateProperty("ScalingPivot", ZERO, aTime));
        const Matrix scaling = Matrix::Scaling(EvaluateLocalScaling(aTime));

        const Matrix fullRotation = preRotation * rotation * postRotation.Inverse();
        if (aRotation)
        {
            *aRotation = fullRotation;
        }
        if (aScaling)
        {
            *aScaling = scaling;
        }
        return translation * rotationOffset * rotationPivot * fullRotation * rotationPivot.Inverse() * scalingOffset *
               scalingPivot * scaling * scalingPivot.Inverse();
    }

    Matrix Node::EvaluateRawGlobal(Time aTime) const
    {
        // Walked from the top down without recursion: a file may nest nodes very deeply.
        std::vector<const Node*> chain;
        for (const Node* node = this; node && node->myParent; node = node->myParent)
        {
            chain.push_back(node);
        }
        Matrix global;
        for (auto node = chain.rbegin(); node != chain.rend(); ++node)
        {
            global = (*node)->CombineWithParent(global, aTime);
        }
        return global;
    }

    Matrix Node::CombineWithParent(const Matrix& aParentGlobal, Time aTime) const
    {
        Matrix rotation;
        Matrix scaling;
        const Matrix local = EvaluateRawLocalStack(aTime, &rotation, &scaling);
        switch (GetInheritType())
        {
        case InheritType::RSrs: return aParentGlobal * local;
        case InheritType::Rrs:
        {
            // The parent's own scaling is undone; its ancestors' still applies.
            Matrix parentScaling;
            if (myParent && myParent->myParent)
            {
                myParent->EvaluateRawLocalStack(aTime, nullptr, &parentScaling);
            }
            return aParentGlobal * parentScaling.Inverse() * local;
        }
        case InheritType::RrSs:
        default:
        {
            // The parent's scaling acts along the child's axes, after the child's rotation.
            const Matrix parentRotation = RotationPart(aParentGlobal);
            const Matrix parentScaling = parentRotation.Inverse() * LinearPart(aParentGlobal);
            Matrix global = parentRotation * rotation * parentScaling * scaling;
            global.SetRow(3, aParentGlobal.MultT(local.GetT()));
            return global;
        }
        }
    }

    Matrix Node::EvaluateGlobalTransform(Time aTime, PivotSet) const
    {
        const Matrix raw = EvaluateRawGlobal(aTime);
        if (!myScene)
        {
            return raw;
        }
        return myScene->GetAxisConversion() * raw * myScene->GetAxisConversionInverse();
    }

    Matrix Node::EvaluateLocalTransform(Time aTime, PivotSet) const
    {
        Matrix raw;
        if (myParent && GetInheritType() == InheritType::RSrs)
        {
            raw = EvaluateRawLocalStack(aTime, nullptr, nullptr);
        }
        else if (myParent)
        {
            raw = myParent->EvaluateRawGlobal(aTime).Inverse() * EvaluateRawGlobal(aTime);
        }
        if (!myScene)
        {
            return raw;
        }
        return myScene->GetAxisConversion() * raw * myScene->GetAxisConversionInverse();
    }
}
