#include "fbx/Scene.h"

#include "fbx/AnimStack.h"
#include "fbx/Manager.h"
#include "fbx/Node.h"
#include "fbx/SurfaceMaterial.h"

namespace Vra::Fbx
{
    Scene* Scene::Create(Manager* aManager, const char* aName)
    {
        Scene* scene = new Scene(aName ? aName : "");
        scene->myManager = aManager;
        if (aManager)
        {
            aManager->Register(scene);
        }
        return scene;
    }

    void Scene::Destroy()
    {
        if (myManager)
        {
            myManager->Unregister(this);
        }
        delete this;
    }

    Scene::Scene(std::string aName) : myName(std::move(aName))
    {
        Clear();
    }

    Scene::~Scene() = default;

    void Scene::Clear()
    {
        myNodes.clear();
        myNodesByName.clear();
        myMaterials.clear();
        myAnimStacks.clear();
        myCurrentStack = nullptr;
        myTakes.clear();
        myObjects.clear();
        myGlobalSettings = GlobalSettings();
        myAxisConversion = Matrix();
        myAxisConversionInverse = Matrix();
        auto root = std::make_unique<Node>();
        myRoot = root.get();
        myRoot->myScene = this;
        myObjects.push_back(std::move(root));
    }

    Node* Scene::GetNode(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetNodeCount() ? myNodes[anIndex] : nullptr;
    }

    Node* Scene::FindNodeByName(std::string_view aName) const
    {
        const auto found = myNodesByName.find(aName);
        return found != myNodesByName.end() ? found->second : nullptr;
    }

    SurfaceMaterial* Scene::GetMaterial(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetMaterialCount() ? myMaterials[anIndex] : nullptr;
    }

    AnimStack* Scene::GetAnimStack(int anIndex) const
    {
        return anIndex >= 0 && anIndex < GetAnimStackCount() ? myAnimStacks[anIndex] : nullptr;
    }

    const TakeInfo* Scene::GetTakeInfo(std::string_view aName) const
    {
        for (const TakeInfo& take : myTakes)
        {
            if (take.myName == aName)
            {
                return &take;
            }
        }
        return nullptr;
    }

    void Scene::SetAxisConversion(const Matrix& aConversion)
    {
        myAxisConversion = aConversion;
        myAxisConversionInverse = aConversion.Inverse();
    }
}
