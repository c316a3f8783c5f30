#include "model/ModelInstance.h"

#include "model/Model.h"

namespace Vra
{
    void ModelInstance::Init(std::shared_ptr<Model> aModel)
    {
        myModel = std::move(aModel);
        myTextures = myModel ? myModel->GetTextures() : ModelTextureSlots{};
    }

    void ModelInstance::Render(ModelShader& aShader) const
    {
        if (myModel)
        {
            myModel->Render(aShader, myTextures, myTransform, nullptr);
        }
    }
}
