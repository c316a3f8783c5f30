#include "graphics/GraphicsEngine.h"

#include "Engine.h"
#include "drawers/CustomShapeDrawer.h"
#include "drawers/LineDrawer.h"
#include "drawers/ModelDrawer.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/DX11.h"
#include "graphics/FullscreenEffect.h"
#include "graphics/GraphicsStateStack.h"
#include "graphics/RenderTarget.h"
#include "postprocess/FullscreenPixelateEffect.h"

namespace Vra
{
    namespace
    {
        bool CreatePass(std::unique_ptr<FullscreenEffect>& aPass, const char* aPixelShaderName)
        {
            aPass = std::make_unique<FullscreenEffect>();
            return aPass->Init(aPixelShaderName);
        }
    }

    GraphicsEngine::GraphicsEngine() = default;

    GraphicsEngine::~GraphicsEngine()
    {
        // Reverse creation order: the passes, the state stack, then the drawers.
        myPixelateEffect.reset();
        myGaussianHorizontalEffect.reset();
        myGaussianVerticalEffect.reset();
        myTonemapEffect.reset();
        myCopyEffect.reset();
        myGraphicsStateStack.reset();
        myLineDrawer.reset();
        myCustomShapeDrawer.reset();
        myModelDrawer.reset();
        mySpriteDrawer.reset();
    }

    bool GraphicsEngine::Init()
    {
        DX11::BackBuffer->SetAsActiveTarget(nullptr);

        mySpriteDrawer = std::make_unique<SpriteDrawer>();
        mySpriteDrawer->Init();
        myModelDrawer = std::make_unique<ModelDrawer>();
        myModelDrawer->Init();
        myCustomShapeDrawer = std::make_unique<CustomShapeDrawer>();
        myCustomShapeDrawer->Init();
        myLineDrawer = std::make_unique<LineDrawer>();
        myLineDrawer->Init();

        if (!CreatePass(myCopyEffect, "Shaders/PostprocessCopyPS")
            || !CreatePass(myTonemapEffect, "Shaders/PostprocessTonemapPS")
            || !CreatePass(myGaussianVerticalEffect, "Shaders/PostprocessGaussianV_PS")
            || !CreatePass(myGaussianHorizontalEffect, "Shaders/PostprocessGaussianH_PS"))
        {
            return false;
        }

        myPixelateEffect = std::make_unique<FullscreenPixelateEffect>(DEFAULT_PIXEL_SIZE);
        if (!myPixelateEffect->Init("Shaders/PostprocessPixelate_PS"))
        {
            return false;
        }

        GraphicsStateStack::Services stateServices;
        stateServices.myTextureManager = Engine::GetInstance()->GetTextureManager();
        stateServices.myTotalTime = [] { return Engine::GetInstance()->GetTotalTime(); };
        stateServices.myDeltaTime = [] { return Engine::GetInstance()->GetDeltaTime(); };
        myGraphicsStateStack = std::make_unique<GraphicsStateStack>(std::move(stateServices));
        if (!myGraphicsStateStack->Init())
        {
            return false;
        }

        myIsInitialized = true;
        return true;
    }
}
