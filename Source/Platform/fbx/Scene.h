#pragma once
#include "fbx/GlobalSettings.h"
#include "fbx/Matrix.h"
#include "fbx/TakeInfo.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Vra::Fbx
{
    class Manager;
    class Object;
    class Node;
    class SurfaceMaterial;
    class AnimStack;

    // Everything one import read: the node tree, its attributes, materials, textures, deformers
    // and animation, owning all of them. Made empty by Create; an Importer fills it.
    class Scene
    {
    public:
        // aManager may be null; a scene made with one is destroyed with it unless destroyed first.
        static Scene* Create(Manager* aManager, const char* aName);
        void Destroy();

        const std::string& GetName() const { return myName; }
        Node* GetRootNode() const { return myRoot; }
        GlobalSettings& GetGlobalSettings() { return myGlobalSettings; }
        const GlobalSettings& GetGlobalSettings() const { return myGlobalSettings; }

        // Every node but the root, in the file's order; the first node of that name (depth first).
        int GetNodeCount() const { return static_cast<int>(myNodes.size()); }
        Node* GetNode(int anIndex) const;
        Node* FindNodeByName(std::string_view aName) const;

        // The scene's materials in the file's order.
        int GetMaterialCount() const { return static_cast<int>(myMaterials.size()); }
        SurfaceMaterial* GetMaterial(int anIndex) const; // null when out of range
        // Materials are connected to their nodes while reading; kept for the callers' sake.
        void ConnectMaterials() {}

        int GetAnimStackCount() const { return static_cast<int>(myAnimStacks.size()); }
        AnimStack* GetAnimStack(int anIndex) const; // null when out of range
        // The stack that transform evaluation uses; the first one after an import.
        AnimStack* GetCurrentAnimationStack() const { return myCurrentStack; }
        void SetCurrentAnimationStack(AnimStack* aStack) { myCurrentStack = aStack; }
        // The take of that name (a stack's name); null when there is none.
        const TakeInfo* GetTakeInfo(std::string_view aName) const;

        // The axis change baked in so far (identity after an import): evaluated transforms come out
        // as C * M * C^-1.
        const Matrix& GetAxisConversion() const { return myAxisConversion; }
        const Matrix& GetAxisConversionInverse() const { return myAxisConversionInverse; }
        void SetAxisConversion(const Matrix& aConversion);

        // Empties the scene (an import into a used scene starts from here).
        void Clear();

        ~Scene();

    private:
        friend class SceneBuilder;
        friend class Manager;
        explicit Scene(std::string aName);

        Manager* myManager = nullptr;
        std::string myName;
        GlobalSettings myGlobalSettings;
        std::vector<std::unique_ptr<Object>> myObjects; // owns everything below
        Node* myRoot = nullptr;
        std::vector<Node*> myNodes;
        // Looked up by string_view without making a string each time.
        struct NameHash
        {
            using is_transparent = void;
            size_t operator()(std::string_view aName) const { return std::hash<std::string_view>()(aName); }
        };
        std::unordered_map<std::string, Node*, NameHash, std::equal_to<>> myNodesByName;
        std::vector<SurfaceMaterial*> myMaterials;
        std::vector<AnimStack*> myAnimStacks;
        AnimStack* myCurrentStack = nullptr;
        std::vector<TakeInfo> myTakes;
        Matrix myAxisConversion;
        Matrix myAxisConversionInverse;
    };
}
