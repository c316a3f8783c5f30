#pragma once
#include "fbx/Object.h"

namespace Vra::Fbx
{
    class Node;

    // What a node is. The numbers are those the import code compares against.
    class NodeAttribute : public Object
    {
    public:
        enum class Type
        {
            Unknown = 0,
            Null = 1,
            Marker = 2,
            Skeleton = 3,
            Mesh = 4,
            Nurbs = 5,
            Patch = 6,
            Camera = 7,
            Light = 10,
            Shape = 17,
            LodGroup = 18,
            Line = 21
        };

        explicit NodeAttribute(Type aType) : myType(aType) {}

        Type GetAttributeType() const { return myType; }
        Node* GetNode() const { return myNode; } // the first node that uses it

    private:
        friend class SceneBuilder;
        Type myType;
        Node* myNode = nullptr;
    };
}
