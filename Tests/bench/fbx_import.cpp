// Our FBX import beside Assimp's on one file, a model load and an animation load each: a
// character of 200,000 triangles on 60 bones with a two-second take, as Blender lays files out.
#include "Importer.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <filesystem>
#include <string>

namespace
{
    // Freed memory stays with the process for the next load, as in a game going from level to
    // level; otherwise every load pays first-touch page faults for all it allocates, which on a
    // busy virtual machine cost tens of microseconds each and swamp what the importers do. Both
    // importers run under the same setting.
    const bool theAllocatorKeepsFreedMemory = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
        return true;
    }();

    // Written by the build beside the benchmark (Tools/fbx/make_bench_fbx.py).
    const std::string& BenchFile()
    {
        static const std::string path =
            (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "data" / "bench_character.fbx").string();
        return path;
    }

    void Vra_LoadModel(benchmark::State& aState)
    {
        Vra::FBX::InitImporter();
        for (auto _ : aState)
        {
            Vra::FBX::ImportedModel model;
            if (!Vra::FBX::LoadModel(BenchFile(), model, false, true))
            {
                aState.SkipWithError(Vra::FBX::GetLastImportError().c_str());
                break;
            }
            benchmark::DoNotOptimize(model.Meshes.data());
            aState.counters["triangles"] = static_cast<double>(model.Meshes.empty() ? 0 : model.Meshes[0].Indices.size() / 3);
            aState.counters["vertices"] = static_cast<double>(model.Meshes.empty() ? 0 : model.Meshes[0].Vertices.size());
            aState.counters["joints"] = static_cast<double>(model.Skeleton.Joints.size());
        }
    }

    void Vra_LoadAnimation(benchmark::State& aState)
    {
        Vra::FBX::InitImporter();
        for (auto _ : aState)
        {
            Vra::FBX::ImportedAnimation animation;
            if (!Vra::FBX::LoadAnimation(BenchFile(), animation))
            {
                aState.SkipWithError(Vra::FBX::GetLastImportError().c_str());
                break;
            }
            benchmark::DoNotOptimize(animation.Frames.data());
        }
    }

    // Close to what our model load does: triangulate, tangents, merged vertices, four influences,
    // left-handed output.
    void Assimp_LoadModel(benchmark::State& aState)
    {
        const unsigned flags = aiProcess_Triangulate | aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                               aiProcess_LimitBoneWeights | aiProcess_SortByPType | aiProcess_ConvertToLeftHanded;
        for (auto _ : aState)
        {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(BenchFile(), flags);
            if (!scene || scene->mNumMeshes == 0)
            {
                aState.SkipWithError(importer.GetErrorString());
                break;
            }
            benchmark::DoNotOptimize(scene->mMeshes[0]->mVertices);
            aState.counters["triangles"] = static_cast<double>(scene->mMeshes[0]->mNumFaces);
            aState.counters["vertices"] = static_cast<double>(scene->mMeshes[0]->mNumVertices);
            aState.counters["joints"] = static_cast<double>(scene->mMeshes[0]->mNumBones);
        }
    }

    // Assimp keeps the keys as they are; the read and its left-handed conversion are what it costs.
    void Assimp_LoadAnimation(benchmark::State& aState)
    {
        for (auto _ : aState)
        {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(BenchFile(), aiProcess_ConvertToLeftHanded);
            if (!scene || scene->mNumAnimations == 0)
            {
                aState.SkipWithError(importer.GetErrorString());
                break;
            }
            benchmark::DoNotOptimize(scene->mAnimations[0]->mChannels);
        }
    }
}

BENCHMARK(Vra_LoadModel)->Unit(benchmark::kMillisecond);
BENCHMARK(Assimp_LoadModel)->Unit(benchmark::kMillisecond);
BENCHMARK(Vra_LoadAnimation)->Unit(benchmark::kMillisecond);
BENCHMARK(Assimp_LoadAnimation)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
