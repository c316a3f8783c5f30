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

    namespace
    {
        constexpr const char* STAGE_NAMES[] = { "Lcl Translation", "RotationOffset", "RotationPivot",
                                                "PreRotation",     "Lcl Rotation",   "PostRotation",
                                                "ScalingOffset",   "ScalingPivot",   "Lcl Scaling" };
    }

    RotationOrder Node::GetRotationOrder() const
    {
        return myTransform.myOrder;
    }

    InheritType Node::GetInheritType() const
    {
        return myTransform.myInheritType;
    }

    void Node::RefreshTransform()
    {
        TransformCache cache;
        const double order = GetProperties().GetNumber("RotationOrder", 0.0);
        cache.myOrder = order >= 0.0 && order <= 6.0 ? static_cast<RotationOrder>(static_cast<int>(order)) : RotationOrder::XYZ;
        const double type = GetProperties().GetNumber("InheritType", 0.0);
        cache.myInheritType = type >= 0.0 && type <= 2.0 ? static_cast<InheritType>(static_cast<int>(type)) : InheritType::RSrs;
        for (int stage = 0; stage < STAGE_COUNT; ++stage)
        {
            cache.myValues[stage] = GetProperties().GetVector(STAGE_NAMES[stage], stage == SCALING ? ONE : ZERO);
            for (const Animated& animated : myAnimated)
            {
                if (animated.myCurveNode->GetTargetProperty() == STAGE_NAMES[stage])
                {
                    cache.myAnimated[stage].push_back(animated);
                }
            }
            const bool inUse = !cache.myAnimated[stage].empty() || !(cache.myValues[stage] == ZERO);
            if (stage != TRANSLATION && stage != ROTATION && stage != SCALING && inUse)
            {
                cache.myHasPivots = true;
            }
        }
        myTransform = std::move(cache);
    }

    Vector4 Node::Blend(const std::vector<Animated>& someAnimated, const char* aName, Vector4 aValue, Time aTime) const
    {
        const AnimStack* stack = myScene ? myScene->GetCurrentAnimationStack() : nullptr;
        if (!stack || someAnimated.empty())
        {
            return aValue;
        }
        bool first = true;
        for (int layerIndex = 0; layerIndex < stack->GetLayerCount(); ++layerIndex)
        {
            const AnimLayer* layer = stack->GetLayer(layerIndex);
            for (const Animated& animated : someAnimated)
            {
                if (animated.myLayer != layer || (aName && animated.myCurveNode->GetTargetProperty() != aName))
                {
                    continue;
                }
                Vector4 layerValue = aValue;
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
                        aValue[channel] = layerValue[channel];
                    }
                    else if (layer->GetBlendMode() == AnimLayer::BlendMode::Additive)
                    {
                        aValue[channel] += weight * layerValue[channel];
                    }
                    else
                    {
                        aValue[channel] += weight * (layerValue[channel] - aValue[channel]);
                    }
                }
                first = false;
            }
        }
        return aValue;
    }

    Vector4 Node::EvaluateProperty(const char* aName, const Vector4& aDefault, Time aTime) const
    {
        return Blend(myAnimated, aName, GetProperties().GetVector(aName, aDefault), aTime);
    }

    Vector4 Node::EvaluateStage(Stage aStage, Time aTime) const
    {
        return Blend(myTransform.myAnimated[aStage], nullptr, myTransform.myValues[aStage], aTime);
    }

    Vector4 Node::EvaluateLocalTranslation(Time aTime) const
    {
        return EvaluateStage(TRANSLATION, aTime);
    }

    Vector4 Node::EvaluateLocalRotation(Time aTime) const
    {
        return EvaluateStage(ROTATION, aTime);
    }

    Vector4 Node::EvaluateLocalScaling(Time aTime) const
    {
        return EvaluateStage(SCALING, aTime);
    }

    Matrix Node::EvaluateRawLocalStack(Time aTime, Matrix* aRotation, Matrix* aScaling) const
    {
        // T * Roff * Rp * Rpre * R * Rpost^-1 * Rp^-1 * Soff * Sp * S * Sp^-1 in closed form: the
        // linear part is Rpre * R * Rpost^-1 * S, the pivots and offsets only move the origin.
        const Vector4 scalingValue = EvaluateStage(SCALING, aTime);
        Matrix rotation = Matrix::Rotation(EvaluateStage(ROTATION, aTime), myTransform.myOrder);
        Vector4 translation = EvaluateStage(TRANSLATION, aTime);
        if (myTransform.myHasPivots)
        {
            const Vector4 preRotation = EvaluateStage(PRE_ROTATION, aTime);
            const Vector4 postRotation = EvaluateStage(POST_ROTATION, aTime);
            if (!(preRotation == ZERO))
            {
                rotation = Matrix::Rotation(preRotation) * rotation;
            }
            if (!(postRotation == ZERO))
            {
                rotation = rotation * Matrix::Rotation(postRotation).Transpose();
            }
            const Vector4 rotationOffset = EvaluateStage(ROTATION_OFFSET, aTime);
            const Vector4 rotationPivot = EvaluateStage(ROTATION_PIVOT, aTime);
            const Vector4 scalingOffset = EvaluateStage(SCALING_OFFSET, aTime);
            const Vector4 scalingPivot = EvaluateStage(SCALING_PIVOT, aTime);
            Vector4 inner(0.0, 0.0, 0.0, 0.0);
            for (int axis = 0; axis < 3; ++axis)
            {
                inner[axis] = -scalingValue[axis] * scalingPivot[axis] + scalingPivot[axis] + scalingOffset[axis] - rotationPivot[axis];
            }
            const Vector4 turned = rotation.MultR(inner);
            for (int axis = 0; axis < 3; ++axis)
            {
                translation[axis] += turned[axis] + rotationPivot[axis] + rotationOffset[axis];
            }
        }
        const Matrix scaling = Matrix::Scaling(scalingValue);
        if (aRotation)
        {
            *aRotation = rotation;
        }
        if (aScaling)
        {
            *aScaling = scaling;
        }
        Matrix local = rotation * scaling;
        local.SetRow(3, Vector4(translation[0], translation[1], translation[2], 1.0));
        return local;
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
