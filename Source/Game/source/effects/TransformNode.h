#pragma once
#include "Matrix4x4.h"

// A transform placed under an optional parent: the world matrix is the own matrix times the
// parent's world matrix. The parent is owned elsewhere and must outlive the node's use.
struct TransformNode
{
    TransformNode() = default;
    // A node without parent, so that a plain world matrix can stand where a node is asked for.
    TransformNode(const CommonUtilities::Matrix4x4& aTransform) : myTransform(aTransform) {}

    CommonUtilities::Matrix4x4 GetWorldTransform() const;
    void SetParent(const TransformNode* aParent)
    {
        myParent = aParent;
        myHasParent = aParent != nullptr;
    }

    CommonUtilities::Matrix4x4 myTransform; // translation in row 4
    const TransformNode* myParent = nullptr;
    bool myHasParent = false;
};
