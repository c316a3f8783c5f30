#include "model/ModelFactory.h"

#include "Engine.h"
#include "Importer.h"
#include "Math/MatrixDecomposition.h"
#include "filewatcher/FileWatcher.h"
#include "gpu/Device.h"
#include "graphics/DX11.h"
#include "graphics/TextureManager.h"
#include "model/ModelGeometry.h"
#include "settings/Settings.h"
#include "stringRegistry/StringId.h"

#include <atomic>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <string_view>

namespace Vra
{
    namespace
    {
        std::mutex ourInstanceMutex;
        std::atomic<ModelFactory*> ourInstance = nullptr;

        Matrix4x4 ToMatrix(const FBX::ImportedMatrix& aMatrix)
        {
            std::array<float, 16> elements;
            std::copy(std::begin(aMatrix.Data), std::end(aMatrix.Data), elements.begin());
            return Matrix4x4(elements);
        }

        JointTransform Decompose(const Matrix4x4& aMatrix)
        {
            JointTransform transform;
            float scale[3];
            DecomposeMatrix(aMatrix, transform.myTranslation, transform.myRotation, scale);
            transform.myScale = { scale[0], scale[1], scale[2] };
            return transform;
        }

        Skeleton MakeSkeleton(const FBX::ImportedSkeleton& anImported)
        {
            Skeleton skeleton;
            skeleton.myName = anImported.Name;
            skeleton.myJoints.reserve(anImported.Joints.size());
            for (std::size_t index = 0; index < anImported.Joints.size(); ++index)
            {
                const FBX::ImportedJoint& imported = anImported.Joints[index];
                Joint joint;
                // The import gives the inverse bind matrix with its translation in column 4.
                joint.myInverseBindMatrix = Matrix4x4::GetTranspose(ToMatrix(imported.BindPoseInverse));
                joint.myParent = imported.Parent;
                joint.myChildren = imported.Children;
                joint.myName = imported.NameShort;
                skeleton.myBindPose.myJoints[index] = Decompose(Matrix4x4::GetInverse(joint.myInverseBindMatrix));
                skeleton.myJointIndexByName[joint.myName] = index;
                skeleton.myFullNames.push_back(imported.Name);
                skeleton.myJointIndexByFullName[imported.Name] = index;
                skeleton.myJoints.push_back(std::move(joint));
            }
            skeleton.myBindPose.myJointCount = static_cast<std::int32_t>(skeleton.myJoints.size());
            return skeleton;
        }

        ModelVertex ToModelVertex(const FBX::ImportedVertex& anImported)
        {
            ModelVertex vertex;
            std::copy(std::begin(anImported.Position), std::end(anImported.Position), vertex.myPosition);
            for (int set = 0; set < 4; ++set)
            {
                const float* colour = anImported.VertexColors[set];
                // A colour set the mesh does not have reads as white rather than black.
                const bool isUnset = colour[0] + colour[1] + colour[2] + colour[3] == 0.0f;
                for (int channel = 0; channel < 4; ++channel)
                {
                    vertex.myColors[set][channel] = isUnset ? 1.0f : colour[channel];
                }
                vertex.myTexCoords[set][0] = anImported.UVs[set][0];
                vertex.myTexCoords[set][1] = anImported.UVs[set][1];
            }
            std::copy(std::begin(anImported.Normal), std::end(anImported.Normal), vertex.myNormal);
            std::copy(std::begin(anImported.Tangent), std::end(anImported.Tangent), vertex.myTangent);
            std::copy(std::begin(anImported.Binormal), std::end(anImported.Binormal), vertex.myBinormal);
            for (int influence = 0; influence < 4; ++influence)
            {
                vertex.myBones[influence] = static_cast<float>(anImported.BoneIDs[influence]);
                vertex.myWeights[influence] = anImported.BoneWeights[influence];
            }
            return vertex;
        }

        MeshData MakeMesh(const FBX::ImportedMesh& anImported, const std::vector<FBX::ImportedMaterial>& someMaterials)
        {
            MeshData mesh;
            mesh.myName = anImported.MeshName;
            if (anImported.MaterialIndex < someMaterials.size())
            {
                mesh.myMaterialName = someMaterials[anImported.MaterialIndex].MaterialName;
            }
            mesh.myVertices.reserve(anImported.Vertices.size());
            for (const FBX::ImportedVertex& vertex : anImported.Vertices)
            {
                mesh.myVertices.push_back(ToModelVertex(vertex));
            }
            mesh.myIndices = anImported.Indices;
            impl::TurnFacesOutward(mesh);
            return mesh;
        }

        // An empty path resolves to an asset folder itself, which is no model.
        bool IsFile(const std::string& aPath)
        {
            std::error_code error;
            return !aPath.empty() && std::filesystem::is_regular_file(aPath, error);
        }

