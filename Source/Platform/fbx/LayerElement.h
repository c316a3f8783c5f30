#pragma once
#include "fbx/Color.h"
#include "fbx/LayerArray.h"
#include "fbx/Vector2.h"
#include "fbx/Vector4.h"

#include <string>
#include <vector>

namespace Vra::Fbx
{
    // How a layer element's values are laid over the mesh (file "MappingInformationType").
    enum class MappingMode
    {
        None = 0,            // anything the reader does not know
        ByControlPoint = 1,  // "ByControlPoint", "ByVertice", "ByVertex"
        ByPolygonVertex = 2, // "ByPolygonVertex"
        ByPolygon = 3,       // "ByPolygon"
        ByEdge = 4,          // "ByEdge"
        AllSame = 5          // "AllSame"
    };

    // How values are found (file "ReferenceInformationType"): Direct reads the direct array at the
    // mapped index, IndexToDirect reads the index array first. Index is what every other text
    // ("Index", unknown words) reads as; readers of layers refuse it.
    enum class ReferenceMode
    {
        Direct = 0,
        Index = 1,
        IndexToDirect = 2
    };

    template <typename T>
    class LayerElementTemplate
    {
    public:
        const std::string& GetName() const { return myName; }
        MappingMode GetMappingMode() const { return myMappingMode; }
        ReferenceMode GetReferenceMode() const { return myReferenceMode; }
        const LayerArray<T>& GetDirectArray() const { return myDirect; }
        const LayerArray<int>& GetIndexArray() const { return myIndex; }
        LayerArray<T>& GetDirectArray() { return myDirect; }
        LayerArray<int>& GetIndexArray() { return myIndex; }
        void SetMappingMode(MappingMode aMode) { myMappingMode = aMode; }
        void SetReferenceMode(ReferenceMode aMode) { myReferenceMode = aMode; }
        void SetName(std::string aName) { myName = std::move(aName); }

    private:
        std::string myName;
        MappingMode myMappingMode = MappingMode::None;
        ReferenceMode myReferenceMode = ReferenceMode::Direct;
        LayerArray<T> myDirect;
        LayerArray<int> myIndex;
    };

    using LayerElementNormal = LayerElementTemplate<Vector4>;
    using LayerElementTangent = LayerElementTemplate<Vector4>;
    using LayerElementBinormal = LayerElementTemplate<Vector4>;
    using LayerElementUV = LayerElementTemplate<Vector2>;
    using LayerElementVertexColor = LayerElementTemplate<Color>;
    // Material elements use the index array only: the material's position among the node's.
    using LayerElementMaterial = LayerElementTemplate<int>;
}
