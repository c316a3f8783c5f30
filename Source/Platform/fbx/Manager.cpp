#include "fbx/Manager.h"

#include "fbx/IOSettings.h"
#include "fbx/Importer.h"
#include "fbx/Scene.h"

#include <vector>

namespace Vra::Fbx
{
    Manager* Manager::Create()
    {
        return new Manager();
    }

    void Manager::Destroy()
    {
        delete this;
    }

    Manager::~Manager()
    {
        // Taken out under the lock, destroyed outside it: their destructors unregister.
        std::vector<Scene*> scenes;
        std::vector<Importer*> importers;
        std::vector<IOSettings*> settings;
        {
            std::lock_guard lock(myMutex);
            scenes.assign(myScenes.begin(), myScenes.end());
            importers.assign(myImporters.begin(), myImporters.end());
            settings.assign(mySettings.begin(), mySettings.end());
            myScenes.clear();
            myImporters.clear();
            mySettings.clear();
        }
        for (Scene* scene : scenes)
        {
            scene->myManager = nullptr;
            delete scene;
        }
        for (Importer* importer : importers)
        {
            importer->myManager = nullptr;
            delete importer;
        }
        for (IOSettings* setting : settings)
        {
            setting->myManager = nullptr;
            delete setting;
        }
    }

    void Manager::Register(Scene* aScene)
    {
        std::lock_guard lock(myMutex);
        myScenes.insert(aScene);
    }

    void Manager::Register(Importer* anImporter)
    {
        std::lock_guard lock(myMutex);
        myImporters.insert(anImporter);
    }

    void Manager::Register(IOSettings* aSettings)
    {
        std::lock_guard lock(myMutex);
        mySettings.insert(aSettings);
    }

    void Manager::Unregister(Scene* aScene)
    {
        std::lock_guard lock(myMutex);
        myScenes.erase(aScene);
    }

    void Manager::Unregister(Importer* anImporter)
    {
        std::lock_guard lock(myMutex);
        myImporters.erase(anImporter);
    }

    void Manager::Unregister(IOSettings* aSettings)
    {
        std::lock_guard lock(myMutex);
        mySettings.erase(aSettings);
    }
}
