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
#include "settings/Settings.h"

#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <string>

namespace Vra
{
    namespace
    {
        // Names the shader objects that are missing from the cooked folder (or, when all are
        // there, that they did not load), so a missing or half-built folder shows in the start's failure.
        void ReportShaderFailure(std::initializer_list<const char*> someNames)
        {
            bool isAnyMissing = false;
            for (const char* name : someNames)
            {
                const std::filesystem::path path = CookedAssetsPath() / (std::string(name) + ".cso");
                if (!std::filesystem::is_regular_file(path))
                {
                    std::cout << "Failed to load shader: " << name << " (no file " << path.string() << ")" << std::endl;
                    isAnyMissing = true;
                }
            }
            if (!isAnyMissing)
            {
                for (const char* name : someNames)
                {
                    std::cout << "Failed to load shader: " << name << " (its cooked object did not load)" << std::endl;
                }
            }
        }

        bool CreatePass(std::unique_ptr<FullscreenEffect>& aPass, const char* aPixelShaderName)
        {
            aPass = std::make_unique<FullscreenEffect>();
            if (!aPass->Init(aPixelShaderName))
            {
                ReportShaderFailure({ "Shaders/PostprocessVS", aPixelShaderName });
                return false;
            }
            return true;
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
        if (!mySpriteDrawer->IsLoaded())
        {
            ReportShaderFailure({ "shaders/instanced_sprite_shader_VS", "shaders/model_shader_vertex_color_textured_PS" });
        }
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
            ReportShaderFailure({ "Shaders/PostprocessVS", "Shaders/PostprocessPixelate_PS" });
            return false;
        }

        GraphicsStateStack::Services stateServices;
        stateServices.myTextureManager = Engine::GetInstance()->GetTextureManager();
        stateServices.myTotalTime = [] { return Engine::GetInstance()->GetTotalTime(); };
        stateServices.myDeltaTime = [] { return Engine::GetInstance()->GetDeltaTime(); };
        myGraphicsStateStack = std::make_unique<GraphicsStateStack>(std::move(stateServices));
        if (!myGraphicsStateStack->Init())
        {
            std::cout << "Failed to create the graphics state objects and the frame constant buffers" << std::endl;
            return false;
        }

        myIsInitialized = true;
        return true;
    }
}
