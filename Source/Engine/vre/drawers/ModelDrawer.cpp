#include "drawers/ModelDrawer.h"

#include "graphics/ModelShader.h"
#include "model/AnimatedModelInstance.h"
#include "model/ModelInstance.h"

namespace Vra
{
    namespace
    {
        bool CreateAndLoad(std::unique_ptr<ModelShader>& aShader, const char* aVertexShaderName, const char* aPixelShaderName)
        {
            aShader = std::make_unique<ModelShader>();
            return aShader->LoadShaders(aVertexShaderName, aPixelShaderName);
        }
    }

    ModelDrawer::ModelDrawer() = default;

    ModelDrawer::~ModelDrawer()
    {
        // Reverse member order.
        myAnimatedLambertShader.reset();
        myLambertShader.reset();
        myAnimatedPbrShader.reset();
        myPbrShader.reset();
        myAnimatedShader.reset();
        myDefaultShader.reset();
    }

    bool ModelDrawer::Init()
    {
        myDefaultShader = std::make_unique<ModelShader>();
        if (!myDefaultShader->Init())
        {
            return false;
        }
        return CreateAndLoad(myAnimatedShader, "shaders/animated_model_shader_VS", "shaders/model_shader_PS")
            && CreateAndLoad(myLambertShader, "Shaders/PbrModelShaderVS", "Shaders/LambertModelShaderPS")
            && CreateAndLoad(myAnimatedLambertShader, "Shaders/AnimatedPbrModelShaderVS", "Shaders/LambertModelShaderPS")
            && CreateAndLoad(myPbrShader, "Shaders/PbrModelShaderVS", "Shaders/PbrModelShaderPS")
            && CreateAndLoad(myAnimatedPbrShader, "Shaders/AnimatedPbrModelShaderVS", "Shaders/PbrModelShaderPS");
    }

    void ModelDrawer::Draw(const ModelInstance& anInstance)
    {
        if (myDefaultShader)
        {
            anInstance.Render(*myDefaultShader);
        }
    }

    void ModelDrawer::Draw(const AnimatedModelInstance& anInstance)
    {
        if (myAnimatedShader)
        {
            anInstance.Render(*myAnimatedShader);
        }
    }
}
