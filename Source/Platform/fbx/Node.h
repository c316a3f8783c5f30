#pragma once
#include "fbx/Matrix.h"
#include "fbx/Object.h"
#include "fbx/RotationOrder.h"
#include "fbx/Time.h"

#include <string>
#include <vector>

namespace Vra::Fbx
{
    class NodeAttribute;
    class Mesh;
    class LodGroup;
    class SurfaceMaterial;
    class Scene;
    class AnimCurveNode;
    class AnimLayer;

    // Only the source pivot set exists in this reader; the argument is kept for the callers' sake.
    enum class PivotSet
    {
        SourcePivot = 0,
        DestinationPivot = 1
    };

    // How a node takes its parent's scaling (file "InheritType").
    enum class InheritType
    {
        RrSs = 0, // parent scaling applied after the child's rotation: no shear
        RSrs = 1, // plain matrix product (the default)
        Rrs = 2   // parent scaling ignored
    };

    // A node of the scene tree ("Model" in the file). The root node is made by the reader.
    class Node : public Object
    {
    public:
        Node() = default;

        Node* GetParent() const { return myParent; }
        int GetChildCount() const { return static_cast<int>(myChildren.size()); }
        Node* GetChild(int anIndex) const; // null when out of range

        // Null for a node without one (a model with no attribute in the file and no known sub class).
        NodeAttribute* GetNodeAttribute() const { return myAttribute; }
        Mesh* GetMesh() const;         // null unless the attribute is a mesh
        LodGroup* GetLodGroup() const; // null unless the attribute is an LOD group

        // The materials connected to this node, in connection order.
        int GetMaterialCount() const { return static_cast<int>(myMaterials.size()); }
        SurfaceMaterial* GetMaterial(int anIndex) const; // null when out of range

        // The offset of the attached geometry from the node ("GeometricTranslation", ...), in the
        // scene's current unit and axis system; rotation is Euler XYZ in degrees.
        Vector4 GetGeometricTranslation(PivotSet aPivotSet = PivotSet::SourcePivot) const;
        Vector4 GetGeometricRotation(PivotSet aPivotSet = PivotSet::SourcePivot) const;
        Vector4 GetGeometricScaling(PivotSet aPivotSet = PivotSet::SourcePivot) const;

        // The node's transform in its parent (local) and in the scene (global) at aTime under the
        // scene's current animation stack, with the whole transform stack:
        //   T * Roff * Rp * Rpre * R * Rpost^-1 * Rp^-1 * Soff * Sp * S * Sp^-1
        // and the inherit type. Local is parentGlobal^-1 * global, so locals compose back to globals.
        Matrix EvaluateGlobalTransform(Time aTime = Time(), PivotSet aPivotSet = PivotSet::SourcePivot) const;
        Matrix EvaluateLocalTransform(Time aTime = Time(), PivotSet aPivotSet = PivotSet::SourcePivot) const;

        // The transform values at aTime (animated ones through the current stack's layers).
        Vector4 EvaluateLocalTranslation(Time aTime = Time()) const;
        Vector4 EvaluateLocalRotation(Time aTime = Time()) const;
        Vector4 EvaluateLocalScaling(Time aTime = Time()) const;
        RotationOrder GetRotationOrder() const;
        InheritType GetInheritType() const;

        Scene* GetScene() const { return myScene; }

        // The transform properties are read once after an import and after each conversion;
        // call this after changing them through GetProperties().
        void RefreshTransform();

    private:
        friend class SceneBuilder;
        friend class Scene;
        struct Animated
        {
            const AnimLayer* myLayer = nullptr;
            const AnimCurveNode* myCurveNode = nullptr;
        };
        // The stages of the transform stack, in the order the file names them.
        enum Stage
        {
            TRANSLATION,
            ROTATION_OFFSET,
            ROTATION_PIVOT,
            PRE_ROTATION,
            ROTATION,
            POST_ROTATION,
            SCALING_OFFSET,
            SCALING_PIVOT,
            SCALING,
            STAGE_COUNT
        };
        struct TransformCache
        {
            TransformCache() { myValues[SCALING] = Vector4(1.0, 1.0, 1.0, 1.0); }
            Vector4 myValues[STAGE_COUNT];
            std::vector<Animated> myAnimated[STAGE_COUNT];
            RotationOrder myOrder = RotationOrder::XYZ;
            InheritType myInheritType = InheritType::RrSs;
            bool myHasPivots = false; // any stage other than T, R and S in use
        };
        Vector4 EvaluateProperty(const char* aName, const Vector4& aDefault, Time aTime) const;
        Vector4 EvaluateStage(Stage aStage, Time aTime) const;
        Vector4 Blend(const std::vector<Animated>& someAnimated, const char* aName, Vector4 aValue, Time aTime) const;
        Matrix EvaluateRawGlobal(Time aTime) const;
        Matrix CombineWithParent(const Matrix& aParentGlobal, Time aTime) const;
        Matrix EvaluateRawLocalStack(Time aTime, Matrix* aRotation, Matrix* aScaling) const;

        Scene* myScene = nullptr;
        Node* myParent = nullptr;
        std::vector<Node*> myChildren;
        NodeAttribute* myAttribute = nullptr;
        std::vector<SurfaceMaterial*> myMaterials;
        std::vector<Animated> myAnimated; // every curve node on this node, all stacks
        TransformCache myTransform;
    };
}
