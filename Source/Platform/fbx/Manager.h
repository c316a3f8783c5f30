#pragma once
#include <mutex>
#include <unordered_set>

namespace Vra::Fbx
{
    class Scene;
    class Importer;
    class IOSettings;

    // Keeps track of the scenes, importers and settings made with it and destroys those still
    // alive when it is destroyed. Safe to use from several threads at once.
    class Manager
    {
    public:
        static Manager* Create();
        void Destroy();

        Manager(const Manager&) = delete;
        Manager& operator=(const Manager&) = delete;

    private:
        friend class Scene;
        friend class Importer;
        friend class IOSettings;
        Manager() = default;
        ~Manager();
        void Register(Scene* aScene);
        void Register(Importer* anImporter);
        void Register(IOSettings* aSettings);
        void Unregister(Scene* aScene);
        void Unregister(Importer* anImporter);
        void Unregister(IOSettings* aSettings);

        std::mutex myMutex;
        std::unordered_set<Scene*> myScenes;
        std::unordered_set<Importer*> myImporters;
        std::unordered_set<IOSettings*> mySettings;
    };
}
