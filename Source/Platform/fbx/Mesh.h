#pragma once
#include "fbx/LayerElement.h"
#include "fbx/NodeAttribute.h"
#include "fbx/Vector4.h"

#include <memory>
#include <vector>

namespace Vra::Fbx
{
    class Skin;

    // Polygon geometry: control points, polygons as runs of control-point indices, and the layer
    // elements over them (element i of each kind makes up layer i).
    class Mesh : public NodeAttribute
    {
    public:
        Mesh();
        ~Mesh() override;

        int GetControlPointsCount() const { return static_cast<int>(myControlPoints.size()); }
        const Vector4* GetControlPoints() const { return myControlPoints.data(); }
        const Vector4& GetControlPointAt(int anIndex) const;
        std::vector<Vector4>& GetControlPointArray() { return myControlPoints; }

        int GetPolygonCount() const { return static_cast<int>(myPolygonStarts.size()); }
        int GetPolygonSize(int aPolygon) const;            // -1 when out of range
        int GetPolygonVertex(int aPolygon, int aPosition) const; // control point; -1 when out of range
        int GetPolygonVertexIndex(int aPolygon) const;     // first polygon vertex of the polygon; -1 when out of range
        const int* GetPolygonStarts() const { return myPolygonStarts.data(); } // first polygon vertex of each polygon
        int GetPolygonVertexCount() const { return static_cast<int>(myPolygonVertices.size()); }
        const int* GetPolygonVertices() const { return myPolygonVertices.data(); }
        bool IsTriangleMesh() const;

        // The index into UV set aUvSet's direct array for a polygon corner, whatever the set's
        // mapping (by control point or by polygon vertex) and reference mode; -1 when the set is
        // missing, maps otherwise or the corner is out of range.
        int GetTextureUVIndex(int aPolygon, int aPosition, int aUvSet = 0) const;

        int GetElementNormalCount() const { return static_cast<int>(myNormals.size()); }
        int GetElementTangentCount() const { return static_cast<int>(myTangents.size()); }
        int GetElementBinormalCount() const { return static_cast<int>(myBinormals.size()); }
        int GetElementUVCount() const { return static_cast<int>(myUvs.size()); }
        int GetElementVertexColorCount() const { return static_cast<int>(myColors.size()); }
        int GetElementMaterialCount() const { return static_cast<int>(myMaterials.size()); }
        int GetUVLayerCount() const { return GetElementUVCount(); }
        int GetLayerCount() const;

        // Null when anIndex is out of range.
        const LayerElementNormal* GetElementNormal(int anIndex = 0) const;
        const LayerElementTangent* GetElementTangent(int anIndex = 0) const;
        const LayerElementBinormal* GetElementBinormal(int anIndex = 0) const;
        const LayerElementUV* GetElementUV(int anIndex = 0) const;
        const LayerElementVertexColor* GetElementVertexColor(int anIndex = 0) const;
        const LayerElementMaterial* GetElementMaterial(int anIndex = 0) const;

        // Tangents and binormals by polygon vertex from the normals and UV set aUvSet
        // (Gram-Schmidt against the normal, binormal = normal x tangent times the UV handedness).
        // With tangents already present and anOverwrite false, nothing changes and the result is
        // true. False when the UV set does not exist or the mesh has no polygons.
        bool GenerateTangentsData(int aUvSet, bool anOverwrite = false, bool anIgnoreTangentFlip = false);

        // Deformers of the skin kind (the only kind this reader knows).
        int GetSkinCount() const { return static_cast<int>(mySkins.size()); }
        Skin* GetSkin(int anIndex) const;

        // Splits every polygon of more than three corners into triangles (ear clipping in the
        // polygon's plane, so concave polygons come out right) and carries every layer element
        // along. Polygons of fewer than three corners are dropped. False when nothing could be
        // triangulated though polygons were there.
        bool Triangulate();

        // Used by the reader and the conversions.
        std::vector<int>& GetPolygonStartArray() { return myPolygonStarts; }
        std::vector<int>& GetPolygonVertexArray() { return myPolygonVertices; }
        std::vector<LayerElementNormal>& GetNormalElements() { return myNormals; }
        std::vector<LayerElementTangent>& GetTangentElements() { return myTangents; }
        std::vector<LayerElementBinormal>& GetBinormalElements() { return myBinormals; }
        std::vector<LayerElementUV>& GetUVElements() { return myUvs; }
        std::vector<LayerElementVertexColor>& GetColorElements() { return myColors; }
        std::vector<LayerElementMaterial>& GetMaterialElements() { return myMaterials; }

    private:
        friend class SceneBuilder;
        std::vector<Vector4> myControlPoints;
        std::vector<int> myPolygonStarts;   // into myPolygonVertices
        std::vector<int> myPolygonVertices; // control-point indices
        std::vector<LayerElementNormal> myNormals;
        std::vector<LayerElementTangent> myTangents;
        std::vector<LayerElementBinormal> myBinormals;
        std::vector<LayerElementUV> myUvs;
        std::vector<LayerElementVertexColor> myColors;
        std::vector<LayerElementMaterial> myMaterials;
        std::vector<Skin*> mySkins;
    };
}
