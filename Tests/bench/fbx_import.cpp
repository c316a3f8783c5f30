// Our FBX import beside Assimp's on the largest test file: a model load and an animation load each.
#include "Importer.h"

#include "FbxTestFiles.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace
{
    std::string LargestTestFile()
    {
        // The benchmark runs from anywhere: without VRA_SOURCE_DIR the fixtures are found beside the sources.
        const std::filesystem::path folder = FbxTestFiles::Folder();
        std::filesystem::path largest;
        std::uintmax_t largestSize = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            if (entry.path().extension() == ".fbx" && entry.file_size() > largestSize)
            {
                largest = entry.path();
                largestSize = entry.file_size();
            }
        }
        return largest.string();
    }

    const std::string& BenchFile()
    {
        static const std::string path = LargestTestFile();
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
        }
        aState.SetLabel(BenchFile());
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
