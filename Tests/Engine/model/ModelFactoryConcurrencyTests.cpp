#include "ModelFactoryTestSupport.h"

#include <atomic>
#include <barrier>
#include <thread>
#include <vector>

namespace
{
    using namespace ModelFactoryTestSupport;

    class ModelFactoryConcurrency : public ModelFactoryTest {};
}

TEST_F(ModelFactoryConcurrency, TwoThreadsAskingFirstGetOneFactory)
{
    ASSERT_EQ(Vra::ModelFactory::GetInstanceIfCreated(), nullptr);
    std::barrier start(2);
    Vra::ModelFactory* seen[2] = {};
    std::vector<std::thread> threads;
    for (int index = 0; index < 2; ++index)
    {
        threads.emplace_back([&, index] {
            start.arrive_and_wait();
            seen[index] = &Vra::ModelFactory::GetInstance();
        });
    }
    for (std::thread& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0], Vra::ModelFactory::GetInstanceIfCreated());
    EXPECT_TRUE(seen[0]->GetModel("Cube"));
}

TEST_F(ModelFactoryConcurrency, ALoadingTaskAndTheMainThreadShareModelsAndClips)
{
    const std::string skinned = Install("skinned.fbx");
    const std::string box = Install("box.fbx");
    const std::string clip = (Game() / skinned).string();
    Vra::ModelFactory& factory = Factory();

    // Both ask for the same files at the same moment: one load each, the same results.
    std::barrier start(2);
    std::shared_ptr<Vra::Model> models[2];
    std::shared_ptr<Vra::Animation> clips[2];
    auto firstRequests = [&](int anIndex) {
        start.arrive_and_wait();
        models[anIndex] = factory.GetModel(skinned);
        clips[anIndex] = factory.GetAnimation(clip, models[anIndex]);
    };
    std::thread task(firstRequests, 0);
    firstRequests(1);
    task.join();
    ASSERT_TRUE(models[0]);
    EXPECT_EQ(models[0], models[1]);
    ASSERT_TRUE(clips[0]);
    EXPECT_EQ(clips[0], clips[1]);

    // Then a stream of requests on the task while the main thread drops and asks again.
    std::atomic<bool> stop = false;
    std::atomic<int> failures = 0;
    std::thread loader([&] {
        while (!stop.load())
        {
            const std::shared_ptr<Vra::Model> model = factory.GetModel(skinned);
            if (!model || !factory.GetAnimation(clip, model) || !factory.GetModel(box) ||
                !factory.GetAnimationPlayer(skinned, model).HasAnimation())
            {
                ++failures;
            }
        }
    });
    for (int round = 0; round < 20; ++round)
    {
        factory.OnModelFileChanged(round % 2 ? skinned : box);
        const Vra::AnimatedModelInstance instance = factory.GetAnimatedModelInstance(skinned);
        if (!instance.IsBound() || !factory.GetModelInstance(box).IsBound() || !factory.GetModel("Plane"))
        {
            ++failures;
        }
    }
    stop = true;
    loader.join();
    EXPECT_EQ(failures.load(), 0);
}