        std::wstring Widen(const std::string& aText)
        {
            std::wstring wide;
            wide.reserve(aText.size());
            for (const char character : aText)
            {
                wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(character)));
            }
            return wide;
        }

        // The first of the files that loads, else the default (which always yields a texture).
        TextureResource* FirstTexture(TextureManager& aManager, std::initializer_list<std::string> someCandidates,
                                      TextureSrgbMode aMode, const char* aDefault)
        {
            for (const std::string& candidate : someCandidates)
            {
                if (TextureResource* texture = aManager.LoadTexture(candidate.c_str(), aMode, false))
                {
                    return texture;
                }
            }
            return aManager.GetTexture(aDefault, aMode);
        }

        // Ends a load in progress however the load leaves (an import may throw).
        template <typename Key, typename Set>
        class LoadingMark
        {
        public:
            LoadingMark(std::mutex& aMutex, std::condition_variable& aFinished, Set& aSet, Key aKey)
                : myMutex(aMutex), myFinished(aFinished), mySet(aSet), myKey(std::move(aKey))
            {
            }
            ~LoadingMark()
            {
                if (!myIsDone)
                {
                    std::lock_guard lock(myMutex);
                    mySet.erase(myKey);
                    myFinished.notify_all();
                }
            }
            LoadingMark(const LoadingMark&) = delete;
            LoadingMark& operator=(const LoadingMark&) = delete;

            // With the mutex held: the load is over.
            void Done()
            {
                mySet.erase(myKey);
                myFinished.notify_all();
                myIsDone = true;
            }

        private:
            std::mutex& myMutex;
            std::condition_variable& myFinished;
            Set& mySet;
            Key myKey;
            bool myIsDone = false;
        };
    }

    namespace impl
    {
        std::size_t PathHash::operator()(const std::string& aPath) const
        {
            return static_cast<std::size_t>(HashFnv1a64(aPath));
        }

        std::size_t AnimationKeyHash::operator()(const AnimationKey& aKey) const
        {
            char idBytes[8];
            for (int byte = 0; byte < 8; ++byte)
            {
                idBytes[byte] = static_cast<char>((aKey.myModelId >> (8 * byte)) & 0xff);
            }
            return static_cast<std::size_t>(HashFnv1a64(std::string_view(idBytes, 8)) + 31 * HashFnv1a64(aKey.myPath));
        }
    }

    ModelFactory& ModelFactory::GetInstance()
    {
        if (ModelFactory* factory = ourInstance.load(std::memory_order_acquire))
        {
            return *factory;
        }
        std::lock_guard lock(ourInstanceMutex);
        if (!ourInstance.load(std::memory_order_relaxed))
        {
            ourInstance.store(new ModelFactory(), std::memory_order_release);
        }
        return *ourInstance.load(std::memory_order_relaxed);
    }

    ModelFactory* ModelFactory::GetInstanceIfCreated()
    {
        return ourInstance.load(std::memory_order_acquire);
    }

    void ModelFactory::Destroy()
    {
        std::lock_guard lock(ourInstanceMutex);
        delete ourInstance.exchange(nullptr, std::memory_order_acq_rel);
    }

    ModelFactory::ModelFactory()
    {
        FBX::InitImporter();
        if (CreateCube())
        {
            CreatePlane();
        }
    }

    ModelFactory::~ModelFactory()
    {
        FBX::UninitImporter();
    }

    std::shared_ptr<Model> ModelFactory::GetModel(const std::string& aPath)
    {
        std::unique_lock lock(myMutex);
        for (;;)
        {
            if (const auto found = myModels.find(aPath); found != myModels.end())
            {
                return found->second;
            }
            if (!myModelsLoading.contains(aPath))
            {
                break;
            }
            // Another thread loads this file: its result is this one's too.
            myLoadFinished.wait(lock);
        }
        myModelsLoading.emplace(aPath, false);
        LoadingMark mark(myMutex, myLoadFinished, myModelsLoading, aPath);
        lock.unlock();

        std::shared_ptr<Model> model = LoadModel(aPath);

        lock.lock();
        const bool changedMeanwhile = myModelsLoading[aPath];
        if (model && !changedMeanwhile)
        {
            myModels.insert_or_assign(aPath, model);
        }
        mark.Done();
        return model;
    }

    ModelInstance ModelFactory::GetModelInstance(const std::string& aPath)
    {
        ModelInstance instance;
        if (std::shared_ptr<Model> model = GetModel(aPath))
        {
            instance.Init(std::move(model));
        }
        return instance;
    }

    AnimatedModelInstance ModelFactory::GetAnimatedModelInstance(const std::string& aPath)
    {
        AnimatedModelInstance instance;
        if (std::shared_ptr<Model> model = GetModel(aPath); model && model->IsSkinned())
        {
            instance.Init(std::move(model));
        }
        return instance;
    }

    AnimationPlayer ModelFactory::GetAnimationPlayer(const std::string& anAnimationPath, const std::shared_ptr<Model>& aModel)
    {
        AnimationPlayer player;
        if (!aModel)
        {
            return player;
        }
        if (std::shared_ptr<Animation> animation = GetAnimation(ResolveAssetPath(anAnimationPath), aModel))
        {
            player.Init(std::move(animation));
        }
        return player;
    }

    std::shared_ptr<Animation> ModelFactory::GetAnimation(const std::string& aResolvedPath, const std::shared_ptr<Model>& aModel)
    {
        if (!aModel || aResolvedPath.empty())
        {
            return {};
        }
        const impl::AnimationKey key{ aResolvedPath, aModel->GetId() };
        std::unique_lock lock(myMutex);
        for (;;)
        {
            if (const auto found = myAnimations.find(key); found != myAnimations.end())
            {
                return found->second.myAnimation;
            }
            if (!myAnimationsLoading.contains(key))
            {
                break;
            }
            myLoadFinished.wait(lock);
        }
        myAnimationsLoading.insert(key);
        LoadingMark mark(myMutex, myLoadFinished, myAnimationsLoading, key);
        lock.unlock();

        std::shared_ptr<Animation> animation = LoadAnimation(aResolvedPath, *aModel);

        lock.lock();
        if (animation)
        {
            ForgetAnimationsOfFreedModels();
            myAnimations.insert_or_assign(key, CachedAnimation{ animation, aModel });
        }
        mark.Done();
        return animation;
    }

    void ModelFactory::OnModelFileChanged(const std::string& aPath)
    {
        std::lock_guard lock(myMutex);
        if (const auto found = myModels.find(aPath); found != myModels.end())
        {
            ForgetAnimationsOf(found->second->GetId());
            myModels.erase(found);
        }
        if (const auto loading = myModelsLoading.find(aPath); loading != myModelsLoading.end())
        {
            loading->second = true;
        }
    }

    void ModelFactory::ForgetAnimationsOf(std::uint64_t aModelId)
    {
        std::erase_if(myAnimations, [aModelId](const auto& anEntry) { return anEntry.first.myModelId == aModelId; });
    }

    void ModelFactory::ForgetAnimationsOfFreedModels()
    {
        std::erase_if(myAnimations, [](const auto& anEntry) { return anEntry.second.myModel.expired(); });
    }

    void ModelFactory::WatchModelFile(const std::string& aPath, const std::string& aResolvedPath)
    {
        {
            std::lock_guard lock(myMutex);
            if (!myWatchedPaths.insert(aPath).second)
            {
                return;
            }
        }
        Engine* engine = Engine::GetInstance();
        FileWatcher* watcher = engine ? engine->GetFileWatcher() : nullptr;
        if (!watcher)
        {
            return;
        }
        // The callback finds the factory anew: it may run after this factory is gone.
        watcher->WatchFileChange(aResolvedPath, [aPath] {
            if (ModelFactory* factory = GetInstanceIfCreated())
            {
                factory->OnModelFileChanged(aPath);
            }
        });
    }

    std::shared_ptr<Model> ModelFactory::LoadModel(const std::string& aPath)
    {
        const std::string resolved = ResolveAssetPath(aPath);
        if (!IsFile(resolved))
        {
            return {};
        }
        WatchModelFile(aPath, resolved);

        FBX::ImportedModel imported;
        if (!FBX::LoadModel(resolved, imported, false, true))
        {
            return {};
        }
        // Checked before anything is copied: the pose arrays and the texture slots have fixed sizes.
        if (imported.Skeleton.Joints.size() > MAX_ANIMATION_BONES)
        {
            std::cout << "ERROR: Model has " << imported.Skeleton.Joints.size() << " joints, more than the " << MAX_ANIMATION_BONES
                      << " the engine animates: " << resolved << std::endl;
            return {};
        }
        if (imported.Meshes.size() > MAX_MESHES_PER_MODEL)
        {
            std::cout << "ERROR: Model has " << imported.Meshes.size() << " meshes, more than the " << MAX_MESHES_PER_MODEL
                      << " a model holds: " << resolved << std::endl;
            return {};
        }

        std::vector<MeshData> meshes;
        meshes.reserve(imported.Meshes.size());
        for (const FBX::ImportedMesh& importedMesh : imported.Meshes)
        {
            MeshData mesh = MakeMesh(importedMesh, imported.Materials);
            if (!impl::CreateMeshBuffers(mesh))
            {
                return {};
            }
            impl::ComputeMeshBounds(mesh);
            meshes.push_back(std::move(mesh));
        }

        auto model = std::make_shared<Model>();
        model->Init(meshes, resolved);
        if (!imported.Skeleton.Joints.empty())
        {
            model->SetSkeleton(MakeSkeleton(imported.Skeleton));
        }
        LoadMaterialTextures(resolved, *model);
        return model;
    }

    std::shared_ptr<Animation> ModelFactory::LoadAnimation(const std::string& aResolvedPath, const Model& aModel) const
    {
        FBX::ImportedAnimation imported;
        if (!IsFile(aResolvedPath) || !FBX::LoadAnimation(aResolvedPath, imported))
        {
            return {};
        }
        auto animation = std::make_shared<Animation>();
        animation->myPath = Widen(aResolvedPath);
        animation->myFramesPerSecond = imported.FramesPerSecond;
        animation->myDuration = static_cast<float>(imported.Duration);
        animation->myFrameCount = imported.FramesCount;
        animation->myFrames.resize(imported.Frames.size());

        const Skeleton& skeleton = aModel.GetSkeleton();
        const auto jointCount = static_cast<std::int32_t>(std::min<std::size_t>(skeleton.myJoints.size(), MAX_ANIMATION_BONES));
        for (std::size_t frame = 0; frame < imported.Frames.size(); ++frame)
        {
            // Joints the file does not move stay at the identity (w first in the engine's order).
            AnimationPose& pose = animation->myFrames[frame];
            pose.myJointCount = jointCount;
            const FBX::ImportedAnimationFrame& sampled = imported.Frames[frame];
            for (std::int32_t index = 0; index < jointCount; ++index)
            {
                // A root joint takes its scene transform: the inverse bind matrices are in scene
                // space, and a root may hang under a node that is no joint (an armature object
                // holding the axis change of the file).
                const Joint& joint = skeleton.myJoints[index];
                const auto& transforms = joint.myParent < 0 ? sampled.GlobalTransforms : sampled.LocalTransforms;
                if (const auto found = transforms.find(joint.myName); found != transforms.end())
                {
                    pose.myJoints[index] = Decompose(ToMatrix(found->second));
                }
            }
        }
        return animation;
    }

    void ModelFactory::LoadMaterialTextures(const std::string& aPath, Model& aModel)
    {
        Engine* engine = Engine::GetInstance();
        TextureManager* manager = engine ? engine->GetTextureManager() : nullptr;
        if (!manager)
        {
            return;
        }
        // Only the file name's extension goes: a folder such as "v1.2" keeps its dot.
        const std::size_t separator = aPath.find_last_of("/\\");
        const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
        const std::size_t dot = aPath.rfind('.');
        const std::string base = dot != std::string::npos && dot >= nameStart ? aPath.substr(0, dot) : aPath;
        const std::string folder = aPath.substr(0, nameStart);

        const std::size_t meshCount = std::min<std::size_t>(aModel.GetMeshCount(), MAX_MESHES_PER_MODEL);
        for (std::size_t mesh = 0; mesh < meshCount; ++mesh)
        {
            const std::string material = folder + aModel.GetMeshes()[mesh].myMaterialName;
            MeshTextureSlots& slots = aModel.GetTextures()[mesh];
            slots[0] = FirstTexture(*manager, { material + "_C.dds", material + "_D.dds", base + "_C.dds", base + "_D.dds" },
                                    TextureSrgbMode::ForceSrgb, "Textures/T_Default_c.dds");
            slots[1] = FirstTexture(*manager, { material + "_N.dds", base + "_N.dds" }, TextureSrgbMode::IgnoreSrgb,
                                    "Textures/T_Default_n.dds");
            slots[2] = FirstTexture(*manager, { material + "_M.dds", base + "_M.dds" }, TextureSrgbMode::IgnoreSrgb,
                                    "Textures/T_Default_m.dds");
            slots[3] = FirstTexture(*manager, { material + "_FX.dds", base + "_FX.dds" }, TextureSrgbMode::IgnoreSrgb,
                                    "Textures/T_Default_fx.dds");
        }
    }

    bool ModelFactory::AddBuiltInModel(const std::string& aName, MeshData aMesh)
    {
        if (!impl::CreateMeshBuffers(aMesh))
        {
            return false;
        }
        impl::ComputeMeshBounds(aMesh);
        auto model = std::make_shared<Model>();
        model->AddMesh(aMesh, aName);
        LoadMaterialTextures("", *model);
        std::lock_guard lock(myMutex);
        myModels.insert_or_assign(aName, std::move(model));
        return true;
    }

    bool ModelFactory::CreateCube()
    {
        return AddBuiltInModel("Cube", impl::MakeCubeMesh());
    }

    bool ModelFactory::CreatePlane()
    {
        return AddBuiltInModel("Plane", impl::MakePlaneMesh());
    }
}
