// Animated instances a frame: each instance's player steps, its pose becomes skinning matrices
// and the model drawer submits it, on a 60-joint skinned chain. Goal: under 25 ns of CPU per
// joint per instance, so that 100 animated instances take well under a millisecond a frame.
#include "BenchEngine.h"
#include "JointChain.h"

#include "drawers/ModelDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "model/AnimatedModelInstance.h"
#include "model/Animation.h"
#include "model/AnimationPlayer.h"
#include "model/Model.h"
#include "model/ModelFactory.h"

#include <cmath>
#include <memory>
#include <vector>

namespace
{
    constexpr std::size_t JOINTS = 60;
    constexpr std::size_t INSTANCES = 100;
    constexpr std::uint32_t FRAMES = 31;
    constexpr float JOINT_LENGTH = 3.0f;

    // A chain of joints, each JOINT_LENGTH above its parent, skinning the built-in cube's mesh.
    std::shared_ptr<Vra::Model> ChainModel()
    {
        auto model = std::make_shared<Vra::Model>();
        model->SetSkeleton(TestSupport::MakeJointChain(JOINTS, JOINT_LENGTH));
        model->AddMesh(Vra::ModelFactory::GetInstance().GetModel("Cube")->GetMeshes()[0], "chain");
        return model;
    }

    // One second at 30 frames a second: every joint bends about z and twists about y a little more
    // each frame.
    std::shared_ptr<Vra::Animation> BendingTake()
    {
        auto animation = std::make_shared<Vra::Animation>();
        animation->myFrameCount = FRAMES;
        animation->myFramesPerSecond = 30.0f;
        animation->myDuration = 1.0f;
        animation->myFrames.resize(FRAMES);
        for (std::uint32_t frame = 0; frame < FRAMES; ++frame)
        {
            Vra::AnimationPose& pose = animation->myFrames[frame];
            pose.myJointCount = static_cast<std::int32_t>(JOINTS);
            for (std::size_t joint = 0; joint < JOINTS; ++joint)
            {
                const float bend = 0.002f * static_cast<float>(frame);
                const float twist = 0.001f * static_cast<float>(frame);
                Vra::JointTransform& transform = pose.myJoints[joint];
                transform.myTranslation = { 0.0f, joint == 0 ? 0.0f : JOINT_LENGTH, 0.0f };
                transform.myRotation = Vra::Quaternion(std::cos(bend) * std::cos(twist), -std::sin(bend) * std::sin(twist),
                                                       std::cos(bend) * std::sin(twist), std::sin(bend) * std::cos(twist));
            }
        }
        return animation;
    }

    struct Crowd
    {
        Crowd()
        {
            const std::shared_ptr<Vra::Model> model = ChainModel();
            const std::shared_ptr<const Vra::Animation> take = BendingTake();
            players.resize(INSTANCES);
            instances.resize(INSTANCES);
            for (std::size_t index = 0; index < INSTANCES; ++index)
            {
                players[index].Init(take);
                players[index].SetLooping(true);
                players[index].SetState(Vra::AnimationState::Playing);
                // Spread over the take so the instances blend different frames.
                players[index].SetTime(static_cast<float>(index) / INSTANCES);
                instances[index].Init(model);
            }
        }

        void Animate()
        {
            for (std::size_t index = 0; index < INSTANCES; ++index)
            {
                players[index].Update(1.0f / 60.0f);
                instances[index].SetPose(players[index]);
            }
        }

        std::vector<Vra::AnimationPlayer> players;
        std::vector<Vra::AnimatedModelInstance> instances;
    };

    void ReportPerJoint(benchmark::State& aState)
    {
        aState.SetItemsProcessed(static_cast<std::int64_t>(aState.iterations() * INSTANCES));
        aState.counters["per_joint"] = benchmark::Counter(static_cast<double>(aState.iterations() * INSTANCES * JOINTS),
                                                          benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }

    // A hundred instances stepped and posed: one frame's animation work.
    void BM_AnimatedInstancesPosed(benchmark::State& aState)
    {
        if (!BenchEngine::Start("animation"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        Crowd crowd;
        for (auto _ : aState)
        {
            crowd.Animate();
            benchmark::DoNotOptimize(crowd.instances.back().GetJointMatrices().data());
            benchmark::ClobberMemory();
        }
        ReportPerJoint(aState);
    }
    BENCHMARK(BM_AnimatedInstancesPosed)->Unit(benchmark::kMicrosecond);

    // The same, each instance also submitted through the model drawer.
    void BM_AnimatedInstancesPosedAndDrawn(benchmark::State& aState)
    {
        if (!BenchEngine::Start("animation"))
        {
            aState.SkipWithError("the engine did not start");
            return;
        }
        Crowd crowd;
        Vra::ModelDrawer& drawer = Vra::Engine::GetInstance()->GetGraphicsEngine()->GetModelDrawer();
        for (auto _ : aState)
        {
            crowd.Animate();
            for (const Vra::AnimatedModelInstance& instance : crowd.instances)
            {
                drawer.Draw(instance);
            }
        }
        ReportPerJoint(aState);
    }
    BENCHMARK(BM_AnimatedInstancesPosedAndDrawn)->Unit(benchmark::kMicrosecond);
}

int main(int argc, char** argv)
{
    return BenchEngine::RunBenchmarks(argc, argv);
}
