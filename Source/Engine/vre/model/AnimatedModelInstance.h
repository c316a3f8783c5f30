#pragma once
#include "Math/Matrix4x4.h"
#include "model/AnimationPose.h"
#include "model/ModelLimits.h"

#include <array>
#include <memory>

namespace Vra
{
    class AnimationPlayer;
    class Model;
    class ModelShader;

    // A drawable skinned model whose joint matrices come from a pose. Held by value.
    class AnimatedModelInstance
    {
    public:
        AnimatedModelInstance();
        ~AnimatedModelInstance();
        AnimatedModelInstance(const AnimatedModelInstance&) = default;
        AnimatedModelInstance& operator=(const AnimatedModelInstance&) = default;

        // Takes the model (the previous one released) and copies its texture handles.
        void Init(std::shared_ptr<Model> aModel);
        void SetTransform(const Matrix4x4& aTransform) { myTransform = aTransform; }
        const Matrix4x4& GetTransform() const { return myTransform; }

        // One draw per mesh through aShader with the instance's joint matrices.
        void Render(ModelShader& aShader) const;

        // Joint matrices from a pose of local joint transforms. Without a skinned model nothing
        // changes; matrices past the model's joint count keep their values.
        void SetLocalPose(const AnimationPose& aPose);
        // SetLocalPose with the player's current pose.
        void SetPose(const AnimationPlayer& aPlayer);

        const std::shared_ptr<Model>& GetModel() const { return myModel; }
        bool IsBound() const { return myModel != nullptr; }
        const ModelTextureSlots& GetTextures() const { return myTextures; }
        ModelTextureSlots& GetTextures() { return myTextures; }
        const std::array<Matrix4x4, MAX_ANIMATION_BONES>& GetJointMatrices() const { return myJointMatrices; }

    private:
        Matrix4x4 myTransform;
        std::shared_ptr<Model> myModel;
        ModelTextureSlots myTextures{};
        std::array<Matrix4x4, MAX_ANIMATION_BONES> myJointMatrices;
        // Kept between poses so a pose writes only the joints it reaches; the others stay the
        // identity it starts as (and again after every Init).
        GlobalPose myGlobalPose;
    };
}
