#include "ImporterTestSupport.h"

#include <atomic>
#include <cstring>
#include <set>
#include <thread>

using namespace Vra::FBX;
using namespace FbxTest;

namespace
{
    class ConcurrentImport : public ImporterTest
    {
    };

    bool SameMeshes(const ImportedModel& aFirst, const ImportedModel& aSecond)
    {
        if (aFirst.Meshes.size() != aSecond.Meshes.size())
        {
            return false;
        }
        for (std::size_t i = 0; i < aFirst.Meshes.size(); ++i)
        {
            const ImportedMesh& a = aFirst.Meshes[i];
            const ImportedMesh& b = aSecond.Meshes[i];
            if (a.Indices != b.Indices || a.Vertices.size() != b.Vertices.size() ||
                std::memcmp(a.Vertices.data(), b.Vertices.data(), a.Vertices.size() * sizeof(ImportedVertex)) != 0)
            {
                return false;
            }
        }
        return true;
    }

    bool SameFrames(const ImportedAnimation& aFirst, const ImportedAnimation& aSecond)
    {
        if (aFirst.Frames.size() != aSecond.Frames.size())
        {
            return false;
        }
        for (std::size_t i = 0; i < aFirst.Frames.size(); ++i)
        {
            if (aFirst.Frames[i].LocalTransforms != aSecond.Frames[i].LocalTransforms ||
                aFirst.Frames[i].TriggeredEvents != aSecond.Frames[i].TriggeredEvents)
            {
                return false;
            }
        }
        return true;
    }
}

// The model factory imports on a loading task while the main thread reloads: both must get what
// a lone import gets, and the shared error text must always be one whole message.
TEST_F(ConcurrentImport, TwoThreadsImportTheSameFilesAsOneThreadDoes)
{
    ImportedModel referenceModel;
    ImportedAnimation referenceAnimation;
    ASSERT_TRUE(LoadModel(DataFile("character.fbx"), referenceModel));
    ASSERT_TRUE(LoadAnimation(DataFile("character.fbx"), referenceAnimation));

    const std::string missing[2] = {DataFile("missing_a.fbx"), DataFile("missing_b.fbx")};
    const std::set<std::string> messages = {"FBX File not found! (" + missing[0] + ")",
                                            "FBX File not found! (" + missing[1] + ")"};
    std::atomic<int> mismatches = 0;
    std::atomic<int> tornMessages = 0;
    const auto work = [&](int aThread) {
        InitImporter();
        for (int round = 0; round < 3; ++round)
        {
            ImportedModel model;
            ImportedAnimation animation;
            if (!LoadModel(DataFile("character.fbx"), model) || !SameMeshes(model, referenceModel) ||
                model.Skeleton.Joints.size() != referenceModel.Skeleton.Joints.size())
            {
                ++mismatches;
            }
            if (!LoadAnimation(DataFile("character.fbx"), animation) || !SameFrames(animation, referenceAnimation))
            {
                ++mismatches;
            }
            ImportedModel none;
            LoadModel(missing[aThread], none);
            if (!messages.contains(GetLastImportError()))
            {
                ++tornMessages;
            }
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1);
    first.join();
    second.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(tornMessages, 0);
}

// A stop while another thread imports waits for that import; later imports fail cleanly until the
// library starts again.
TEST_F(ConcurrentImport, StopAndStartWhileAnotherThreadImports)
{
    std::atomic<int> loaded = 0;
    std::atomic<int> wrong = 0;
    std::thread importer([&] {
        // Goes on until a few loads got through; the other thread ends up started.
        for (int attempt = 0; attempt < 100000 && loaded < 3; ++attempt)
        {
            ImportedModel model;
            if (LoadModel(DataFile("skinned_quad.fbx"), model))
            {
                ++loaded;
                wrong += model.Meshes.size() == 2 ? 0 : 1;
            }
        }
    });
    for (int toggle = 0; toggle < 200; ++toggle)
    {
        UninitImporter();
        std::this_thread::yield();
        InitImporter();
        std::this_thread::yield();
    }
    importer.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(loaded, 3);

    ImportedModel model;
    EXPECT_TRUE(LoadModel(DataFile("skinned_quad.fbx"), model));
}
