#pragma once
#include "model/AnimatedModelInstance.h"
#include "model/Animation.h"
#include "model/AnimationPlayer.h"
#include "model/Model.h"
#include "model/ModelInstance.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace Vra
{
    namespace impl
    {
        // FNV-1a 64 over a string's characters.
        struct PathHash
        {
            std::size_t operator()(const std::string& aPath) const;
        };

        // An animation file as loaded for one model, by the model's id: a freed or reloaded model
        // never matches another's entry.
        struct AnimationKey
        {
            std::string myPath;
            std::uint64_t myModelId = 0;
            bool operator==(const AnimationKey&) const = default;
        };

        // FNV-1a 64 of the id's eight bytes (lowest first) plus 31 times FNV-1a 64 of the path.
        struct AnimationKeyHash
        {
            std::size_t operator()(const AnimationKey& aKey) const;
        };
    }

    // The engine's one source of models and animations: FBX files become models cached by path,
    // with each mesh's textures found by file-name suffix next to the file; the built-in "Cube"
    // and "Plane" are made when the factory is. A changed file is dropped from the cache so the
    // next request loads it again. Made by the first caller on any thread; safe to use from a
    // loading task and the main thread at once.
    class ModelFactory
    {
    public:
        static ModelFactory& GetInstance();
        // Null before the first GetInstance and after Destroy.
        static ModelFactory* GetInstanceIfCreated();
        // The engine's shut-down: deletes the factory; models held elsewhere live on.
        static void Destroy();

        // Empty when the file cannot be loaded (missing, unreadable, more than MAX_ANIMATION_BONES
        // joints or MAX_MESHES_PER_MODEL meshes, a GPU buffer that cannot be made). Malformed FBX
        // content throws the import library's runtime error.
        std::shared_ptr<Model> GetModel(const std::string& aPath);
        // Identity transform; unbound when there is no model.
        ModelInstance GetModelInstance(const std::string& aPath);
        // Bound only to a model that has joints.
        AnimatedModelInstance GetAnimatedModelInstance(const std::string& aPath);
        // Not looping, time 0, state New; bound to the animation when there is one for the model.
        AnimationPlayer GetAnimationPlayer(const std::string& anAnimationPath, const std::shared_ptr<Model>& aModel);
        // The animation file (a resolved path) sampled for the model's joints by name: root joints
        // take their scene transform, the others their transform under their parent. Empty on
        // failure and for an empty model; malformed content throws as GetModel does.
        std::shared_ptr<Animation> GetAnimation(const std::string& aResolvedPath, const std::shared_ptr<Model>& aModel);

        // The file watcher's callback: the path's model and its animations leave the caches.
        void OnModelFileChanged(const std::string& aPath);

        bool CreateCube();
        bool CreatePlane();

        // Fills the texture slots of each mesh (at most MAX_MESHES_PER_MODEL) from files named by
        // the mesh's material or the model file's base name and a suffix, or the defaults.
        static void LoadMaterialTextures(const std::string& aPath, Model& aModel);

        ~ModelFactory();
        ModelFactory(const ModelFactory&) = delete;
        ModelFactory& operator=(const ModelFactory&) = delete;

    private:
        struct CachedAnimation
        {
            std::shared_ptr<Animation> myAnimation;
            std::weak_ptr<const Model> myModel;
        };

        ModelFactory();
        std::shared_ptr<Model> LoadModel(const std::string& aPath);
        std::shared_ptr<Animation> LoadAnimation(const std::string& aResolvedPath, const Model& aModel) const;
        void WatchModelFile(const std::string& aPath, const std::string& aResolvedPath);
        bool AddBuiltInModel(const std::string& aName, MeshData aMesh);
        void ForgetAnimationsOf(std::uint64_t aModelId);
        void ForgetAnimationsOfFreedModels();

        std::unordered_set<std::string, impl::PathHash> myWatchedPaths{ 8 };
        std::unordered_map<std::string, std::shared_ptr<Model>, impl::PathHash> myModels{ 8 };
        std::unordered_map<impl::AnimationKey, CachedAnimation, impl::AnimationKeyHash> myAnimations{ 8 };

        // Guards the caches and the loads in progress; imports run without it.
        std::mutex myMutex;
        std::condition_variable myLoadFinished;
        // Paths being loaded, each with whether its file changed meanwhile (then the result is
        // handed out but not cached).
        std::unordered_map<std::string, bool, impl::PathHash> myModelsLoading;
        std::unordered_set<impl::AnimationKey, impl::AnimationKeyHash> myAnimationsLoading;
    };
}
