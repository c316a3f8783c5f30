// Our FBX import beside Assimp's, a model load (and for the large files an animation load) each:
//  - maker: a character of 200,000 triangles on 60 bones with a two-second take, written by a tool
//    of ours as Blender lays files out (Tools/fbx/make_bench_fbx.py, at build time);
//  - blender: a grid of 199,712 triangles on a 60-bone chain with a 300-frame take, written by
//    Blender's own exporter (Tools/fbx/make_blender_bench_fbx.py); made on the first run where
//    Blender is installed, and left out where it is not;
//  - every FBX test file that the model import accepts, by its file name.
#include "FbxTestFiles.h"
#include "Importer.h"
#include "ModelTestFiles.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
    namespace fs = std::filesystem;

    // Freed memory stays with the process for the next load, as in a game going from level to
    // level; otherwise every load pays first-touch page faults for all it allocates, which on a
    // busy virtual machine cost tens of microseconds each and swamp what the importers do. Both
    // importers run under the same setting.
    const bool theAllocatorKeepsFreedMemory = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
        return true;
    }();

    fs::path DataFolder()
    {
        return fs::read_symlink("/proc/self/exe").parent_path() / "data";
    }

    // The Blender file where it is there or Blender can make it; empty otherwise.
    std::string BlenderFile()
    {
        const fs::path path = DataFolder() / "blender_grid.fbx";
        if (fs::exists(path))
        {
            return path.string();
        }
        if (std::system("command -v blender > /dev/null 2>&1") != 0)
        {
            std::fprintf(stderr, "Blender is not installed: the cases of %s are left out.\n", path.filename().c_str());
            return {};
        }
        std::fprintf(stderr, "Writing %s with Blender...\n", path.c_str());
        fs::create_directories(path.parent_path());
        const fs::path maker = fs::path(VRA_BENCH_SOURCE_DIR) / "Tools" / "fbx" / "make_blender_bench_fbx.py";
        const fs::path partial = path.string() + ".part";
        const std::string command = "blender -b --factory-startup --python '" + maker.string() + "' -- '" + partial.string() +
                                    "' > '" + (DataFolder() / "blender_grid.log").string() + "' 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(partial))
        {
            std::fprintf(stderr, "Blender could not write the file (see %s): its cases are left out.\n",
                         (DataFolder() / "blender_grid.log").c_str());
            return {};
        }
        fs::rename(partial, path);
        return path.string();
    }

    void Vra_LoadModel(benchmark::State& aState, const std::string& aPath)
    {
        Vra::FBX::InitImporter();
        for (auto _ : aState)
        {
            Vra::FBX::ImportedModel model;
            if (!Vra::FBX::LoadModel(aPath, model, false, true))
            {
                aState.SkipWithError(Vra::FBX::GetLastImportError().c_str());
                break;
            }
            benchmark::DoNotOptimize(model.Meshes.data());
            std::size_t triangles = 0;
            std::size_t vertices = 0;
            for (const Vra::FBX::ImportedMesh& mesh : model.Meshes)
            {
                triangles += mesh.Indices.size() / 3;
                vertices += mesh.Vertices.size();
            }
            aState.counters["triangles"] = static_cast<double>(triangles);
            aState.counters["vertices"] = static_cast<double>(vertices);
            aState.counters["joints"] = static_cast<double>(model.Skeleton.Joints.size());
        }
    }

    void Vra_LoadAnimation(benchmark::State& aState, const std::string& aPath)
    {
        Vra::FBX::InitImporter();
        for (auto _ : aState)
        {
            Vra::FBX::ImportedAnimation animation;
            if (!Vra::FBX::LoadAnimation(aPath, animation))
            {
                aState.SkipWithError(Vra::FBX::GetLastImportError().c_str());
                break;
            }
            benchmark::DoNotOptimize(animation.Frames.data());
            aState.counters["frames"] = static_cast<double>(animation.FramesCount);
        }
    }

    // Close to what our model load does: triangulate, tangents, merged vertices, four influences,
    // left-handed output.
    void Assimp_LoadModel(benchmark::State& aState, const std::string& aPath)
    {
        const unsigned flags = aiProcess_Triangulate | aiProcess_CalcTangentSpace | aiProcess_JoinIdenticalVertices |
                               aiProcess_LimitBoneWeights | aiProcess_SortByPType | aiProcess_ConvertToLeftHanded;
        for (auto _ : aState)
        {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(aPath, flags);
            if (!scene || scene->mNumMeshes == 0)
            {
                aState.SkipWithError(importer.GetErrorString());
                break;
            }
            benchmark::DoNotOptimize(scene->mMeshes[0]->mVertices);
            std::size_t triangles = 0;
            std::size_t vertices = 0;
            for (unsigned mesh = 0; mesh < scene->mNumMeshes; ++mesh)
            {
                triangles += scene->mMeshes[mesh]->mNumFaces;
                vertices += scene->mMeshes[mesh]->mNumVertices;
            }
            aState.counters["triangles"] = static_cast<double>(triangles);
            aState.counters["vertices"] = static_cast<double>(vertices);
            aState.counters["joints"] = static_cast<double>(scene->mMeshes[0]->mNumBones);
        }
    }

    // Assimp keeps the keys as they are; the read and its left-handed conversion are what it costs.
    void Assimp_LoadAnimation(benchmark::State& aState, const std::string& aPath)
    {
        for (auto _ : aState)
        {
            Assimp::Importer importer;
            const aiScene* scene = importer.ReadFile(aPath, aiProcess_ConvertToLeftHanded);
            if (!scene || scene->mNumAnimations == 0)
            {
                aState.SkipWithError(importer.GetErrorString());
                break;
            }
            benchmark::DoNotOptimize(scene->mAnimations[0]->mChannels);
        }
    }

    void RegisterModel(const std::string& aName, const std::string& aPath)
    {
        benchmark::RegisterBenchmark(("Vra_LoadModel/" + aName).c_str(), Vra_LoadModel, aPath)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Assimp_LoadModel/" + aName).c_str(), Assimp_LoadModel, aPath)->Unit(benchmark::kMillisecond);
    }

    void RegisterAnimation(const std::string& aName, const std::string& aPath)
    {
        benchmark::RegisterBenchmark(("Vra_LoadAnimation/" + aName).c_str(), Vra_LoadAnimation, aPath)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Assimp_LoadAnimation/" + aName).c_str(), Assimp_LoadAnimation, aPath)->Unit(benchmark::kMillisecond);
    }

    // The test files in name order; those the model import refuses by design (no UV set, a
    // broken reference mode, joints named twice) have no figure to compare.
    std::vector<fs::path> TestFiles()
    {
        std::vector<fs::path> files;
        for (const fs::path& folder : {FbxTestFiles::Folder(), ModelTestFiles::Folder()})
        {
            for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            {
                if (entry.path().extension() == ".fbx")
                {
                    files.push_back(entry.path());
                }
            }
        }
        std::sort(files.begin(), files.end(), [](const fs::path& aLeft, const fs::path& aRight) {
            return aLeft.filename() < aRight.filename();
        });
        Vra::FBX::InitImporter();
        std::erase_if(files, [](const fs::path& aFile) {
            Vra::FBX::ImportedModel model;
            try
            {
                return !Vra::FBX::LoadModel(aFile.string(), model, false, true) || model.Meshes.empty();
            }
            catch (const std::exception&)
            {
                return true;
            }
        });
        return files;
    }
}

int main(int argc, char** argv)
{
    setenv("VRA_SOURCE_DIR", VRA_BENCH_SOURCE_DIR, 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
    {
        return 1;
    }
    const std::string maker = (DataFolder() / "bench_character.fbx").string();
    RegisterModel("maker", maker);
    const std::string blender = BlenderFile();
    if (!blender.empty())
    {
        RegisterModel("blender", blender);
    }
    for (const fs::path& file : TestFiles())
    {
        RegisterModel(file.stem().string(), file.string());
    }
    RegisterAnimation("maker", maker);
    if (!blender.empty())
    {
        RegisterAnimation("blender", blender);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
