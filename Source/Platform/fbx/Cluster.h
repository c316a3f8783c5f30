#pragma once
#include "fbx/Matrix.h"
#include "fbx/Object.h"

#include <vector>

namespace Vra::Fbx
{
    class Node;

    // One joint's influence on a skinned mesh: the control points it moves with their weights,
    // the mesh's transform at bind time ("Transform") and the joint's global transform at bind time
    // ("TransformLink"). The reader guarantees indices inside the mesh's control points and one
    // weight per index.
    class Cluster : public Object
    {
    public:
        Cluster() = default;

        Node* GetLink() const { return myLink; } // null when no node is connected
        Matrix& GetTransformMatrix(Matrix& aMatrix) const { return aMatrix = myTransform; }
        Matrix& GetTransformLinkMatrix(Matrix& aMatrix) const { return aMatrix = myTransformLink; }
        const Matrix& GetTransform() const { return myTransform; }
        const Matrix& GetTransformLink() const { return myTransformLink; }
        void SetTransform(const Matrix& aMatrix) { myTransform = aMatrix; }
        void SetTransformLink(const Matrix& aMatrix) { myTransformLink = aMatrix; }

        int GetControlPointIndicesCount() const { return static_cast<int>(myIndices.size()); }
        const int* GetControlPointIndices() const { return myIndices.data(); }
        const double* GetControlPointWeights() const { return myWeights.data(); }

    private:
        friend class SceneBuilder;
        Node* myLink = nullptr;
        Matrix myTransform;
        Matrix myTransformLink;
        std::vector<int> myIndices;
        std::vector<double> myWeights;
    };
}
