#pragma once
#include "Math/Matrix4x4.h"
#include "model/ModelLimits.h"

#include <memory>

namespace Vra
{
    class Model;
    class ModelShader;

    // A placement of a static model: the model, its own copy of the texture handles (which the
    // holder may change) and a world transform. Held by value.
    class ModelInstance
    {
    public:
        // Takes the model (the previous one released) and copies its texture handles.
        void Init(std::shared_ptr<Model> aModel);
        void SetTransform(const Matrix4x4& aTransform) { myTransform = aTransform; }
        const Matrix4x4& GetTransform() const { return myTransform; }

        // One draw per mesh through aShader, without joint matrices.
        void Render(ModelShader& aShader) const;

        const std::shared_ptr<Model>& GetModel() const { return myModel; }
        bool IsBound() const { return myModel != nullptr; }
        const ModelTextureSlots& GetTextures() const { return myTextures; }
        ModelTextureSlots& GetTextures() { return myTextures; }

    private:
        std::shared_ptr<Model> myModel;
        ModelTextureSlots myTextures{};
        Matrix4x4 myTransform;
    };
}
