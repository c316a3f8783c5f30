#pragma once

namespace Vra::Fbx
{
    class Manager;
    class Scene;
    class Mesh;

    class GeometryConverter
    {
    public:
        explicit GeometryConverter(Manager* aManager) : myManager(aManager) {}

        // Triangulates every mesh of the scene (see Mesh::Triangulate). The meshes are always
        // changed in place, whatever aReplace and aLegacy say. False when a mesh failed.
        bool Triangulate(Scene* aScene, bool aReplace, bool aLegacy = false);
        bool Triangulate(Mesh* aMesh);

    private:
        Manager* myManager;
    };
}
