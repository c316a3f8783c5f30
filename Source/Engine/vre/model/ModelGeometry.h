#pragma once
#include "model/MeshData.h"

namespace Vra::impl
{
    // The mesh's vertices and indices in immutable GPU buffers; false when either cannot be made
    // (no device, no data). Records the counts and the 180-byte stride.
    bool CreateMeshBuffers(MeshData& aMesh);
    // Half extents, centre and radius (the half extents' length) of the vertex positions.
    void ComputeMeshBounds(MeshData& aMesh);

    // Reverses every triangle when the mesh's triangles, taken in the order that faces the
    // rasterizer's front (clockwise on screen), disagree with its vertex normals on the whole.
    // The import mirrors a file's right-handed axes into the engine's left-handed ones and keeps
    // the triangle order, which would turn every face to the back; the normals still point out.
    void TurnFacesOutward(MeshData& aMesh);

    // The built-in models' single meshes, without GPU buffers: a cube of edge 100 on the origin
    // and a 100 by 100 square in the XZ plane.
    MeshData MakeCubeMesh();
    MeshData MakePlaneMesh();
}
