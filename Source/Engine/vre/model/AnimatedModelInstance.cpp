#include "model/AnimatedModelInstance.h"

#include "model/AnimationPlayer.h"
#include "model/Model.h"

namespace Vra
{
    AnimatedModelInstance::AnimatedModelInstance() = default;

    AnimatedModelInstance::~AnimatedModelInstance() = default;

    void AnimatedModelInstance::Init(std::shared_ptr<Model> aModel)
    {
        myModel = std::move(aModel);
        myTextures = myModel ? myModel->GetTextures() : ModelTextureSlots{};
        myGlobalPose = GlobalPose();
    }

    void AnimatedModelInstance::Render(ModelShader& aShader) const
    {
        if (myModel)
        {
            myModel->Render(aShader, myTextures, myTransform, myJointMatrices.data());
        }
    }

    void AnimatedModelInstance::SetLocalPose(const AnimationPose& aPose)
    {
        if (!myModel || !myModel->IsSkinned())
        {
            return;
        }
        myModel->ComputeGlobalPose(aPose, myGlobalPose);
        myModel->ComputeSkinningMatrices(myGlobalPose, myJointMatrices.data());
    }

    void AnimatedModelInstance::SetPose(const AnimationPlayer& aPlayer)
    {
        SetLocalPose(aPlayer.GetPose());
    }
}
